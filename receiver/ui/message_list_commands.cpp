#include "receiver/ui/message_list_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>

#include "common_ui/wait_cursor.h"
#include "receiver/core/clipboard_text.h"
#include "receiver/core/window_commands.h"
#include "receiver/ui/find_messages_dialog.h"

namespace receiver_ui {

namespace cmd = receiver::commands;

// The rows the list shows: rows the store gained since the last announcement are not
// searched or copied yet.
struct ShownRows {
    const receiver::MessageStore& store;
    std::size_t count;
    std::size_t size() const { return count; }
    receiver::MessageRow Row(std::size_t i) const { return store.Row(i); }
};

MessageListCommands::MessageListCommands(QTableView& list, receiver::ReceiverEngine& engine,
                                         common::ProfileStore& profile,
                                         common_ui::DesktopPrompts& prompts, Hooks hooks)
    : list_(list),
      engine_(engine),
      profile_(profile),
      prompts_(prompts),
      hooks_(std::move(hooks)) {}

void MessageListCommands::Run(int id) {
    common_ui::WaitCursor waitCursor;
    const int rows = list_.model()->rowCount();
    switch (id) {
        case cmd::kCopy:
            Copy();
            break;
        case cmd::kSelectAll:
            SelectAll();
            break;
        case cmd::kUnselectAll:
            UnselectAll();
            break;
        case cmd::kFirstMessage:
            list_.scrollTo(list_.model()->index(0, 0));
            break;
        case cmd::kLastMessage:
            list_.scrollTo(list_.model()->index(rows - 1, 0));
            break;
        case cmd::kExtendToTop: {
            receiver::RowSelection selection = Selection();
            receiver::ExtendSelectionToTop(selection);
            Select(selection);
            break;
        }
        case cmd::kExtendToBottom: {
            receiver::RowSelection selection = Selection();
            receiver::ExtendSelectionToBottom(selection, static_cast<std::size_t>(rows));
            Select(selection);
            break;
        }
        case cmd::kFindMessages:
            FindMessages();
            break;
        case cmd::kRepeatFind:
            RepeatFind();
            break;
        default:
            break;
    }
}

void MessageListCommands::ToggleSelectAll() {
    if (list_.model()->rowCount() == 0) {
        return;
    }
    common_ui::WaitCursor waitCursor;
    if (allSelected_) {
        UnselectAll();
    } else {
        SelectAll();
    }
}

ShownRows MessageListCommands::Shown() const {
    return {engine_.messages(), static_cast<std::size_t>(list_.model()->rowCount())};
}

receiver::RowSelection MessageListCommands::Selection() const {
    std::vector<receiver::RowSelection::Range> ranges;
    for (const QItemSelectionRange& range : list_.selectionModel()->selection()) {
        ranges.emplace_back(range.top(), range.bottom() + 1);
    }
    return receiver::RowSelection::FromRanges(std::move(ranges));
}

void MessageListCommands::Select(const receiver::RowSelection& selection) {
    const QAbstractItemModel& model = *list_.model();
    const int lastColumn = model.columnCount() - 1;
    QItemSelection items;
    for (const auto& [first, last] : selection.ranges()) {
        items.select(model.index(static_cast<int>(first), 0),
                     model.index(static_cast<int>(last) - 1, lastColumn));
    }
    // Clearing first keeps Qt from comparing the old ranges with the new ones, which
    // costs the product of their counts.
    list_.selectionModel()->clearSelection();
    list_.selectionModel()->select(items, QItemSelectionModel::Select);
}

void MessageListCommands::SelectAll() {
    receiver::RowSelection all;
    all.SelectAll(static_cast<std::size_t>(list_.model()->rowCount()));
    Select(all);
    allSelected_ = true;
}

void MessageListCommands::UnselectAll() {
    // The whole row state goes: selection and focus alike.
    list_.selectionModel()->clear();
    allSelected_ = false;
}

void MessageListCommands::Copy() {
    const receiver::RowSelection selection = Selection();
    if (selection.empty()) {
        return;
    }
    // The list's texts are 8-bit; each byte becomes the character of the same number.
    const std::string text = receiver::BuildClipboardText(Shown(), selection);
    QApplication::clipboard()->setText(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void MessageListCommands::FindMessages() {
    receiver::ReceiverSettings chosen = engine_.settings();
    CFindMessagesDialog dialog(chosen, profile_, prompts_, &list_);
    hooks_.runDialog(dialog);
    if (dialog.result() != QDialog::Accepted) {
        return;
    }
    engine_.ApplyFindOptions(chosen);
    search_ = dialog.request();
    hooks_.stopFollowing();
    const std::size_t count = Search();
    ReportFindResult(count);
    if (count == 0) {
        lastFindIndex_ = 0;
    }
}

void MessageListCommands::RepeatFind() {
    hooks_.stopFollowing();
    if (lastFindIndex_ != 0) {
        ReportFindResult(Search());
    }
}

std::size_t MessageListCommands::Search() {
    common_ui::WaitCursor waitCursor;
    const receiver::FindOutcome outcome = receiver::FindMessages(Shown(), Selection(), search_);
    // The whole row state of every row goes first, focus included.
    list_.selectionModel()->clear();
    Select(outcome.selected);
    if (outcome.lastMatch) {
        const QModelIndex last = list_.model()->index(static_cast<int>(*outcome.lastMatch), 0);
        list_.selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
        list_.scrollTo(last);
        lastFindIndex_ = static_cast<int>(*outcome.lastMatch);
    }
    return outcome.count;
}

void MessageListCommands::ReportFindResult(std::size_t count) {
    if (const auto report = receiver::ReportFindResult(count, search_.upward)) {
        prompts_.ShowMessage(report->icon, report->text);
    }
}

}  // namespace receiver_ui
