#pragma once

#include "analyzer/core/entry_store.h"
#include "analyzer/core/report_format.h"

#include <optional>
#include <string>
#include <string_view>

namespace analyzer {

// What File, Export writes: the listed entries or their statistics, in one form.
struct ExportChoice {
    bool statistics = false;
    ReportFormat format = ReportFormat::kCsv;
};

// The chooser's file types in Qt's filter form, and the choice each one means.
std::string ExportFileTypes();
std::optional<ExportChoice> ExportChoiceForType(std::string_view fileType);

// The text of the export: the entries as --list --format prints them, or the statistics
// as --stats --top=0 does.
std::string ExportText(const EntryStore& store, const std::string& portsFilePath,
                       ExportChoice choice);

// Replaces the file at `path` with the text in one atomic step, so a failure leaves
// nothing half written. Nothing on success, else the reason (strerror).
std::optional<std::string> WriteExport(const std::string& path, std::string_view text);

}  // namespace analyzer
