#pragma once

#include <QTableView>
#include <functional>

#include "common/profile_store.h"
#include "common_ui/desktop_prompts.h"
#include "receiver/core/find_messages.h"
#include "receiver/core/receiver_engine.h"
#include "receiver/core/row_selection.h"

namespace receiver_ui {

struct ShownRows;

// The commands that select, scroll, copy and find rows of the message list. The list's
// selection is read and written as ranges, so a million selected rows cost one range.
class MessageListCommands {
  public:
    // `stopFollowing` turns following off if it is on, as the Follow button would.
    MessageListCommands(QTableView& list, receiver::ReceiverEngine& engine,
                        common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                        std::function<void()> stopFollowing);

    // The list commands; the list is not empty.
    void copy();
    void selectAll();
    void unselectAll();
    void firstMessage();
    void lastMessage();
    void extendToTop();
    void extendToBottom();
    void findMessages();
    void repeatFind();
    // A column header was clicked.
    void toggleSelectAll();
    // The list was emptied.
    void reset() { lastFindIndex_ = 0; }

    int lastFindIndex() const { return lastFindIndex_; }

  private:
    ShownRows shown() const;
    receiver::RowSelection selection() const;
    void select(const receiver::RowSelection& rows);
    std::size_t search();
    void reportFindResult(std::size_t count);

    QTableView& list_;
    receiver::ReceiverEngine& engine_;
    common::ProfileStore& profile_;
    common_ui::DesktopPrompts& prompts_;
    std::function<void()> stopFollowing_;
    bool allSelected_ = false;
    int lastFindIndex_ = 0;
    // The search of the last Find dialog OK.
    receiver::FindRequest search_;
};

}  // namespace receiver_ui
