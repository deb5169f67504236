#include "analyzer/app/stats_command.h"

#include "analyzer/app/list_command.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/entry_loader.h"
#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/port_table.h"
#include "analyzer/core/statistics_reader.h"
#include "analyzer/io/any_log.h"
#include "common/text_format.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace analyzer {
namespace {

// The listed text parses back into its seven fields; the filters were applied on the
// way in, so none is asked again.
class NoFilters : public FilterSource {
  public:
    bool IsActiveFilter(std::string_view, std::string_view) const override { return false; }
};

bool WriteAll(std::string_view data, int& error) {
    while (!data.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, data.data(), data.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = errno;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

class FormattedListSink : public EntrySink {
  public:
    explicit FormattedListSink(ReportFormat format) : writer_(format) { writer_.Begin(buffer_); }
    void ClearEntries() override {}
    bool AppendEntry(std::string_view text) override {
        if (ParseEntry(text, noFilters_, entry_)) {
            writer_.Row(entry_, buffer_);
        }
        return buffer_.size() < kCapacity || Flush();
    }
    bool AppendParsedEntry(const LogEntry& entry, std::string_view) override {
        writer_.Row(entry, buffer_);
        return buffer_.size() < kCapacity || Flush();
    }
    bool NeedsText() const override { return false; }
    bool Finish() {
        writer_.End(buffer_);
        return Flush();
    }
    bool Flush() {
        const bool written = WriteAll(buffer_, error_);
        buffer_.clear();
        return written;
    }
    int error() const { return error_; }

  private:
    static constexpr std::size_t kCapacity = 1 << 16;
    ListWriter writer_;
    std::string buffer_;
    NoFilters noFilters_;
    LogEntry entry_;
    int error_ = 0;
};

}  // namespace

int RunStats(const std::vector<std::string>& logArguments, const std::string& settingsFilePath,
             const std::string& portsFilePath, ReportFormat format, std::size_t top) {
    SettingsFile settings(settingsFilePath);
    EntryStatistics statistics;
    const LogFileList files = ResolveLogArguments(logArguments);
    std::vector<LogFileProblem> problems = files.problems;
    const std::vector<LogFileProblem> read = ReadLogStatistics(
        files.files, OpenAnyLog, settings.CurrentFilters(), LogReadingThreads(), statistics);
    problems.insert(problems.end(), read.begin(), read.end());
    ReportLogProblems(problems);
    if (!problems.empty()) {
        return 1;
    }
    StatisticsReport report = statistics.Report(top);
    DescribePorts(PortTable(portsFilePath), report.ports);
    int error = 0;
    if (!WriteAll(FormatStatistics(report, format), error)) {
        std::fprintf(stderr, "corvix: cannot write the statistics: %s\n", std::strerror(error));
        return 1;
    }
    return 0;
}

int RunFormattedList(const std::vector<std::string>& logArguments,
                     const std::string& settingsFilePath, ReportFormat format) {
    SettingsFile settings(settingsFilePath);
    FormattedListSink sink(format);
    bool refused = false;
    const bool readWhole = LoadLogArguments(logArguments, settings, sink, refused);
    if (refused || !sink.Finish()) {
        std::fprintf(stderr, "corvix: cannot write the list: %s\n", std::strerror(sink.error()));
        return 1;
    }
    return readWhole ? 0 : 1;
}

}  // namespace analyzer
