#include "receiver/ui/message_list_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>

#include "common_ui/wait_cursor.h"
#include "receiver/core/clipboard_text.h"
#include "receiver/ui/find_messages_dialog.h"
#include "receiver/ui/list_text.h"

namespace receiver_ui {

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
                                         common_ui::DesktopPrompts& prompts,
                                         std::function<void()> stopFollowing)
    : list_(list),
      engine_(engine),
      profile_(profile),
      prompts_(prompts),
      stopFollowing_(std::move(stopFollowing)) {}

void MessageListCommands::firstMessage() {
    list_.scrollTo(list_.model()->index(0, 0));
}

void MessageListCommands::lastMessage() {
    list_.scrollTo(list_.model()->index(list_.model()->rowCount() - 1, 0));
}

void MessageListCommands::extendToTop() {
    receiver::RowSelection rows = selection();
    receiver::ExtendSelectionToTop(rows);
    select(rows);
}

void MessageListCommands::extendToBottom() {
    receiver::RowSelection rows = selection();
    receiver::ExtendSelectionToBottom(rows, static_cast<std::size_t>(list_.model()->rowCount()));
    select(rows);
}

void MessageListCommands::toggleSelectAll() {
    if (list_.model()->rowCount() == 0) {
        return;
    }
    common_ui::WaitCursor waitCursor;
    if (allSelected_) {
        unselectAll();
    } else {
        selectAll();
    }
}

ShownRows MessageListCommands::shown() const {
    return {engine_.messages(), static_cast<std::size_t>(list_.model()->rowCount())};
}

receiver::RowSelection MessageListCommands::selection() const {
    std::vector<receiver::RowSelection::Range> ranges;
    for (const QItemSelectionRange& range : list_.selectionModel()->selection()) {
        ranges.emplace_back(range.top(), range.bottom() + 1);
    }
    return receiver::RowSelection::FromRanges(std::move(ranges));
}

void MessageListCommands::select(const receiver::RowSelection& rows) {
    const QAbstractItemModel& model = *list_.model();
    const int lastColumn = model.columnCount() - 1;
    QItemSelection items;
    for (const auto& [first, last] : rows.ranges()) {
        items.select(model.index(static_cast<int>(first), 0),
                     model.index(static_cast<int>(last) - 1, lastColumn));
    }
    // Clearing first keeps Qt from comparing the old ranges with the new ones, which
    // costs the product of their counts.
    list_.selectionModel()->clearSelection();
    list_.selectionModel()->select(items, QItemSelectionModel::Select);
}

void MessageListCommands::selectAll() {
    receiver::RowSelection all;
    all.SelectAll(static_cast<std::size_t>(list_.model()->rowCount()));
    select(all);
    allSelected_ = true;
}

void MessageListCommands::unselectAll() {
    // The whole row state goes: selection and focus alike.
    list_.selectionModel()->clear();
    allSelected_ = false;
}

void MessageListCommands::copy() {
    const receiver::RowSelection rows = selection();
    if (rows.empty()) {
        return;
    }
    const std::string text = receiver::BuildClipboardText(shown(), rows);
    QApplication::clipboard()->setText(ListText(text));
}

void MessageListCommands::findMessages() {
    receiver::ReceiverSettings chosen = engine_.settings();
    FindMessagesDialog dialog(chosen, profile_, prompts_, &list_);
    if (prompts_.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    engine_.ApplyFindOptions(chosen);
    search_ = dialog.request();
    stopFollowing_();
    const std::size_t count = search();
    reportFindResult(count);
    if (count == 0) {
        lastFindIndex_ = 0;
    }
}

void MessageListCommands::repeatFind() {
    stopFollowing_();
    if (lastFindIndex_ != 0) {
        reportFindResult(search());
    }
}

std::size_t MessageListCommands::search() {
    common_ui::WaitCursor waitCursor;
    const receiver::FindOutcome outcome = receiver::FindMessages(shown(), selection(), search_);
    // The whole row state of every row goes first, focus included.
    list_.selectionModel()->clear();
    select(outcome.selected);
    if (outcome.lastMatch) {
        const QModelIndex last = list_.model()->index(static_cast<int>(*outcome.lastMatch), 0);
        list_.selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
        list_.scrollTo(last);
        lastFindIndex_ = static_cast<int>(*outcome.lastMatch);
    }
    return outcome.count;
}

void MessageListCommands::reportFindResult(std::size_t count) {
    if (const auto report = receiver::ReportFindResult(count, search_.upward)) {
        prompts_.ShowMessage(report->icon, report->text);
    }
}

}  // namespace receiver_ui
