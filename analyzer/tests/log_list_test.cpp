#include "analyzer/core/log_list.h"

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/entry_store.h"
#include "analyzer/core/report_format.h"
#include "analyzer/core/statistics_reader.h"
#include "analyzer/io/any_log.h"
#include "analyzer/io/gzip_source.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace analyzer {
namespace {

using Texts = std::vector<std::string>;

// A day of router log ending at `endSecond` past midnight, or starting at midnight when
// `fromMidnight`; the mix of lines a receiver writes, with some CR LF ends and long lines.
std::string MakeLog(const std::string& date, unsigned seed, int lines, bool lateInDay) {
    std::mt19937 rng(seed);
    std::string log = "Velmora SNMP log opened " + date + " 00:00:00\n";
    for (int i = 0; i < lines; ++i) {
        const int second = lateInDay ? 86400 - lines + i : i;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%s %02d:%02d:%02d ", date.c_str(), second / 3600,
                      second / 60 % 60, second % 60);
        const unsigned r = rng();
        std::string line = stamp;
        switch (r % 6) {
            case 0:
                line += "out 192.168.1." + std::to_string(r % 250) + " 1030 198.51.100.80 53";
                break;
            case 1:
                line += "WAN link is up";
                break;
            case 2:
                line += "in 203.0.113." + std::to_string(r % 250) + " " +
                        std::to_string(r % 65536) + " 192.168.1.7 " +
                        std::string(r % 7 == 0 ? 140 : 0, 'x') + "137";
                break;
            default:
                line += "in 203.0.113." + std::to_string(r % 250) + " 4512 198.51.100.7 " +
                        std::to_string(r % 1000);
        }
        log += line + (r % 11 == 0 ? "\r\n" : "\n");
    }
    return log;
}

std::string Gzip(const std::string& text, int members = 1) {
    std::string out;
    const std::size_t part = text.size() / members + 1;
    for (std::size_t at = 0; at < text.size() || (at == 0 && out.empty()); at += part) {
        const std::string piece = text.substr(at, part);
        z_stream z{};
        EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
        std::string buffer(deflateBound(&z, piece.size()) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        z.avail_in = static_cast<uInt>(piece.size());
        z.next_out = reinterpret_cast<Bytef*>(buffer.data());
        z.avail_out = static_cast<uInt>(buffer.size());
        EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
        buffer.resize(z.total_out);
        deflateEnd(&z);
        out += buffer;
        if (text.empty()) {
            break;
        }
    }
    return out;
}

class LogListTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        Put("corvix.cfg", "[SourceIPFilters]\n203.0.113.9=1\n[TargetPortFilters]\n137=1\n");
        settings_ = std::make_unique<SettingsFile>(Path("corvix.cfg"));
    }

    static Texts Entries(const EntryStore& store) {
        Texts texts;
        for (std::size_t i = 0; i < store.size(); ++i) {
            texts.emplace_back(store.Entry(i));
        }
        return texts;
    }

    // One file alone, the way the window always read one log.
    Texts Single(const std::string& name) {
        LogReader log;
        EXPECT_TRUE(OpenAnyLog(log, Path(name))) << name;
        EntryStore store;
        LoadEntries(log, *settings_, store);
        return Entries(store);
    }

    Texts Listed(const std::vector<std::string>& arguments, LogListResult* out = nullptr,
                 LogFileList* files = nullptr) {
        const LogFileList list = ResolveLogArguments(arguments);
        EntryStore store;
        store.AppendEntry("left over from before");
        const LogListResult result = LoadLogList(list.files, OpenAnyLog, *settings_, store);
        if (out) {
            *out = result;
        }
        if (files) {
            *files = list;
        }
        return Entries(store);
    }

    // The statistics of the logs read one after another, as JSON, and their problems.
    std::string CountedInOne(const std::vector<std::string>& files,
                             std::vector<LogFileProblem>& problems) {
        class CountingSink : public EntrySink {
          public:
            void ClearEntries() override { statistics.Clear(); }
            bool AppendEntry(std::string_view) override { return false; }
            bool AppendParsedEntry(const LogEntry& entry, std::string_view) override {
                statistics.Add(entry);
                return true;
            }
            bool NeedsText() const override { return false; }
            EntryStatistics statistics;
        } sink;
        problems = LoadLogList(files, OpenAnyLog, *settings_, sink).problems;
        return FormatStatistics(sink.statistics.Report(0), ReportFormat::kJson);
    }

    std::string CountedInPieces(const std::vector<std::string>& files, std::size_t threads,
                                unsigned long long pieceBytes,
                                std::vector<LogFileProblem>& problems) {
        EntryStatistics statistics;
        statistics.Add("left over", "from before", std::nullopt);
        problems = ReadLogStatistics(files, OpenAnyLog, settings_->CurrentFilters(), threads,
                                     statistics, pieceBytes);
        return FormatStatistics(statistics.Report(0), ReportFormat::kJson);
    }

    std::unique_ptr<SettingsFile> settings_;
};

TEST_F(LogListTest, DateInTheNameOrdersTheLogs) {
    EXPECT_EQ(LogDateInName("/x/Velmora-incoming-2026-12-07.log"), "2026-12-07");
    EXPECT_EQ(LogDateInName("Velmora-combined-2026-01-31.log.gz"), "2026-01-31");
    EXPECT_EQ(LogDateInName("notes.log"), "");
    EXPECT_EQ(LogDateInName("Velmora-incoming-2026-12-7.log"), "");
    EXPECT_EQ(LogDateInName("Velmora-incoming-2026x12-07.log"), "");
    EXPECT_EQ(LogDateInName("Velmora-incoming-2026-12-07.txt"), "");

    EXPECT_TRUE(IsListedLogName("Velmora-incoming-2026-12-07.log"));
    EXPECT_TRUE(IsListedLogName("Velmora-combined-2026-12-07.log.gz"));
    EXPECT_FALSE(IsListedLogName("Velmora-outgoing-2026-12-07.log"));
    EXPECT_FALSE(IsListedLogName("Velmora-messages-2026-12-07.log"));
    EXPECT_FALSE(IsListedLogName("Velmora-incoming-2026-12-07.log.bak"));

    // Undated names stay where they were given; dated ones take the dated places in order.
    std::vector<std::string> paths = {"b-incoming-2026-12-08.log", "own.log",
                                      "a-incoming-2026-12-06.log.gz", "z-combined-2026-12-06.log",
                                      "other.txt"};
    OrderLogFiles(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"a-incoming-2026-12-06.log.gz", "own.log",
                                               "z-combined-2026-12-06.log",
                                               "b-incoming-2026-12-08.log", "other.txt"}));
}

// Several days are the single days one after the other, whatever order they were named in.
TEST_F(LogListTest, SeveralLogsListAsTheSingleLogsOneAfterTheOther) {
    const std::string before = "Velmora-incoming-2026-12-06.log";
    const std::string after = "Velmora-incoming-2026-12-07.log";
    const std::string third = "Velmora-incoming-2026-12-08.log";
    Put(before, MakeLog("2026-12-06", 1, 3000, true));
    Put(after, MakeLog("2026-12-07", 2, 3000, false));
    Put(third, MakeLog("2026-12-08", 3, 500, false));

    Texts expected = Single(before);
    const std::size_t firstDay = expected.size();
    ASSERT_GT(firstDay, 1000u);
    for (const std::string& name : {after, third}) {
        const Texts one = Single(name);
        expected.insert(expected.end(), one.begin(), one.end());
    }
    ASSERT_TRUE(expected[firstDay - 1].starts_with("2026-12-06 23:59:")) << expected[firstDay - 1];
    ASSERT_TRUE(expected[firstDay].starts_with("2026-12-07 00:00:")) << expected[firstDay];

    LogListResult result;
    EXPECT_EQ(Listed({Path(third), Path(after), Path(before)}, &result), expected);
    EXPECT_EQ(result.listed, expected.size());
    EXPECT_EQ(result.perFile.size(), 3u);
    EXPECT_EQ(result.perFile[0], firstDay);
    EXPECT_TRUE(result.problems.empty());

    // The directory gives the same list, and is remembered for the days that follow.
    LogFileList files;
    Put("notes.txt", "in 1 2 3 4 5 6 7\n");
    Put("Velmora-outgoing-2026-12-07.log", MakeLog("2026-12-07", 4, 100, false));
    EXPECT_EQ(Listed({dir_}, nullptr, &files), expected);
    EXPECT_EQ(files.directory, dir_);
    EXPECT_EQ(files.files.size(), 3u);
}

// A sink that counts fields rather than keeping text gets every entry of every log
// parsed, and no text made for it.
TEST_F(LogListTest, ASinkThatNeedsNoTextGetsTheParsedEntriesOfEveryLog) {
    class FieldSink : public EntrySink {
      public:
        void ClearEntries() override { ++clears; }
        bool AppendEntry(std::string_view) override {
            ++texts;
            return true;
        }
        bool AppendParsedEntry(const LogEntry& entry, std::string_view text) override {
            entries.push_back(FormatEntry(entry, entry.destinationIp));
            texts += text.empty() ? 0 : 1;
            return true;
        }
        bool NeedsText() const override { return false; }
        Texts entries;
        int texts = 0;
        int clears = 0;
    };
    const std::string first = "Velmora-incoming-2026-12-06.log";
    const std::string second = "Velmora-incoming-2026-12-07.log.gz";
    Put(first, MakeLog("2026-12-06", 5, 2000, true));
    Put(second, Gzip(MakeLog("2026-12-07", 6, 2000, false)));
    Texts expected = Single(first);
    const Texts more = Single(second);
    expected.insert(expected.end(), more.begin(), more.end());
    ASSERT_GT(expected.size(), 1000u);

    FieldSink sink;
    const LogListResult result =
        LoadLogList({Path(first), Path(second)}, OpenAnyLog, *settings_, sink);
    EXPECT_EQ(sink.entries, expected);
    EXPECT_EQ(result.listed, expected.size());
    EXPECT_EQ(sink.texts, 0);
    EXPECT_EQ(sink.clears, 1);
}

TEST_F(LogListTest, CompressedAndPlainLogsGiveTheSameList) {
    const std::string text = MakeLog("2026-12-06", 7, 20000, false);
    Put("Velmora-incoming-2026-12-06.log", text);
    Put("Velmora-incoming-2026-12-06.log.gz", Gzip(text));
    Put("several-members.log.gz", Gzip(text, 5));
    Put("empty.log.gz", Gzip(""));
    const Texts plain = Single("Velmora-incoming-2026-12-06.log");
    ASSERT_GT(plain.size(), 5000u);
    EXPECT_EQ(Single("Velmora-incoming-2026-12-06.log.gz"), plain);
    EXPECT_EQ(Single("several-members.log.gz"), plain);
    EXPECT_TRUE(Single("empty.log.gz").empty());

    // Reading again from the start reads the whole log again.
    LogReader log;
    ASSERT_TRUE(OpenAnyLog(log, Path("several-members.log.gz")));
    EntryStore store;
    LoadEntries(log, *settings_, store);
    LoadEntries(log, *settings_, store);
    EXPECT_EQ(Entries(store), plain);
    EXPECT_EQ(log.readError(), 0);
}

TEST_F(LogListTest, CutShortOrDamagedCompressedLogListsWhatCouldBeRead) {
    const std::string text = MakeLog("2026-12-06", 9, 20000, false);
    Put("whole.log", text);
    const Texts whole = Single("whole.log");
    const std::string packed = Gzip(text);
    Put("cut-incoming-2026-12-06.log.gz", packed.substr(0, packed.size() / 2));
    std::string damaged = packed;
    for (std::size_t i = packed.size() / 2; i < packed.size() / 2 + 64; ++i) {
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
    }
    Put("bad-incoming-2026-12-07.log.gz", damaged);
    // Named .gz but plain text; and bytes that are neither.
    Put("plain-incoming-2026-12-08.log.gz", text);
    Put("junk-incoming-2026-12-09.log.gz", std::string("\x1f\x8b\x08\x00garbage", 11));

    LogListResult result;
    const Texts listed = Listed({dir_}, &result);
    ASSERT_EQ(result.perFile.size(), 4u);
    ASSERT_EQ(result.problems.size(), 3u);
    EXPECT_EQ(result.problems[0].path, Path("cut-incoming-2026-12-06.log.gz"));
    EXPECT_NE(result.problems[0].reason.find("cut short"), std::string::npos);
    EXPECT_FALSE(result.problems[0].notOpened);
    EXPECT_EQ(result.problems[1].path, Path("bad-incoming-2026-12-07.log.gz"));
    EXPECT_EQ(result.problems[2].path, Path("junk-incoming-2026-12-09.log.gz"));
    // What came before the cut is listed, exactly as in the whole log.
    for (const std::size_t part : {result.perFile[0], result.perFile[1]}) {
        EXPECT_GT(part, whole.size() / 10);
        EXPECT_LT(part, whole.size());
    }
    EXPECT_TRUE(std::equal(listed.begin(), listed.begin() + result.perFile[0], whole.begin()));
    EXPECT_EQ(result.perFile[2], whole.size());
    EXPECT_EQ(result.perFile[3], 0u);
}

TEST_F(LogListTest, BadInputAmongManyIsNamedOnceAndTheRestIsListed) {
    const std::string text = MakeLog("2026-12-06", 5, 1000, false);
    Put("Velmora-incoming-2026-12-06.log", text);
    Put("Velmora-incoming-2026-12-07.log", text);
    ::chmod(Path("Velmora-incoming-2026-12-07.log").c_str(), 0);
    ASSERT_EQ(::symlink("Velmora-combined-2026-12-08.log",
                        Path("Velmora-combined-2026-12-08.log").c_str()),
              0);
    Put("Velmora-combined-2026-12-09.log", std::string(5000, '\0') +
                                               "\x7f"
                                               "ELF");
    const bool root = ::geteuid() == 0;

    LogListResult result;
    LogFileList files;
    const Texts listed = Listed({dir_, Path("missing-incoming-2026-12-01.log")}, &result, &files);
    // Two arguments: no one directory to follow into the next day.
    EXPECT_EQ(files.directory, "");
    ASSERT_EQ(files.problems.size(), 1u);
    EXPECT_EQ(files.problems[0].path, Path("Velmora-combined-2026-12-08.log"));
    EXPECT_EQ(files.problems[0].reason, "Too many levels of symbolic links");
    ASSERT_EQ(result.problems.size(), root ? 1u : 2u);
    EXPECT_EQ(result.problems[0].path, Path("missing-incoming-2026-12-01.log"));
    EXPECT_EQ(result.problems[0].reason, "No such file or directory");
    EXPECT_TRUE(result.problems[0].notOpened);
    if (!root) {
        EXPECT_EQ(result.problems[1].path, Path("Velmora-incoming-2026-12-07.log"));
        EXPECT_EQ(result.problems[1].reason, "Permission denied");
    }
    EXPECT_EQ(listed, [&] {
        Texts twice = Single("Velmora-incoming-2026-12-06.log");
        if (root) {
            const Texts again = twice;
            twice.insert(twice.end(), again.begin(), again.end());
        }
        return twice;
    }());

    LogFileList empty = ResolveLogArguments({Path("nothing")});
    ::mkdir(Path("nothing").c_str(), 0700);
    empty = ResolveLogArguments({Path("nothing")});
    EXPECT_TRUE(empty.files.empty());
    ASSERT_EQ(empty.problems.size(), 1u);
    EXPECT_EQ(empty.problems[0].path, Path("nothing"));
    EXPECT_TRUE(empty.problems[0].notOpened);
}

TEST_F(LogListTest, RangeOfDaysPicksTheLogsOfThoseDays) {
    for (const char* name :
         {"Velmora-incoming-2026-11-30.log", "Velmora-incoming-2026-12-01.log.gz",
          "Velmora-combined-2026-12-03.log", "Velmora-incoming-2026-12-02.log",
          "Velmora-outgoing-2026-12-02.log", "Velmora-incoming-2026-12-04.log", "notes.log"}) {
        Put(name, "");
    }
    std::vector<LogFileProblem> problems;
    EXPECT_EQ(LogsInRange(dir_, "2026-12-01", "2026-12-03", problems),
              (std::vector<std::string>{Path("Velmora-incoming-2026-12-01.log.gz"),
                                        Path("Velmora-incoming-2026-12-02.log"),
                                        Path("Velmora-combined-2026-12-03.log")}));
    EXPECT_TRUE(LogsInRange(dir_, "2026-12-05", "2026-12-09", problems).empty());
    EXPECT_TRUE(LogsInRange(dir_, "2026-12-03", "2026-12-01", problems).empty());
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(LogsInRange(Path("missing"), "2026-12-01", "2026-12-03", problems).empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].reason, "No such file or directory");
}

// A log being written: read on from where the last pass ended, a line without its end
// held back until the end comes, and the bytes taken counted for truncation checks.
TEST_F(LogListTest, FollowedLogReadsOnAndHoldsALineStillBeingWritten) {
    Put("today.log", "a in 1\r");
    LogReader log;
    ASSERT_TRUE(log.Open(Path("today.log")));
    log.SetHoldPartialLine(true);
    EXPECT_EQ(log.NextChunk(), std::nullopt);
    EXPECT_EQ(log.bytesRead(), 7u);
    // Held back, it reads as the unheld log would end: its CR still there.
    EXPECT_EQ(log.HeldLine(), "a in 1\r");
    std::ofstream(Path("today.log"), std::ios::app | std::ios::binary) << "\nb in 2\nc in";
    log.Resume();
    EXPECT_EQ(log.NextChunk(), "a in 1\n");
    EXPECT_EQ(log.NextChunk(), "b in 2\n");
    EXPECT_EQ(log.NextChunk(), std::nullopt);
    EXPECT_EQ(log.HeldLine(), "c in");
    std::ofstream(Path("today.log"), std::ios::app | std::ios::binary) << " 3\n";
    EXPECT_EQ(log.NextChunk(), std::nullopt);  // nothing new until resumed
    log.Resume();
    EXPECT_EQ(log.NextChunk(), "c in 3\n");
    EXPECT_EQ(log.NextChunk(), std::nullopt);
    EXPECT_EQ(log.HeldLine(), std::nullopt);
    EXPECT_EQ(log.bytesRead(), 22u);

    // Without holding, the unfinished line is a chunk of its own, as for any log.
    std::ofstream(Path("today.log"), std::ios::app | std::ios::binary) << "d in";
    log.SetHoldPartialLine(false);
    log.Resume();
    EXPECT_EQ(log.NextChunk(), "d in");
    EXPECT_TRUE(log.Rewind());
    EXPECT_EQ(log.NextChunk(), "a in 1\n");
}

// Wherever a log is cut into pieces, the pieces count what reading it in one counts:
// the cut sweeps over a CR LF end, a line longer than a chunk, a NUL, a filtered entry
// and a last line without its end.
TEST_F(LogListTest, PiecesCountWhatOneReadingCountsWhereverTheCutFalls) {
    const std::string lines =
        "12/06/2026 00:00:01 in 203.0.113.5 4512 198.51.100.7 80\r\n"
        "12/06/2026 00:00:02 in 203.0.113.6 4512 198.51.100.7 " +
        std::string(150, '4') +
        " 22\n"
        "12/06/2026 00:00:03 in 203.0.113.7 45\0"
        "12 198.51.100.7 80\n"
        "12/06/2026 00:00:04 in 203.0.113.9 4512 198.51.100.7 23\n"
        "12/06/2026 00:00:05 in 203.0.113.8 4512 198.51.100.7 443";
    for (std::size_t pad = 0; pad < 420; pad += 3) {
        Put("cut.log", std::string(pad, 'x') + "\n" + lines);
        std::vector<LogFileProblem> expectedProblems, problems;
        const std::string expected = CountedInOne({Path("cut.log")}, expectedProblems);
        for (const std::size_t threads : {2, 3}) {
            EXPECT_EQ(CountedInPieces({Path("cut.log")}, threads, 1, problems), expected)
                << "pad " << pad << ", " << threads << " pieces";
            EXPECT_TRUE(problems.empty());
        }
    }
}

// Many logs, plain and compressed, missing and cut short, read on several threads in
// small pieces: the same figures and the same problems, in the same order, as one
// reading after another. A compressed log cannot be cut, and is counted once.
TEST_F(LogListTest, PiecesOfManyLogsCountAndFailAsOneReadingDoes) {
    std::vector<std::string> files;
    for (int day = 1; day <= 9; ++day) {
        const std::string date = "2026-12-0" + std::to_string(day);
        const std::string text = MakeLog(date, static_cast<unsigned>(day), 700 * day, day % 2 == 0);
        const std::string name = "Velmora-incoming-" + date + ".log";
        if (day == 4) {
            Put(name + ".gz", Gzip(text));
        } else if (day == 6) {
            const std::string packed = Gzip(text);
            Put(name + ".gz", packed.substr(0, packed.size() / 2));
        } else if (day != 8) {
            Put(name, text);
        }
        files.push_back(Path(day == 4 || day == 6 ? name + ".gz" : name));
    }
    ::mkdir(Path("folder.log").c_str(), 0700);
    files.push_back(Path("folder.log"));

    std::vector<LogFileProblem> expectedProblems, problems;
    const std::string expected = CountedInOne(files, expectedProblems);
    ASSERT_EQ(expectedProblems.size(), 3u);
    for (const std::size_t threads : {1, 2, 5, 8}) {
        for (const unsigned long long pieceBytes : {1000ULL, 40000ULL, kLogPieceBytes}) {
            EXPECT_EQ(CountedInPieces(files, threads, pieceBytes, problems), expected)
                << threads << " threads, pieces of " << pieceBytes;
            ASSERT_EQ(problems.size(), expectedProblems.size());
            for (std::size_t i = 0; i < problems.size(); ++i) {
                EXPECT_EQ(problems[i].path, expectedProblems[i].path);
                EXPECT_EQ(problems[i].reason, expectedProblems[i].reason);
                EXPECT_EQ(problems[i].notOpened, expectedProblems[i].notOpened);
            }
        }
    }
}

// Filters nothing, but lets a test act on a log as a source of it is about to be counted.
class SourceHook : public FilterSource {
  public:
    explicit SourceHook(std::function<void(std::string_view)> onSource)
        : onSource_(std::move(onSource)) {}
    bool IsActiveFilter(std::string_view section, std::string_view key) const override {
        if (section == kSourceIpFilters) {
            onSource_(key);
        }
        return false;
    }

  private:
    std::function<void(std::string_view)> onSource_;
};

// A log being written, cut where its last line has no end yet: that line is counted
// whole, with what is appended to it while the pieces are read, as one reading after the
// append counts it.
TEST_F(LogListTest, PiecesOfAGrowingLogCountALineStillBeingWrittenWhole) {
    Put("empty.log", "");
    // The unfinished entry starts a chunk of the long last line; its port is cut short.
    Put("growing.log", "12/06/2026 00:00:01 in 203.0.113.1 4512 198.51.100.7 80\n" +
                           std::string(4 * LogReader::kChunkLimit, ' ') +
                           "12/06/2026 00:00:05 in 203.0.113.8 4512 198.51.100.7 44");
    std::promise<void> grown;
    const std::shared_future<void> grownSoon = grown.get_future().share();
    // The first piece, its bounds found, has the rest appended; the thread with the empty
    // log waits for that, so the second piece looks for its start in the longer log.
    const SourceHook hook([&](std::string_view source) {
        if (source == "203.0.113.1") {
            std::ofstream(Path("growing.log"), std::ios::app | std::ios::binary)
                << "3\n12/06/2026 00:00:06 in 203.0.113.2 4512 198.51.100.7 25\n";
            grown.set_value();
        }
    });
    const LogOpener open = [&](LogReader& log, const std::string& path) {
        if (path == Path("empty.log")) {
            grownSoon.wait_for(std::chrono::seconds(10));
        }
        return OpenAnyLog(log, path);
    };
    const std::vector<std::string> files = {Path("empty.log"), Path("growing.log")};
    EntryStatistics statistics;
    EXPECT_TRUE(ReadLogStatistics(files, open, hook, 2, statistics, 1).empty());
    std::vector<LogFileProblem> problems;
    EXPECT_EQ(FormatStatistics(statistics.Report(0), ReportFormat::kJson),
              CountedInOne(files, problems));
}

// A log emptied while its pieces are read: what is counted is a run of its lines from the
// start, as one reading stopped there counts, without a later piece's lines behind a gap.
TEST_F(LogListTest, PiecesOfALogTruncatedWhileReadCountOnlyLinesFromItsStart) {
    const auto source = [](unsigned line) {
        return "10." + std::to_string(line >> 16) + "." + std::to_string(line >> 8 & 255) + "." +
               std::to_string(line & 255);
    };
    constexpr unsigned kLines = 40000;
    std::string text;
    for (unsigned line = 0; line < kLines; ++line) {
        text += "12/06/2026 00:00:01 in " + source(line) + " 4512 198.51.100.7 80\n";
    }
    Put("cut.log", text);
    std::promise<void> lastCounted;
    const std::shared_future<void> lastCountedSoon = lastCounted.get_future().share();
    // The first piece, far longer than one read, waits at its first line for the second
    // piece to reach the log's last line; then the log is emptied.
    const SourceHook hook([&](std::string_view counted) {
        if (counted == source(kLines - 1)) {
            lastCounted.set_value();
        } else if (counted == source(0)) {
            lastCountedSoon.wait_for(std::chrono::seconds(10));
            ASSERT_EQ(::truncate(Path("cut.log").c_str(), 0), 0);
        }
    });
    EntryStatistics statistics;
    EXPECT_TRUE(ReadLogStatistics({Path("cut.log")}, OpenAnyLog, hook, 2, statistics, 1).empty());
    const StatisticsReport report = statistics.Report(0);
    unsigned latest = 0;
    for (const SourceRow& row : report.sources) {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (std::sscanf(row.address.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) == 4) {
            latest = std::max(latest, b << 16 | c << 8 | d);
        }
    }
    EXPECT_LT(latest, report.entries);
}

TEST(GzipSourceTest, ArbitraryBytesEndCleanlyOrWithADamageError) {
    const unsigned char header[] = {0x1f, 0x8b, 0x08, 0x00, 0, 0, 0, 0, 0, 0x03};
    std::vector<unsigned char> bytes(header, header + sizeof header);
    for (int i = 0; i < 300; ++i) {
        bytes.push_back(static_cast<unsigned char>(i * 37));
    }
    auto source = GzipSourceOverBytes(bytes.data(), bytes.size());
    ASSERT_NE(source, nullptr);
    char buffer[4096];
    ssize_t n;
    std::size_t total = 0;
    while ((n = source->Read(buffer, sizeof buffer)) > 0) {
        total += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(n, -1);
    EXPECT_EQ(errno, EBADMSG);
    // Still failed when asked again, and whole again after a rewind.
    EXPECT_EQ(source->Read(buffer, sizeof buffer), -1);
    ASSERT_TRUE(source->Rewind());
    std::size_t again = 0;
    while ((n = source->Read(buffer, sizeof buffer)) > 0) {
        again += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(again, total);
}

}  // namespace
}  // namespace analyzer
