#pragma once

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/log_entry.h"

#include <string>
#include <string_view>

namespace analyzer {

enum class ReportFormat { kText, kCsv, kJson };

// "text", "csv" or "json"; nullopt otherwise.
std::optional<ReportFormat> ParseReportFormat(std::string_view name);

// The statistics in one of the three forms, ending in a line feed.
std::string FormatStatistics(const StatisticsReport& report, ReportFormat format);

// The listed entries as CSV or JSON, written row by row so a long list is never held.
// Begin, then Row for each entry, then End; each appends to `out`.
class ListWriter {
  public:
    explicit ListWriter(ReportFormat format) : format_(format) {}
    void Begin(std::string& out);
    void Row(const LogEntry& entry, std::string& out);
    void End(std::string& out);

  private:
    ReportFormat format_;
    bool first_ = true;
};

// A field of a CSV line, quoted when it holds a comma, quote or line break.
void AppendCsvField(std::string_view text, std::string& out);
// A JSON string with its quotes; bytes that are not UTF-8 are read as Latin-1.
void AppendJsonString(std::string_view text, std::string& out);

}  // namespace analyzer
