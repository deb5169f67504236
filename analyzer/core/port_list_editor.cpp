#include "analyzer/core/port_list_editor.h"

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

PortListEditor::PortListEditor(std::string portsFilePath, common::UserMessages& messages)
    : table_(std::move(portsFilePath)), messages_(messages) {}

SelectionAfter PortListEditor::Load() {
    PortLines loaded = table_.LoadLines();
    if (listener_) {
        listener_->BeforeReset();
    }
    rows_ = std::move(loaded.lines);
    definitionCount_ = loaded.definitionCount;
    modified_ = false;
    if (listener_) {
        listener_->AfterReset();
    }
    return rows_.empty() ? SelectionAfter::Clear() : SelectionAfter::Select(0);
}

std::optional<std::size_t> PortListEditor::FindPortLine(std::string_view port) const {
    for (std::size_t step = 1; step <= rows_.size(); ++step) {
        const std::size_t row = step % rows_.size();
        if (BeginsWithPort(rows_[row], port)) {
            return row;
        }
    }
    return std::nullopt;
}

SelectionAfter PortListEditor::Add(const PortDefinition& definition) {
    if (const auto existing = FindPortLine(definition.port)) {
        messages_.ShowMessage(
            common::MessageIcon::kStop,
            common::FillPlaceholders(AnalyzerString(ids::kPortAlreadyDefined), {definition.port}));
        return SelectionAfter::Select(*existing);
    }
    if (listener_) {
        listener_->BeforeInsert(rows_.size());
    }
    rows_.push_back(definition.port + "\t" + definition.description);
    modified_ = true;
    ++definitionCount_;
    if (listener_) {
        listener_->AfterInsert();
    }
    return SelectionAfter::Keep();
}

bool PortListEditor::IsEditableRow(std::optional<std::size_t> row) const {
    return row && *row < rows_.size() && !IsCommentLine(rows_[*row]);
}

SelectionAfter PortListEditor::Edit(std::size_t row, std::string_view description) {
    if (!IsEditableRow(row)) {
        return SelectionAfter::Keep();
    }
    rows_[row] = SplitDefinition(rows_[row]).port + "\t" + std::string(description);
    modified_ = true;
    if (listener_) {
        listener_->Changed(row);
    }
    return SelectionAfter::Clear();
}

SelectionAfter PortListEditor::Delete(std::size_t row) {
    if (!IsEditableRow(row)) {
        return SelectionAfter::Keep();
    }
    if (listener_) {
        listener_->BeforeRemove(row);
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    modified_ = true;
    --definitionCount_;
    if (listener_) {
        listener_->AfterRemove();
    }
    return SelectionAfter::Clear();
}

SelectionAfter PortListEditor::Find(std::string_view port) {
    if (const auto found = FindPortLine(port)) {
        return SelectionAfter::Select(*found);
    }
    messages_.ShowMessage(common::MessageIcon::kStop,
                          common::FillPlaceholders(AnalyzerString(ids::kPortNotFound), {port}));
    return SelectionAfter::Keep();
}

bool PortListEditor::SaveChanges() {
    if (!modified_) {
        return true;
    }
    if (table_.SaveLines(rows_)) {
        modified_ = false;
        return true;
    }
    messages_.ShowMessage(common::MessageIcon::kInformation,
                          std::string(AnalyzerString(ids::kUnableToOpenPortList)));
    return false;
}

bool PortListEditor::Close() {
    if (!modified_) {
        return true;
    }
    switch (messages_.Ask(std::string(AnalyzerString(ids::kSavePortChanges)))) {
        case common::Answer::kYes:
            return SaveChanges();
        case common::Answer::kNo:
            return true;
        case common::Answer::kCancel:
            return false;
    }
    return false;
}

}  // namespace analyzer
