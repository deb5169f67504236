#include "analyzer/core/port_list_model.h"

#include "analyzer/core/analyzer_strings.h"
#include "common/ascii.h"
#include "common/text_format.h"

#include <utility>

namespace analyzer {
namespace {

bool BeginsWithPort(std::string_view row, std::string_view port) {
    return row.size() > port.size() && row[port.size()] == '\t' &&
           common::EqualsIgnoringAsciiCase(row.substr(0, port.size()), port);
}

}  // namespace

PortDefinition SplitDefinition(std::string_view row) {
    if (IsCommentLine(row)) {
        return {};
    }
    const std::size_t tab = row.find('\t');
    if (tab == std::string_view::npos) {
        return {std::string(row), {}};
    }
    return {std::string(row.substr(0, tab)), std::string(row.substr(tab + 1))};
}

PortListModel::PortListModel(std::string portsFilePath, common::UserMessages& messages)
    : table_(std::move(portsFilePath)), messages_(messages) {}

void PortListModel::Load() {
    PortLines loaded = table_.LoadLines();
    rows_ = std::move(loaded.lines);
    definitionCount_ = loaded.definitionCount;
    selected_ = rows_.empty() ? std::nullopt : std::optional<std::size_t>(0);
    modified_ = false;
}

void PortListModel::Select(std::optional<std::size_t> row) {
    selected_ = row && *row < rows_.size() ? row : std::nullopt;
}

std::optional<std::size_t> PortListModel::FindPortLine(std::string_view port) {
    for (std::size_t step = 1; step <= rows_.size(); ++step) {
        const std::size_t row = step % rows_.size();
        if (BeginsWithPort(rows_[row], port)) {
            selected_ = row;
            return row;
        }
    }
    return std::nullopt;
}

bool PortListModel::Add(const PortDefinition& definition) {
    if (FindPortLine(definition.port)) {
        messages_.ShowMessage(
            common::MessageIcon::kStop,
            common::FillPlaceholders(AnalyzerString(ids::kPortAlreadyDefined), {definition.port}));
        return false;
    }
    rows_.push_back(definition.port + "\t" + definition.description);
    modified_ = true;
    ++definitionCount_;
    return true;
}

std::optional<std::size_t> PortListModel::EditableRow() const {
    if (!selected_ || IsCommentLine(rows_[*selected_])) {
        return std::nullopt;
    }
    return selected_;
}

void PortListModel::Edit(std::size_t row, std::string_view description) {
    if (row >= rows_.size() || IsCommentLine(rows_[row])) {
        return;
    }
    rows_[row] = SplitDefinition(rows_[row]).port + "\t" + std::string(description);
    modified_ = true;
    selected_.reset();
}

void PortListModel::Delete(std::size_t row) {
    if (row >= rows_.size() || IsCommentLine(rows_[row])) {
        return;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    modified_ = true;
    --definitionCount_;
    selected_.reset();
}

void PortListModel::Find(std::string_view port) {
    if (!FindPortLine(port)) {
        messages_.ShowMessage(common::MessageIcon::kStop,
                              common::FillPlaceholders(AnalyzerString(ids::kPortNotFound), {port}));
    }
}

void PortListModel::SaveChanges() {
    if (!modified_) {
        return;
    }
    if (table_.SaveLines(rows_)) {
        modified_ = false;
    } else {
        messages_.ShowMessage(common::MessageIcon::kInformation,
                              std::string(AnalyzerString(ids::kUnableToOpenPortList)));
    }
}

bool PortListModel::Close() {
    if (!modified_) {
        return true;
    }
    switch (messages_.Ask(std::string(AnalyzerString(ids::kSavePortChanges)))) {
        case common::Answer::kYes:
            SaveChanges();
            return true;
        case common::Answer::kNo:
            return true;
        case common::Answer::kCancel:
            return false;
    }
    return false;
}

}  // namespace analyzer
