#include "common/profile_store.h"
#include "common/testing/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sstream>
#include <string_view>
#include <tuple>

namespace common {
namespace {

namespace fs = std::filesystem;

class ProfileStoreTest : public test_support::TempDirTest {
  protected:
    // Catches a temporary file left behind or a file created where none should be.
    long Entries() const { return std::distance(fs::directory_iterator(dir_), {}); }
};

TEST_F(ProfileStoreTest, ReadsValues) {
    Put("p.ini",
        "top=before any section\n[Net]\n  Host = example.org \t\nQuoted=\"  padded  \"\n"
        "Empty=\n; Commented=1\nNoEquals\n[\xC3\x84]\nk=v\n[Crlf]\r\nKey=v\r\n"
        "[N]\nplain=42\nmixed=12abc\nlead=-7\npadded= 5 \nhuge=9999999999\n");
    const ProfileStore store(Path("p.ini"));
    // Case folding is ASCII only, so the section spelled with the small umlaut is missing.
    const std::size_t all = ProfileStore::kUnlimited;
    const std::tuple<const char*, const char*, std::size_t, const char*> cases[] = {
        {"nET", "HOST", all, "example.org"}, {"Net", "Quoted", all, "  padded  "},
        {"Net", "Empty", all, ""},           {"Net", "Missing", all, "dflt"},
        {"Net", "Commented", all, "dflt"},   {"Net", "NoEquals", all, "dflt"},
        {"Net", "top", all, "dflt"},         {"crlf", "key", all, "v"},
        {"\xC3\xA4", "k", all, "dflt"},      {"Net", "Host", 0, ""},
        {"Net", "Host", 4, "exa"},           {"Net", "Host", 12, "example.org"},
        {"Net", "Missing", 3, "df"},
    };
    for (const auto& [section, key, capacity, expected] : cases) {
        EXPECT_EQ(store.ReadString(section, key, "dflt", capacity), expected) << key;
    }
    EXPECT_EQ(ProfileStore(Path("missing.ini")).ReadString("A", "k", "dflt"), "dflt");
    const std::pair<const char*, int> ints[] = {
        {"plain", 42}, {"mixed", 12}, {"lead", 0}, {"padded", 5}, {"huge", INT_MAX}, {"none", -1},
    };
    for (const auto& [key, expected] : ints) {
        EXPECT_EQ(store.ReadInt("n", key, -1), expected) << key;
    }
}

TEST_F(ProfileStoreTest, ByteOrderMarkIsKeptButNotRead) {
    Put("p.ini", "\xEF\xBB\xBF[Defaults]\ninitialized=Yes\n");
    ProfileStore store(Path("p.ini"));
    EXPECT_EQ(store.ReadString("Defaults", "initialized", "No"), "Yes");
    ASSERT_TRUE(store.WriteString("defaults", "initialized", "No"));
    EXPECT_EQ(Get("p.ini"), "\xEF\xBB\xBF[Defaults]\ninitialized=No\n");
    // Only the file's start can hold the mark; further down it is part of a name.
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& key : {bom + "k", bom + "[x]", bom + ";c"}) {
        ASSERT_TRUE(store.WriteString("Defaults", key, "v")) << key;
        EXPECT_EQ(store.ReadString("Defaults", key, "dflt"), "v") << key;
    }
    EXPECT_EQ(store.ReadString("Defaults", "k", "dflt"), "dflt");
    EXPECT_EQ(store.ListKeys("x", "none"), std::vector<std::string>{"none"});
}

// A file whose last line ends in a bare CR keeps its values when a line is added.
TEST_F(ProfileStoreTest, LastLineEndingInCarriageReturnKeepsItsValue) {
    Put("p.ini", "[S]\r\nk=v\r");
    ProfileStore store(Path("p.ini"));
    ASSERT_TRUE(store.WriteString("T", "a", "b"));
    EXPECT_EQ(store.ReadString("S", "k", "dflt"), "v");
    EXPECT_EQ(Get("p.ini"), "[S]\r\nk=v\r\n[T]\r\na=b\r\n");
}

TEST_F(ProfileStoreTest, ConcurrentWritersLoseNoUpdate) {
    constexpr int kWriters = 2;
    constexpr int kKeysEach = 40;
    for (int writer = 0; writer < kWriters; ++writer) {
        if (::fork() == 0) {
            ProfileStore store(Path("p.ini"));
            for (int i = 0; i < kKeysEach; ++i) {
                store.WriteString("Keys", std::to_string(writer) + "-" + std::to_string(i), "1");
            }
            ::_exit(0);
        }
    }
    for (int writer = 0; writer < kWriters; ++writer) {
        ::wait(nullptr);
    }
    EXPECT_EQ(ProfileStore(Path("p.ini")).ListKeys("Keys", "").size(),
              static_cast<std::size_t>(kWriters * kKeysEach));
}

// Counts the times a file in a directory is replaced by renaming a temporary file over
// it, as an atomic rewrite does. The temporary files' own names are counted: the kernel
// merges queued events that name the same file, and they all name the target.
class ReplaceCounter {
  public:
    ReplaceCounter(const std::string& dir, const std::string& name)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), prefix_("." + name + ".") {
        if (fd_ >= 0) {
            ::inotify_add_watch(fd_, dir.c_str(), IN_MOVED_FROM);
        }
    }
    ~ReplaceCounter() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool ok() const { return fd_ >= 0; }
    int Count() {
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0 && std::string_view(event->name).starts_with(prefix_)) {
                    ++count_;
                }
                at += sizeof(inotify_event) + event->len;
            }
        }
        return count_;
    }

  private:
    int fd_;
    std::string prefix_;
    int count_ = 0;
};

TEST_F(ProfileStoreTest, BatchIsOneRewrite) {
    Put("p.ini", "; kept\n[Display Options]\nincoming=Off\n[Other]\nx=1\n");
    ProfileStore store(Path("p.ini"));
    ReplaceCounter replaces(dir_, "p.ini");
    ASSERT_TRUE(replaces.ok());
    ProfileBatch batch;
    batch.WriteString("Display Options", "Incoming", "On");
    batch.WriteString("Display Options", "outgoing", "Off");
    batch.WriteString("Logging Options", "incoming", "On");
    batch.WriteString("Logging Options", "outgoing", "On");
    batch.WriteString("Defaults", "formatted", "Off");
    batch.WriteString("Defaults", "formatted", "On");  // the later one wins
    ASSERT_TRUE(store.WriteBatch(batch));
    EXPECT_EQ(replaces.Count(), 1);
    EXPECT_EQ(Get("p.ini"),
              "; kept\n[Display Options]\nincoming=On\noutgoing=Off\n[Other]\nx=1\n"
              "[Logging Options]\nincoming=On\noutgoing=On\n[Defaults]\nformatted=On\n");
    EXPECT_EQ(Entries(), 1);

    // The same keys again change nothing, so nothing is rewritten.
    ASSERT_TRUE(store.WriteBatch(batch));
    EXPECT_TRUE(store.WriteBatch(ProfileBatch()));
    EXPECT_EQ(replaces.Count(), 1);
}

TEST_F(ProfileStoreTest, BatchWithARefusedEntryWritesNothing) {
    const std::string before = "[A]\nk=1\n";
    Put("p.ini", before);
    ProfileStore store(Path("p.ini"));
    ProfileBatch batch;
    batch.WriteString("A", "k", "2");
    batch.WriteString("A", "bad=key", "3");
    EXPECT_FALSE(store.WriteBatch(batch));
    EXPECT_EQ(Get("p.ini"), before);
}

// Another copy of the program that took the writers' lock and never lets it go.
TEST_F(ProfileStoreTest, WriteGivesUpOnALockThatIsNeverReleased) {
    const std::string before = "[A]\nk=1\n";
    Put("p.ini", before);
    const int holder = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    ProfileStore store(Path("p.ini"));
    EXPECT_EQ(store.lockWait(), std::chrono::seconds(2));
    const auto start = std::chrono::steady_clock::now();
    auto write = std::async(std::launch::async, [&] { return store.WriteString("A", "k", "2"); });
    const bool ended = write.wait_for(std::chrono::seconds(6)) == std::future_status::ready;
    const auto waited = std::chrono::steady_clock::now() - start;
    ::close(holder);  // lets a write that is still waiting finish before the test ends
    ASSERT_TRUE(ended) << "the write waited for the lock without end";
    EXPECT_FALSE(write.get());
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_EQ(Get("p.ini"), before);
    EXPECT_EQ(Entries(), 1);

    // Once the lock is free the same write goes through.
    EXPECT_TRUE(store.WriteString("A", "k", "2"));
    EXPECT_EQ(Get("p.ini"), "[A]\nk=2\n");
}

TEST_F(ProfileStoreTest, BatchGivesUpOnAHeldLockAfterTheChosenWait) {
    Put("p.ini", "[A]\nk=1\n");
    const int holder = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    ProfileStore store(Path("p.ini"));
    store.SetLockWait(std::chrono::milliseconds(200));
    ProfileBatch batch;
    batch.WriteString("A", "k", "2");
    const auto start = std::chrono::steady_clock::now();
    auto write = std::async(std::launch::async, [&] { return store.WriteBatch(batch); });
    const bool ended = write.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    const auto waited = std::chrono::steady_clock::now() - start;
    ::close(holder);
    ASSERT_TRUE(ended);
    EXPECT_FALSE(write.get());
    EXPECT_GE(waited, std::chrono::milliseconds(190));
    EXPECT_EQ(Get("p.ini"), "[A]\nk=1\n");
}

TEST_F(ProfileStoreTest, WriteCreatesDirectoriesFileSectionAndKey) {
    ProfileStore store(Path("a/b/p.ini"));
    ASSERT_TRUE(store.WriteString("Net", "Host", "x"));
    ASSERT_TRUE(store.WriteString("Log", "Level", "3"));
    EXPECT_EQ(Get("a/b/p.ini"), "[Net]\nHost=x\n[Log]\nLevel=3\n");
    EXPECT_EQ(fs::status(Path("a/b/p.ini")).permissions(), fs::perms(0600));
}

TEST_F(ProfileStoreTest, WriteEditsOnlyWhatItMust) {
    const char* cases[][4] = {
        // Replacing keeps the key's spelling, the blanks and the neighbouring lines.
        {"; c\n[A]\n  X = old\njunk\nP=1\n", "a", "x", "; c\n[A]\n  X = new\njunk\nP=1\n"},
        // A new key goes after the last key of the first matching section.
        {"[A]\nx=1\n\n; end\n[a]\n", "A", "z", "[A]\nx=1\nz=new\n\n; end\n[a]\n"},
        {"[Empty]\n; note\n[Next]\n", "Empty", "K", "[Empty]\nK=new\n; note\n[Next]\n"},
        {"[A]\nx=1", "A", "y", "[A]\nx=1\ny=new\n"},
        {"[A]\nx=1", "A", "x", "[A]\nx=new"},
        {"[A]\r\nx=1\r\n; c\r\n", "A", "y", "[A]\r\nx=1\r\ny=new\r\n; c\r\n"},
        {"[A]\r\nx=1\r\n", "a", "X", "[A]\r\nx=new\r\n"},
    };
    for (const auto& [before, section, key, after] : cases) {
        Put("p.ini", before);
        EXPECT_TRUE(ProfileStore(Path("p.ini")).WriteString(section, key, "new")) << before;
        EXPECT_EQ(Get("p.ini"), after) << before;
    }
}

TEST_F(ProfileStoreTest, RefusedNamesLeaveFileUntouched) {
    Put("p.ini", "[A]\r\nx=1\n");
    ProfileStore store(Path("p.ini"));
    for (const char* section : {"", "  ", "a]b", "a\nb", "a\rb"}) {
        EXPECT_FALSE(store.WriteString(section, "k", "v")) << section;
    }
    for (const char* key : {"", " ", "a=b", "a\nb", "a\rb", "[k", ";k", "#k", " #k"}) {
        EXPECT_FALSE(store.WriteString("A", key, "v")) << key;
    }
    for (const char* value : {"a\nb", "a\rb"}) {
        EXPECT_FALSE(store.WriteString("A", "x", value)) << value;
    }
    EXPECT_EQ(Get("p.ini"), "[A]\r\nx=1\n");
    EXPECT_EQ(Entries(), 1);
}

TEST_F(ProfileStoreTest, ClearSectionRemovesOnlyItsKeys) {
    Put("p.ini", "; top\n[A]\nx=1\n; keep\ny=2\njunk\n[B]\nz=3\n[a]\nw=4\n");
    ProfileStore store(Path("p.ini"));
    EXPECT_TRUE(store.ClearSection("Missing"));
    EXPECT_TRUE(store.ClearSection("a"));
    EXPECT_EQ(Get("p.ini"), "; top\n[A]\n; keep\njunk\n[B]\nz=3\n[a]\nw=4\n");
    EXPECT_TRUE(ProfileStore(Path("none.ini")).ClearSection("A"));
    EXPECT_EQ(Entries(), 1);
}

TEST_F(ProfileStoreTest, ReplaceSectionRewritesOnlyItsKeys) {
    Put("p.ini", "[A]\nx=1\n; keep\ny=2\n[B]\nx=3\n");
    ProfileStore store(Path("p.ini"));
    ASSERT_TRUE(store.ReplaceSection("a", {{"Unknown", "1"}, {"k", "v"}, {"unknown", "0"}}));
    EXPECT_EQ(Get("p.ini"), "[A]\nUnknown=0\nk=v\n; keep\n[B]\nx=3\n");
    EXPECT_TRUE(store.ReplaceSection("Missing", {}));
    EXPECT_EQ(Get("p.ini"), "[A]\nUnknown=0\nk=v\n; keep\n[B]\nx=3\n");
    EXPECT_TRUE(ProfileStore(Path("none.ini")).ReplaceSection("A", {}));
    EXPECT_EQ(Entries(), 1);
    // A key that cannot be written costs only itself.
    EXPECT_FALSE(store.ReplaceSection("B", {{"bad\rkey", "1"}, {"good", "1"}}));
    EXPECT_EQ(Get("p.ini"), "[A]\nUnknown=0\nk=v\n; keep\n[B]\ngood=1\n");
}

TEST_F(ProfileStoreTest, ListKeysInFileOrderWithoutLimit) {
    std::string text = "[A]\n; no=1\n";
    std::vector<std::string> keys;
    for (int i = 5000; i > 0; --i) {
        keys.push_back("key" + std::to_string(i));
        text += keys.back() + "=\n";
    }
    Put("p.ini", text + "[Bare]\n");
    const ProfileStore store(Path("p.ini"));
    EXPECT_EQ(store.ListKeys("a", "dflt"), keys);
    EXPECT_TRUE(store.ListKeys("bare", "dflt").empty());
    EXPECT_EQ(store.ListKeys("missing", "dflt"), std::vector<std::string>{"dflt"});
    EXPECT_TRUE(store.ListKeys("missing", "").empty());
}

TEST_F(ProfileStoreTest, WriteRenamesOverTheLinkTargetKeepingMode) {
    Put("real.ini", "[A]\nx=1\n");
    fs::permissions(Path("real.ini"), fs::perms(0640));
    fs::create_symlink("real.ini", Path("link.ini"));
    // A hard link keeps the old content only if the file was renamed over, not rewritten.
    fs::create_hard_link(Path("real.ini"), Path("old.ini"));
    ASSERT_TRUE(ProfileStore(Path("link.ini")).WriteString("A", "x", "2"));
    EXPECT_EQ(Get("real.ini"), "[A]\nx=2\n");
    EXPECT_EQ(Get("old.ini"), "[A]\nx=1\n");
    EXPECT_EQ(fs::status(Path("real.ini")).permissions(), fs::perms(0640));
    EXPECT_EQ(Entries(), 3);
}

// Bytes no editor wrote are carried over untouched; the write only adds its line.
TEST_F(ProfileStoreTest, GarbageIsKeptByAWrite) {
    const std::string garbage =
        std::string("\x01\x02\0bin\xff\n", 8) + std::string(1 << 20, 'x') + "\r\n[A]\r\nkey=1";
    Put("p.ini", garbage);
    ProfileStore store(Path("p.ini"));
    ASSERT_TRUE(store.WriteString("a", "new", "2"));
    EXPECT_EQ(Get("p.ini"), garbage + "\nnew=2\n");
    EXPECT_EQ(store.ReadInt("A", "key", 0), 1);
}

TEST_F(ProfileStoreTest, FailedWriteLeavesOriginal) {
    Put("p.ini", "[A]\nx=1\n");
    // A file size limit makes the write fail midway, after the temporary file exists.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{1024, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool written = ProfileStore(Path("p.ini")).WriteString("A", "x", std::string(8192, 'v'));
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    EXPECT_FALSE(written);

    // A regular file as the parent gives ENOTDIR even to root; a directory cannot be read.
    ASSERT_TRUE(fs::create_directory(Path("dir.ini")));
    EXPECT_EQ(ProfileStore(Path("dir.ini")).ReadString("A", "k", "dflt"), "dflt");
    for (const std::string name : {"p.ini/sub/q.ini", "dir.ini"}) {
        EXPECT_FALSE(ProfileStore(Path(name)).WriteString("A", "k", "v")) << name;
    }
    EXPECT_EQ(Get("p.ini"), "[A]\nx=1\n");
    EXPECT_EQ(Entries(), 2);
}

}  // namespace
}  // namespace common
