#include "analyzer/core/log_reader.h"
#include "analyzer/core/entry_loader.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

namespace analyzer {
namespace {

using Texts = std::vector<std::string>;

class LogReaderTest : public test_support::TempDirTest {
  protected:
    Texts ReadRest() {
        Texts chunks;
        while (const auto chunk = reader_.NextChunk()) {
            chunks.emplace_back(*chunk);
        }
        return chunks;
    }
    Texts ReadAll(const std::string& content) {
        Put("log", content);
        EXPECT_TRUE(reader_.Open(Path("log")));
        return ReadRest();
    }
    LogReader reader_;
};

TEST_F(LogReaderTest, SplitsIntoChunks) {
    const std::string a126(126, 'a');
    const std::string a127(127, 'a');
    const std::pair<std::string, Texts> cases[] = {
        {a126 + "\n", {a126 + "\n"}},
        {a127 + "\n", {a127, "\n"}},
        {std::string(300, 'a') + "\n", {a127, a127, std::string(46, 'a') + "\n"}},
        {"a\r\nb\rc\r\n\r\n", {"a\n", "b\rc\n", "\n"}},
        {"x\ny\r", {"x\n", "y\r"}}};
    for (const auto& [content, expected] : cases) {
        EXPECT_EQ(ReadAll(content), expected) << content;
    }
    // The first 256 KiB read ends with the CR; whether it pairs shows only in the next one.
    std::string lines(262143, 'a');
    for (std::size_t i = 99; i < lines.size(); i += 100) {
        lines[i] = '\n';
    }
    for (const auto& [tail, read] : {std::pair{"\r\nz\n", "\nz\n"}, {"\rz\n", "\rz\n"}}) {
        std::string joined;
        for (const std::string& chunk : ReadAll(lines + tail)) {
            joined += chunk;
        }
        EXPECT_EQ(joined, lines + read);
    }
}

TEST_F(LogReaderTest, RewindSeesAppendedLinesAndOpenRefusesNonFiles) {
    EXPECT_EQ(ReadAll("a\n"), Texts{"a\n"});
    std::ofstream(Path("log"), std::ios::app) << "b\n";
    ASSERT_TRUE(reader_.Rewind());
    EXPECT_EQ(ReadRest(), (Texts{"a\n", "b\n"}));
    // Neither blocks nor reads forever: only regular files are logs.
    std::filesystem::create_directory(Path("dir"));
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    for (const std::string& path :
         {Path("missing"), Path("dir"), Path("fifo"), std::string("/dev/zero")}) {
        EXPECT_FALSE(reader_.Open(path)) << path;
        EXPECT_FALSE(reader_.IsOpen()) << path;
    }
}

// Records every entry offered and refuses the refuseAt-th.
struct RecordingSink : EntrySink {
    void ClearEntries() override { entries.clear(); }
    bool AppendEntry(std::string_view text) override {
        entries.emplace_back(text);
        return entries.size() != refuseAt;
    }
    Texts entries = {"stale"};
    std::size_t refuseAt = 0;
};

TEST_F(LogReaderTest, LoadEntriesListsAcceptedInboundLines) {
    using namespace std::string_literals;
    Put("cfg", "[SourceIPFilters]\n10.0.0.9=1\n[TargetPortFilters]\n23=1\n");
    // Read through once, so the load has to start over from the first line.
    ReadAll(
        "09/27/2002 19:48:40 in 203.0.113.45 4512 198.51.100.7 80\n"
        "d t out s sp dst 80\nd t in 10.0.0.9 sp dst 80\nd t in s sp dst 23\n"
        "d t in s sp dst\0 80\nd t x s sp dst 80\0in \nd t in s sp dst 8\0 0\nd t in s sp dst 81\n"s);
    SettingsFile settings(Path("cfg"));
    const Texts all = {"09/27/2002 19:48:40 in 203.0.113.45[4512] ==> 198.51.100.7[80]",
                       "d t in s[sp] ==> dst[8]", "d t in s[sp] ==> dst[81]"};
    for (const std::size_t refuseAt : {0, 2}) {
        RecordingSink sink;
        sink.refuseAt = refuseAt;
        const LoadResult result = LoadEntries(reader_, settings, sink);
        EXPECT_EQ(sink.entries, refuseAt ? Texts(all.begin(), all.begin() + 2) : all);
        EXPECT_EQ(result.listed, refuseAt ? 1 : all.size());
        EXPECT_EQ(result.refused, refuseAt != 0);
    }
}

}  // namespace
}  // namespace analyzer
