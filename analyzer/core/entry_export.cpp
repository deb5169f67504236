#include "analyzer/core/entry_export.h"

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/port_table.h"
#include "common/file_io.h"

#include <cerrno>
#include <cstring>

namespace analyzer {
namespace {

struct FileType {
    const char* filter;
    ExportChoice choice;
};

constexpr FileType kFileTypes[] = {
    {"Entries, CSV (*.csv)", {false, ReportFormat::kCsv}},
    {"Entries, JSON (*.json)", {false, ReportFormat::kJson}},
    {"Statistics, CSV (*.csv)", {true, ReportFormat::kCsv}},
    {"Statistics, JSON (*.json)", {true, ReportFormat::kJson}},
    {"Statistics, text (*.txt)", {true, ReportFormat::kText}},
};

constexpr mode_t kNewFileMode = 0644;

}  // namespace

std::string ExportFileTypes() {
    std::string types;
    for (const FileType& type : kFileTypes) {
        types += types.empty() ? "" : ";;";
        types += type.filter;
    }
    return types;
}

std::optional<ExportChoice> ExportChoiceForType(std::string_view fileType) {
    for (const FileType& type : kFileTypes) {
        if (fileType == type.filter) {
            return type.choice;
        }
    }
    return std::nullopt;
}

std::string ExportText(const EntryStore& store, const std::string& portsFilePath,
                       ExportChoice choice) {
    if (choice.statistics) {
        EntryStatistics statistics;
        std::string listText;
        for (std::size_t i = 0; i < store.size(); ++i) {
            store.EntryInto(i, listText);
            statistics.AddListed(listText);
        }
        StatisticsReport report = statistics.Report(0);
        DescribePorts(PortTable(portsFilePath), report.ports);
        return FormatStatistics(report, choice.format);
    }
    class NoFilters : public FilterSource {
      public:
        bool IsActiveFilter(std::string_view, std::string_view) const override { return false; }
    } none;
    std::string text;
    ListWriter writer(choice.format);
    writer.Begin(text);
    LogEntry entry;
    std::string listText;
    for (std::size_t i = 0; i < store.size(); ++i) {
        store.EntryInto(i, listText);
        if (ParseEntry(listText, none, entry)) {
            writer.Row(entry, text);
        }
    }
    writer.End(text);
    return text;
}

std::optional<std::string> WriteExport(const std::string& path, std::string_view text) {
    errno = 0;
    if (common::WriteFileAtomically(path, text, kNewFileMode)) {
        return std::nullopt;
    }
    return std::string(std::strerror(errno != 0 ? errno : EIO));
}

}  // namespace analyzer
