#include "analyzer/core/entry_store.h"
#include "analyzer/core/entry_loader.h"
#include "analyzer/core/settings_file.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
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

// What the list showed when it kept every entry's text: the formatted line itself.
class TextSink : public EntrySink {
  public:
    void ClearEntries() override { texts.clear(); }
    bool AppendEntry(std::string_view text) override {
        texts.emplace_back(text);
        return true;
    }
    std::vector<std::string> texts;
};

EntryTokens TokensOf(const LogEntry& e) {
    return {e.date,       e.time,          e.direction,      e.sourceIp,
            e.sourcePort, e.destinationIp, e.destinationPort};
}

// Tokens a log may hold: mostly what the receiver writes, often something it never would.
class TokenMaker {
  public:
    explicit TokenMaker(unsigned seed) : rng_(seed) {}

    std::string Pick(const std::vector<std::string>& awkward, std::string usual) {
        return Below(4) == 0 ? awkward[Below(static_cast<unsigned>(awkward.size()))] : usual;
    }
    std::string Address() {
        return std::to_string(Below(256)) + "." + std::to_string(Below(256)) + "." +
               std::to_string(Below(256)) + "." + std::to_string(Below(256));
    }
    std::string Two(unsigned limit) {
        const unsigned v = Below(limit);
        return (v < 10 ? "0" : "") + std::to_string(v);
    }
    LogEntry Entry() {
        LogEntry e;
        e.date = Pick(
            {"9/27/2002", "09-27-2002", "2002/09/27", "x", std::string(40, 'd'), "09/27/2002\t"},
            "09/" + Two(31) + "/2002");
        e.time = Pick({"24:00:00", "9:05:01", "12:60:00", "12:00:60", "00:00:00.5", "aa:bb:cc",
                       "23:59:59", "00:00:00", "12:3:45"},
                      Two(24) + ":" + Two(60) + ":" + Two(60));
        e.direction = Pick({"IN", "inbound", std::string(33, 'i'), "i\rn", "out"}, "in");
        e.sourceIp = Pick({"010.0.0.1", "1.2.3.256", "1.2.3", "1.2.3.4.5", "1..2.3", "host",
                           "255.255.255.255", "0.0.0.0", "1.2.3.04", "1.2.3.4x", "-1.2.3.4",
                           "1.2.3.", ".1.2.3", "1234.1.1.1", "fe80::1"},
                          Address());
        e.sourcePort =
            Pick({"080", "65536", "65535", "0", "00", "-1", "http", "123456", "1e3", "99999"},
                 std::to_string(Below(65536)));
        e.destinationIp = Pick({"192.168.001.1", "300.1.1.1", "0.0.0.0", "1.1.1.1\t"}, Address());
        e.destinationPort =
            Pick({"0080", "70000", "+80", "8o", "4294967376"}, std::to_string(Below(65536)));
        return e;
    }

  private:
    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }
    std::mt19937 rng_;
};

TEST(EntryStoreTest, PackedEntriesReadBackAsTheTextTheyWereListedAs) {
    TokenMaker maker(20261207);
    EntryStore store;
    EntryChunk chunk;
    std::vector<std::string> expected;
    for (int i = 0; i < 200000; ++i) {
        const LogEntry e = maker.Entry();
        expected.push_back(FormatEntry(e, e.destinationIp));
        ASSERT_TRUE(store.AppendParsedEntry(e, {}));
        chunk.Append(TokensOf(e));
    }
    ASSERT_EQ(store.size(), expected.size());
    ASSERT_EQ(chunk.size(), expected.size());
    std::string text;
    unsigned long long textSize = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(store.Entry(i), expected[i]) << i;
        chunk.EntryInto(i, text);
        ASSERT_EQ(text, expected[i]) << i;
        ASSERT_EQ(chunk.TextLength(i), expected[i].size()) << i;
        textSize += expected[i].size();
    }
    EXPECT_EQ(chunk.textSize(), textSize);
    // About a quarter of each token is awkward, so most entries keep text, but not all.
    EXPECT_GT(chunk.unpackedCount(), expected.size() / 2);
    EXPECT_LT(chunk.unpackedCount(), expected.size());
}

TEST(EntryStoreTest, TokensTheLogWritesArePackedAndAwkwardOnesKeepTheirText) {
    struct Case {
        LogEntry entry;
        bool packed;
    };
    const LogEntry plain{"09/27/2002", "19:48:38", "in", "10.0.0.1", "1024", "198.51.100.7", "80"};
    auto with = [&](std::string LogEntry::*field, std::string value) {
        LogEntry e = plain;
        e.*field = std::move(value);
        return e;
    };
    const std::vector<Case> cases = {
        {plain, true},
        {with(&LogEntry::sourceIp, "255.255.255.255"), true},
        {with(&LogEntry::sourceIp, "0.0.0.0"), true},
        {with(&LogEntry::sourcePort, "0"), true},
        {with(&LogEntry::sourcePort, "65535"), true},
        {with(&LogEntry::time, "00:00:00"), true},
        {with(&LogEntry::time, "23:59:59"), true},
        {with(&LogEntry::direction, "out"), true},
        {with(&LogEntry::date, "2002-09-27"), true},
        {with(&LogEntry::sourceIp, "010.0.0.1"), false},
        {with(&LogEntry::sourceIp, "10.0.0.01"), false},
        {with(&LogEntry::sourceIp, "10.0.0.256"), false},
        {with(&LogEntry::sourceIp, "10.0.0"), false},
        {with(&LogEntry::sourceIp, "10.0.0.1.5"), false},
        {with(&LogEntry::sourceIp, "10.0..1"), false},
        {with(&LogEntry::destinationIp, "1000.0.0.1"), false},
        {with(&LogEntry::destinationIp, "fe80::1"), false},
        {with(&LogEntry::sourcePort, "01024"), false},
        {with(&LogEntry::sourcePort, "65536"), false},
        {with(&LogEntry::sourcePort, "00"), false},
        {with(&LogEntry::destinationPort, "http"), false},
        {with(&LogEntry::destinationPort, "-80"), false},
        {with(&LogEntry::destinationPort, "4294967376"), false},
        {with(&LogEntry::time, "24:00:00"), false},
        {with(&LogEntry::time, "9:48:38"), false},
        {with(&LogEntry::time, "19:60:38"), false},
        {with(&LogEntry::time, "19:48:60"), false},
        {with(&LogEntry::time, "19:48:38.5"), false},
        {with(&LogEntry::time, "19-48-38"), false},
        {with(&LogEntry::direction, std::string(33, 'n')), false},
        {with(&LogEntry::date, std::string(33, '9')), false},
    };
    for (const Case& c : cases) {
        EntryChunk chunk;
        chunk.Append(TokensOf(c.entry));
        const std::string expected = FormatEntry(c.entry, c.entry.destinationIp);
        std::string text;
        chunk.EntryInto(0, text);
        EXPECT_EQ(text, expected);
        EXPECT_EQ(chunk.TextLength(0), expected.size()) << expected;
        EXPECT_EQ(chunk.unpackedCount(), c.packed ? 0u : 1u) << expected;
    }
}

TEST(EntryStoreTest, NamesPastWhatTheFieldsCountKeepTheirText) {
    EntryChunk chunk;
    std::vector<std::string> expected;
    LogEntry e{"", "12:00:00", "in", "10.0.0.1", "1", "10.0.0.2", "2"};
    // More distinct days and directions than a packed entry can name.
    for (int i = 0; i < 1100; ++i) {
        e.date = "day" + std::to_string(i);
        e.direction = "dir" + std::to_string(i % 40);
        chunk.Append(TokensOf(e));
        expected.push_back(FormatEntry(e, e.destinationIp));
    }
    std::string text;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        chunk.EntryInto(i, text);
        ASSERT_EQ(text, expected[i]) << i;
    }
    EXPECT_GT(chunk.unpackedCount(), 0u);
    EXPECT_LT(chunk.unpackedCount(), expected.size());
}

TEST(EntryStoreTest, TextsThatAreNotTheListFormKeepTheirText) {
    EntryStore store;
    const std::vector<std::string> texts = {
        "09/27/2002 19:48:38 in 10.0.0.1[1024] ==> 198.51.100.7[80]",
        "09/27/2002 19:48:38 in 10.0.0.1 1024 198.51.100.7 80",
        "09/27/2002  19:48:38 in 10.0.0.1[1024] ==> 198.51.100.7[80]",
        "09/27/2002 19:48:38 in 10.0.0.1[1024] ==> 198.51.100.7[80] ",
        " 09/27/2002 19:48:38 in 10.0.0.1[1024] ==> 198.51.100.7[80]",
        "09/27/2002 19:48:38 in 10.0.0.1[1024] => 198.51.100.7[80]",
        "09/27/2002 19:48:38 in 10.0.0.1[1024]==>198.51.100.7[80]",
        "09/27/2002 19:48:38 in 10.0.0.1[1024] ==> 198.51.100.7[80]]",
        "",
        "x"};
    for (const std::string& text : texts) {
        ASSERT_TRUE(store.AppendEntry(text));
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(store.Entry(i), texts[i]);
    }
}

TEST(EntryStoreTest, LastEntryTakenOffFreesItsTextAndItsRun) {
    const std::string packed = "09/27/2002 19:48:38 in 10.0.0.1[1024] ==> 198.51.100.7[80]";
    const std::string kept = "09/27/2002 19:48:38 in 10.0.0.1[01024] ==> 198.51.100.7[80]";
    EntryStore store(packed.size() * 2 + kept.size());
    ASSERT_TRUE(store.AppendEntry(packed));
    EntryChunk run;
    run.AppendText(kept);
    ASSERT_TRUE(store.AppendChunk(std::move(run)));
    ASSERT_TRUE(store.AppendEntry(packed));
    ASSERT_FALSE(store.AppendEntry("x"));
    store.RemoveLast();
    store.RemoveLast();
    ASSERT_EQ(store.size(), 1u);
    // Room again for what was taken off, and the entries after read as appended.
    ASSERT_TRUE(store.AppendEntry(kept));
    ASSERT_TRUE(store.AppendEntry(packed));
    EXPECT_FALSE(store.AppendEntry("x"));
    EXPECT_EQ(store.Entry(0), packed);
    EXPECT_EQ(store.Entry(1), kept);
    EXPECT_EQ(store.Entry(2), packed);
    store.RemoveLast();
    store.RemoveLast();
    store.RemoveLast();
    store.RemoveLast();
    EXPECT_TRUE(store.empty());
}

class PackedFillTest : public EntryFillTest {
  protected:
    // Lines as generated, awkward tokens and control lines among them, one longer than a
    // chunk of the reader, CR LF ends and a NUL.
    std::string AwkwardLog(int lines) const {
        TokenMaker maker(7);
        std::string log = "Velmora SNMP log opened 09/27/2002 00:00:00\n";
        for (int i = 0; i < lines; ++i) {
            const LogEntry e = maker.Entry();
            if (i % 11 == 0) {
                log += e.date + " " + e.time + " " + e.direction + " " + e.sourceIp + " " +
                       e.sourcePort + " " + e.destinationIp + " " + e.destinationPort + "\r\n";
            } else {
                log += FormatEntry(e, e.destinationIp) +
                       (i % 13 == 0 ? std::string("\0 tail", 6) : std::string()) + "\n";
            }
            if (i % 97 == 0) {
                log += "09/27/2002 00:00:01 WAN connection up\n" + std::string(200, 'i') +
                       "in 1.2.3.4 5 6.7.8.9 10\n";
            }
        }
        return log;
    }
};

TEST_F(PackedFillTest, PackedFillListsTheTextsTheTextListDid) {
    Put("log", AwkwardLog(20000));
    Put("cfg", "[SourceIPFilters]\n10.0.0.4=1\n[TargetPortFilters]\n80=1\n");
    SettingsFile settings(Path("cfg"));
    LogReader log;
    ASSERT_TRUE(log.Open(Path("log")));
    TextSink texts;
    LoadEntries(log, settings, texts);
    ASSERT_GT(texts.texts.size(), 10000u);

    EntryStore store;
    LoadEntries(log, settings, store);
    EXPECT_EQ(Listed(store), texts.texts);

    // Read in runs, as worker threads do, and joined: the same list.
    EntryStore joined;
    ASSERT_TRUE(log.Rewind());
    std::size_t runs = 0;
    for (bool ended = false; !ended; ++runs) {
        EntryChunk chunk;
        ended = ReadEntriesInto(log, settings.CurrentFilters(), chunk, 777);
        ASSERT_TRUE(joined.AppendChunk(std::move(chunk)));
    }
    EXPECT_GT(runs, 10u);
    EXPECT_EQ(Listed(joined), texts.texts);
    // Lines after a joined run go on at its end.
    ASSERT_TRUE(joined.AppendEntry("after"));
    EXPECT_EQ(joined.Entry(joined.size() - 1), "after");
}

TEST_F(PackedFillTest, JoinedRunPastTheLimitIsCutWhereOneLineAtATimeWouldStop) {
    Put("log", Log(300));
    SettingsFile settings(Path("cfg"));
    LogReader log;
    ASSERT_TRUE(log.Open(Path("log")));
    EntryStore oneByOne(5000);
    const LoadResult result = LoadEntries(log, settings, oneByOne);
    ASSERT_TRUE(result.refused);

    ASSERT_TRUE(log.Rewind());
    EntryStore joined(5000);
    EntryChunk first;
    ReadEntriesInto(log, settings.CurrentFilters(), first, 20);
    EXPECT_TRUE(joined.AppendChunk(std::move(first)));
    EntryChunk rest;
    EXPECT_TRUE(ReadEntriesInto(log, settings.CurrentFilters(), rest, 1000));
    EXPECT_FALSE(joined.AppendChunk(std::move(rest)));
    EXPECT_EQ(Listed(joined), Listed(oneByOne));
    EXPECT_FALSE(joined.AppendEntry(Listed(oneByOne).back()));
}

}  // namespace
}  // namespace analyzer
