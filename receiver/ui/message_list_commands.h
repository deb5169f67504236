#pragma once

#include <QTableView>
#include <functional>

#include "common/profile_store.h"
#include "common_ui/desktop_prompts.h"
#include "receiver/core/find_messages.h"
#include "receiver/core/receiver_engine.h"
#include "receiver/core/row_selection.h"
#include "receiver/ui/receiver_options_dialog.h"

namespace receiver_ui {

struct ShownRows;

// The commands that select, scroll, copy and find rows of the message list. The list's
// selection is read and written as ranges, so a million selected rows cost one range.
class MessageListCommands {
  public:
    struct Hooks {
        // Turns following off if it is on, as the Follow button would.
        std::function<void()> stopFollowing;
        DialogRunner runDialog;
    };

    MessageListCommands(QTableView& list, receiver::ReceiverEngine& engine,
                        common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                        Hooks hooks);

    // Runs list command `id` (Copy to Unselect All) on a list that is not empty.
    void Run(int id);
    // A column header was clicked.
    void ToggleSelectAll();
    // The list was emptied.
    void Reset() { lastFindIndex_ = 0; }

    int lastFindIndex() const { return lastFindIndex_; }

  private:
    ShownRows Shown() const;
    receiver::RowSelection Selection() const;
    void Select(const receiver::RowSelection& selection);
    void SelectAll();
    void UnselectAll();
    void Copy();
    void FindMessages();
    void RepeatFind();
    std::size_t Search();
    void ReportFindResult(std::size_t count);

    QTableView& list_;
    receiver::ReceiverEngine& engine_;
    common::ProfileStore& profile_;
    common_ui::DesktopPrompts& prompts_;
    Hooks hooks_;
    bool allSelected_ = false;
    int lastFindIndex_ = 0;
    // The search of the last Find dialog OK.
    receiver::FindRequest search_;
};

}  // namespace receiver_ui
