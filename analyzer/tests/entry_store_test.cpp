#include "analyzer/core/entry_store.h"
#include "analyzer/core/entry_loader.h"
#include "analyzer/core/settings_file.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace analyzer {
namespace {

TEST(EntryStoreTest, KeepsEveryTextAcrossBlocks) {
    EntryStore store;
    std::vector<std::string> texts;
    // Enough to fill several blocks, and one text longer than any block.
    for (int i = 0; i < 60000; ++i) {
        texts.push_back("09/27/2002 19:48:38 in 10.0." + std::to_string(i % 256) + ".1[" +
                        std::to_string(i) + "] ==> 198.51.100.7[80]");
    }
    texts.insert(texts.begin() + 30000, std::string(3 << 20, 'x'));
    texts.emplace_back();
    for (const std::string& text : texts) {
        ASSERT_TRUE(store.AppendEntry(text));
    }
    ASSERT_EQ(store.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(store.Entry(i), texts[i]) << i;
    }
    store.ClearEntries();
    EXPECT_TRUE(store.empty());
    ASSERT_TRUE(store.AppendEntry("again"));
    EXPECT_EQ(store.Entry(0), "again");
}

TEST(EntryStoreTest, RefusesTextPastItsLimitAndKeepsWhatItHolds) {
    EntryStore store(10);
    EXPECT_TRUE(store.AppendEntry("12345"));
    EXPECT_FALSE(store.AppendEntry("123456"));
    EXPECT_TRUE(store.AppendEntry("abcde"));
    EXPECT_FALSE(store.AppendEntry("x"));
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(store.Entry(1), "abcde");
    store.ClearEntries();
    EXPECT_TRUE(store.AppendEntry("0123456789"));
}

class EntryFillTest : public test_support::TempDirTest {
  protected:
    std::vector<std::string> Listed(const EntryStore& store) const {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < store.size(); ++i) {
            lines.emplace_back(store.Entry(i));
        }
        return lines;
    }

    std::string Log(int lines) const {
        std::string log = "Velmora SNMP log opened 09/27/2002 00:00:00\n";
        for (int i = 0; i < lines; ++i) {
            log += "09/27/2002 00:00:01 " + std::string(i % 3 == 0 ? "out" : "in") + " 10.0.0." +
                   std::to_string(i % 20) + " " + std::to_string(1000 + i) + " 198.51.100.7 " +
                   std::to_string(i % 7 + 80) + "\n";
        }
        return log;
    }
};

TEST_F(EntryFillTest, SteppedFillListsWhatOneGoListsAndSeesOneSetOfFilters) {
    Put("log", Log(500));
    Put("cfg", "[SourceIPFilters]\n10.0.0.4=1\n[TargetPortFilters]\n83=1\n");
    LogReader log;
    ASSERT_TRUE(log.Open(Path("log")));
    SettingsFile settings(Path("cfg"));
    EntryStore whole;
    const LoadResult all = LoadEntries(log, settings, whole);
    EXPECT_FALSE(all.refused);
    EXPECT_EQ(all.listed, whole.size());

    EntryStore stepped;
    EntryFill fill;
    fill.Start(log, settings, stepped);
    int steps = 1;
    while (!fill.Step(7)) {
        if (steps++ == 3) {
            // A change after the start belongs to the next fill.
            Put("cfg", "[SourceIPFilters]\n10.0.0.5=1\n");
        }
    }
    EXPECT_GT(steps, 50);
    EXPECT_EQ(Listed(stepped), Listed(whole));
    EXPECT_EQ(fill.result().listed, all.listed);
    for (const std::string& line : Listed(whole)) {
        EXPECT_EQ(line.find(" 10.0.0.4["), std::string::npos) << line;
        EXPECT_EQ(line.find("[83]"), std::string::npos) << line;
    }
}

TEST_F(EntryFillTest, RefusedLineStopsTheFillAndKeepsWhatWasListed) {
    Put("log", Log(30));
    LogReader log;
    ASSERT_TRUE(log.Open(Path("log")));
    SettingsFile settings(Path("cfg"));
    EntryStore store(120);  // room for two list lines of this log
    const LoadResult result = LoadEntries(log, settings, store);
    EXPECT_TRUE(result.refused);
    EXPECT_EQ(result.listed, 2u);
    EXPECT_EQ(store.size(), 2u);
}

TEST_F(EntryFillTest, FillWithoutAnOpenLogOnlyEmptiesTheList) {
    EntryStore store;
    ASSERT_TRUE(store.AppendEntry("old"));
    LogReader log;
    SettingsFile settings(Path("cfg"));
    EntryFill fill;
    fill.Start(log, settings, store);
    EXPECT_FALSE(fill.running());
    EXPECT_TRUE(fill.Step(10));
    EXPECT_TRUE(store.empty());
}

TEST_F(EntryFillTest, EveryActiveKeyOfALongFilterSectionFilters) {
    std::string cfg = "[SourceIPFilters]\n";
    for (int i = 0; i < 19; ++i) {
        cfg += "10.0.0." + std::to_string(i) + "=" + (i == 11 ? "0" : "1") + "\n";
    }
    cfg += "[TargetPortFilters]\n";
    for (int port = 70; port < 90; ++port) {
        cfg += std::to_string(port) + "=" + (port == 85 ? "0" : "1") + "\n";
    }
    Put("cfg", cfg);
    Put("log", Log(600));
    LogReader log;
    ASSERT_TRUE(log.Open(Path("log")));
    SettingsFile settings(Path("cfg"));
    EntryStore store;
    LoadEntries(log, settings, store);
    ASSERT_FALSE(store.empty());
    for (const std::string& line : Listed(store)) {
        const bool keptSource = line.find(" 10.0.0.11[") != std::string::npos ||
                                line.find(" 10.0.0.19[") != std::string::npos;
        EXPECT_TRUE(keptSource) << line;
        EXPECT_TRUE(line.ends_with("[85]")) << line;
    }
}

}  // namespace
}  // namespace analyzer
