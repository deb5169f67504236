#include "common/profile_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

namespace common {
namespace {

namespace fs = std::filesystem;

class ProfileStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/profile_store_test.XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        dir_ = dir;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    void Put(const std::string& name, const std::string& content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
    }

    std::string Get(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::string dir_;
};

TEST_F(ProfileStoreTest, ReadsValues) {
    Put("p.ini",
        "top=before any section\n"
        "[Net]\n"
        "  Host = example.org \t\n"
        "Quoted=\"  padded  \"\n"
        "Single='x'\n"
        "Lone=\"\n"
        "Empty=\n"
        "; Commented=1\n"
        "  #Hashed=1\n"
        "NoEquals\n"
        "host=second\n"
        "[net]\n"
        "Extra=in a repeated section\n"
        "[Crlf]\r\n"
        "Key=v\r\n");
    const ProfileStore store(Path("p.ini"));
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"nET", "HOST", "example.org"}, {"Net", "Quoted", "  padded  "},
        {"Net", "Single", "x"},         {"Net", "Lone", "\""},
        {"Net", "Empty", ""},           {"Net", "Commented", "dflt"},
        {"Net", "Hashed", "dflt"},      {"Net", "NoEquals", "dflt"},
        {"Net", "Extra", "dflt"},       {"Net", "top", "dflt"},
        {"Other", "Host", "dflt"},      {"crlf", "key", "v"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store.ReadString(c.section, c.key, "dflt"), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST_F(ProfileStoreTest, CaseFoldingIsAsciiOnly) {
    Put("p.ini", "[\xC3\x84]\nk=v\n");
    EXPECT_EQ(ProfileStore(Path("p.ini")).ReadString("\xC3\xA4", "k", "dflt"), "dflt");
}

TEST_F(ProfileStoreTest, MissingOrUnreadableFileReadsAsEmpty) {
    ASSERT_EQ(::mkdir(Path("dir.ini").c_str(), 0700), 0);
    for (const std::string name : {"missing.ini", "dir.ini"}) {
        ProfileStore store(Path(name));
        EXPECT_EQ(store.ReadString("A", "k", "dflt"), "dflt") << name;
        EXPECT_EQ(store.ReadInt("A", "k", -7), -7) << name;
        EXPECT_EQ(store.ListKeys("A", "dflt"), std::vector<std::string>{"dflt"}) << name;
        EXPECT_TRUE(store.ListKeys("A", "").empty()) << name;
    }
    EXPECT_TRUE(ProfileStore(Path("missing.ini")).ClearSection("A"));
    EXPECT_FALSE(fs::exists(Path("missing.ini")));
}

TEST_F(ProfileStoreTest, ReadStringCutsToCapacity) {
    Put("p.ini", "[A]\nk=abcdef\n");
    const ProfileStore store(Path("p.ini"));
    const struct {
        std::size_t capacity;
        const char* value;
        const char* fallback;
    } cases[] = {
        {ProfileStore::kUnlimited, "abcdef", "defaults"},
        {0, "", ""},
        {1, "", ""},
        {4, "abc", "def"},
        {7, "abcdef", "defaul"},
        {100, "abcdef", "defaults"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store.ReadString("A", "k", "defaults", c.capacity), c.value) << c.capacity;
        EXPECT_EQ(store.ReadString("A", "missing", "defaults", c.capacity), c.fallback)
            << c.capacity;
    }
}

TEST_F(ProfileStoreTest, ReadIntTakesLeadingDigits) {
    Put("p.ini",
        "[N]\nplain=42\ntrail=7x\nlead=x7\nempty=\nneg=-3\nmixed=12abc\nblank= \n"
        "padded= 5 \nhuge=99999999999999999999\n");
    const ProfileStore store(Path("p.ini"));
    const struct {
        const char* key;
        int expected;
    } cases[] = {
        {"plain", 42}, {"trail", 7}, {"lead", 0},   {"empty", 0},      {"neg", 0},
        {"mixed", 12}, {"blank", 0}, {"padded", 5}, {"huge", INT_MAX}, {"missing", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store.ReadInt("n", c.key, -1), c.expected) << c.key;
    }
}

TEST_F(ProfileStoreTest, WriteCreatesDirectoriesFileSectionAndKey) {
    ProfileStore store(Path("a/b/p.ini"));
    ASSERT_TRUE(store.WriteString("Net", "Host", "x"));
    ASSERT_TRUE(store.WriteString("Log", "Level", "3"));
    EXPECT_EQ(Get("a/b/p.ini"), "[Net]\nHost=x\n[Log]\nLevel=3\n");
    EXPECT_EQ(store.ReadString("net", "host", ""), "x");
    struct stat st {};
    ASSERT_EQ(::stat(Path("a/b/p.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat(Path("a").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);
}

TEST_F(ProfileStoreTest, WriteEditsOnlyWhatItMust) {
    const struct {
        const char* what;
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    } cases[] = {
        {"replace keeps spelling, blanks and neighbours", "; c\n[Net]\n  HOST = old\njunk\nP=1\n",
         "net", "host", "; c\n[Net]\n  HOST = new\njunk\nP=1\n"},
        {"first of duplicate keys", "[A]\nk=1\nK=2\n", "a", "k", "[A]\nk=new\nK=2\n"},
        {"first of duplicate sections", "[A]\nx=1\n[B]\n[a]\ny=1\n", "A", "z",
         "[A]\nx=1\nz=new\n[B]\n[a]\ny=1\n"},
        {"new key after the last key", "[Net]\nHost=a\nPort=1\n\n; end\n[Log]\nL=2\n", "Net", "T",
         "[Net]\nHost=a\nPort=1\nT=new\n\n; end\n[Log]\nL=2\n"},
        {"new key after a bare header", "[Empty]\n; note\n[Next]\n", "Empty", "K",
         "[Empty]\nK=new\n; note\n[Next]\n"},
        {"new section at the end", "[A]\nx=1\n", "B", "y", "[A]\nx=1\n[B]\ny=new\n"},
        {"unterminated last line", "[A]\nx=1", "A", "y", "[A]\nx=1\ny=new\n"},
        {"replace in unterminated last line", "[A]\nx=1", "A", "x", "[A]\nx=new"},
        {"keys before any section are not the section's", "k=1\n[A]\n", "A", "k",
         "k=1\n[A]\nk=new\n"},
        {"CR LF new key", "[A]\r\nx=1\r\n; c\r\n", "A", "y", "[A]\r\nx=1\r\ny=new\r\n; c\r\n"},
        {"CR LF replace", "[A]\r\nx=1\r\n", "a", "X", "[A]\r\nx=new\r\n"},
        {"CR LF new section", "[A]\r\nx=1\r\n", "B", "y", "[A]\r\nx=1\r\n[B]\r\ny=new\r\n"},
    };
    for (const auto& c : cases) {
        Put("p.ini", c.before);
        EXPECT_TRUE(ProfileStore(Path("p.ini")).WriteString(c.section, c.key, "new")) << c.what;
        EXPECT_EQ(Get("p.ini"), c.after) << c.what;
    }
}

TEST_F(ProfileStoreTest, RefusedNamesLeaveFileUntouched) {
    const std::string before = "[A]\r\nx=1\n";
    Put("p.ini", before);
    ProfileStore store(Path("p.ini"));
    const struct {
        std::string section, key, value;
    } cases[] = {
        {"", "k", "v"},     {"  ", "k", "v"},   {"a]b", "k", "v"},  {"a\nb", "k", "v"},
        {"a\rb", "k", "v"}, {"A", "", "v"},     {"A", " ", "v"},    {"A", "a=b", "v"},
        {"A", "a\nb", "v"}, {"A", "a\rb", "v"}, {"A", "[k", "v"},   {"A", ";k", "v"},
        {"A", "#k", "v"},   {"A", " #k", "v"},  {"A", "x", "a\nb"}, {"A", "x", "a\rb"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(store.WriteString(c.section, c.key, c.value))
            << "[" << c.section << "] " << c.key << "=" << c.value;
    }
    EXPECT_EQ(Get("p.ini"), before);
    EXPECT_EQ(Entries(), std::set<std::string>{"p.ini"});
}

TEST_F(ProfileStoreTest, ClearSectionRemovesOnlyItsKeys) {
    Put("p.ini", "; top\n[A]\nx=1\n; keep\ny=2\njunk\n[B]\nz=3\n[a]\nw=4\n");
    ProfileStore store(Path("p.ini"));
    ASSERT_TRUE(store.ClearSection("a"));
    EXPECT_EQ(Get("p.ini"), "; top\n[A]\n; keep\njunk\n[B]\nz=3\n[a]\nw=4\n");
    EXPECT_TRUE(store.ListKeys("A", "dflt").empty());
    EXPECT_TRUE(store.ClearSection("Missing"));
    EXPECT_EQ(Get("p.ini"), "; top\n[A]\n; keep\njunk\n[B]\nz=3\n[a]\nw=4\n");
}

TEST_F(ProfileStoreTest, ListKeysInFileOrder) {
    Put("p.ini", "[A]\nzeta=1\n; no=1\nAlpha=2\nmid=\n[Bare]\n");
    const ProfileStore store(Path("p.ini"));
    EXPECT_EQ(store.ListKeys("a", "dflt"), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    EXPECT_TRUE(store.ListKeys("bare", "dflt").empty());
    EXPECT_EQ(store.ListKeys("missing", "dflt"), std::vector<std::string>{"dflt"});
}

TEST_F(ProfileStoreTest, ListKeysIsUnbounded) {
    std::string content = "[Many]\n";
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i) {
        expected.push_back("key" + std::to_string(4999 - i));
        content += expected.back() + "=" + std::to_string(i) + "\n";
    }
    Put("p.ini", content);
    EXPECT_EQ(ProfileStore(Path("p.ini")).ListKeys("Many", ""), expected);
}

TEST_F(ProfileStoreTest, WriteReplacesFileAtomicallyKeepingMode) {
    Put("p.ini", "[A]\nx=1\n");
    ASSERT_EQ(::chmod(Path("p.ini").c_str(), 0640), 0);
    ProfileStore store(Path("p.ini"));
    const std::function<bool()> edits[] = {
        [&] { return store.WriteString("A", "x", "2"); },
        [&] { return store.ClearSection("A"); },
    };
    for (const auto& edit : edits) {
        struct stat before {};
        ASSERT_EQ(::stat(Path("p.ini").c_str(), &before), 0);
        ASSERT_TRUE(edit());
        struct stat after {};
        ASSERT_EQ(::stat(Path("p.ini").c_str(), &after), 0);
        EXPECT_NE(after.st_ino, before.st_ino) << "rewritten in place, not renamed over";
        EXPECT_EQ(after.st_mode & 07777, 0640u);
        EXPECT_EQ(Entries(), std::set<std::string>{"p.ini"});
    }
    EXPECT_EQ(Get("p.ini"), "[A]\n");
}

TEST_F(ProfileStoreTest, FailedWriteLeavesOriginalAndNoTempFile) {
    Put("p.ini", "[A]\nx=1\n");
    // A file size limit makes the write fail midway, after the temporary file exists.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool written = ProfileStore(Path("p.ini")).WriteString("A", "x", std::string(8192, 'v'));
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

    EXPECT_FALSE(written);
    EXPECT_EQ(Get("p.ini"), "[A]\nx=1\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"p.ini"});
}

TEST_F(ProfileStoreTest, WriteThroughSymlinkKeepsTheLink) {
    Put("real.ini", "[A]\nx=1\n");
    ASSERT_EQ(::symlink("real.ini", Path("link.ini").c_str()), 0);
    ASSERT_TRUE(ProfileStore(Path("link.ini")).WriteString("A", "x", "2"));
    EXPECT_TRUE(fs::is_symlink(Path("link.ini")));
    EXPECT_EQ(Get("real.ini"), "[A]\nx=2\n");
    EXPECT_EQ(Entries(), (std::set<std::string>{"link.ini", "real.ini"}));
}

TEST_F(ProfileStoreTest, UnwritableLocationFails) {
    // A regular file as the parent gives ENOTDIR even to root.
    Put("plain", "data");
    for (const std::string name : {"plain/p.ini", "plain/sub/p.ini"}) {
        EXPECT_FALSE(ProfileStore(Path(name)).WriteString("A", "k", "v")) << name;
    }
    ASSERT_EQ(::mkdir(Path("dir.ini").c_str(), 0700), 0);
    EXPECT_FALSE(ProfileStore(Path("dir.ini")).WriteString("A", "k", "v"));
    EXPECT_EQ(Get("plain"), "data");
    EXPECT_EQ(Entries(), (std::set<std::string>{"plain", "dir.ini"}));
    EXPECT_TRUE(fs::is_empty(Path("dir.ini")));
}

}  // namespace
}  // namespace common
