#pragma once

#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>

#include "common/profile_store.h"
#include "common_ui/desktop_prompts.h"
#include "receiver/core/column_sizing.h"
#include "receiver/core/receiver_engine.h"
#include "receiver/ui/message_list_commands.h"
#include "receiver/ui/message_list_model.h"

namespace receiver_ui {

// The live list of messages: its model over the engine's rows, the rows announced in
// bursts, the column widths, following the newest row, and the list commands.
class MessageListPane {
  public:
    MessageListPane(QTableView& list, receiver::ReceiverEngine& engine,
                    common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                    std::function<void()> changed);

    // The engine stored rows; they are announced once the event loop is idle.
    void rowsAppended();
    // Announces the rows gathered since the last burst.
    void flushRows();
    void rowsCleared();
    void toggleFollow();

    bool following() const { return following_; }
    int rowCount() const { return model_.rowCount(); }
    int rowsPerPage() const { return metrics_.rowsPerPage; }
    int lastFindIndex() const { return commands_.lastFindIndex(); }
    const receiver::ColumnWidths& columnWidths() const { return widths_; }
    const receiver::ListMetrics& listMetrics() const { return metrics_; }
    MessageListModel& model() { return model_; }
    QTableView& list() { return list_; }
    MessageListCommands& commands() { return commands_; }

  private:
    void sizeColumns();
    void scrollToLastRow();

    QTableView& list_;
    MessageListModel model_;
    MessageListCommands commands_;
    // Count, follow or find changed: the window updates what shows them.
    std::function<void()> changed_;
    bool following_ = true;
    bool narrowed_ = false;
    receiver::ListMetrics metrics_;
    receiver::ColumnWidths widths_;
    QTimer flushTimer_;
    QElapsedTimer sinceFlush_;
};

}  // namespace receiver_ui
