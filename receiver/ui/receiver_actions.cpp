#include "receiver/ui/receiver_actions.h"

#include <QWidget>
#include <utility>

#include "common_ui/file_text.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/core/window_commands.h"

namespace receiver_ui {

ReceiverActions::ReceiverActions(QWidget* window) : QObject(window), window_(window) {
    using Keys = QList<QKeySequence>;
    startStop = make(common_ui::FromFileText(receiver::texts::kStop));
    clear = make(common_ui::FromFileText(receiver::texts::kClear));
    follow = make(common_ui::FromFileText(receiver::texts::kFollowOff));
    exit = make(common_ui::FromFileText(receiver::texts::kExit));
    startStop->setToolTip(common_ui::FromFileText(receiver::texts::kStartStopTip));
    clear->setToolTip(common_ui::FromFileText(receiver::texts::kClearTip));
    follow->setToolTip(common_ui::FromFileText(receiver::texts::kFollowTip));
    exit->setToolTip(common_ui::FromFileText(receiver::texts::kExitTip));

    // The platform's own items; Size and Maximize do not apply to a fixed window.
    restore = make(QStringLiteral("&Restore"));
    minimize = make(QStringLiteral("Mi&nimize"));
    close = make(QStringLiteral("&Close\tAlt+F4"));
    trayMinimize = make(minimize->text());
    trayClose = make(close->text());
    options = make(common_ui::FromFileText(receiver::texts::kOptionsItem));
    alerts = make(common_ui::FromFileText(receiver::texts::kAlertsItem));
    flushLogs = make(common_ui::FromFileText(receiver::texts::kFlushLogsItem));
    help = make(common_ui::FromFileText(receiver::texts::kHelpItem), Keys{Qt::Key_F1});
    about = make(common_ui::FromFileText(receiver::texts::kAboutItem));

    copy = make(common_ui::FromFileText(receiver::texts::kCopyItem),
                Keys{Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert});
    selectAll =
        make(common_ui::FromFileText(receiver::texts::kSelectAllItem), Keys{Qt::CTRL | Qt::Key_A});
    unselectAll = make(common_ui::FromFileText(receiver::texts::kUnselectAllItem),
                       Keys{Qt::CTRL | Qt::Key_U});
    firstMessage = make(common_ui::FromFileText(receiver::texts::kFirstMessageItem),
                        Keys{Qt::CTRL | Qt::Key_Home});
    lastMessage = make(common_ui::FromFileText(receiver::texts::kLastMessageItem),
                       Keys{Qt::CTRL | Qt::Key_End});
    extendToTop = make(QString(), Keys{Qt::SHIFT | Qt::Key_Home});
    extendToBottom = make(QString(), Keys{Qt::SHIFT | Qt::Key_End});
    findMessages = make(common_ui::FromFileText(receiver::texts::kFindMessagesItem),
                        Keys{Qt::CTRL | Qt::Key_F});
    repeatFind = make(common_ui::FromFileText(receiver::texts::kRepeatFindItem),
                      Keys{Qt::CTRL | Qt::Key_R, Qt::Key_F3});
    contextMenu = make(QString(), Keys{Qt::Key_Menu, Qt::SHIFT | Qt::Key_F10});
    // Most window managers keep Alt+Space for their own menu; F10 is left to the program.
    windowMenu = make(QString(), Keys{Qt::ALT | Qt::Key_Space, Qt::Key_F10});
}

QAction* ReceiverActions::make(const QString& text, QList<QKeySequence> keys) {
    auto* action = new QAction(text, this);
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // A shortcut acts only on an action its window holds.
        window_->addAction(action);
    }
    return action;
}

QList<QAction*> ReceiverActions::listCommands() const {
    return {copy,        selectAll,      unselectAll,  firstMessage, lastMessage,
            extendToTop, extendToBottom, findMessages, repeatFind};
}

QList<QAction*> ReceiverActions::contextMenuItems() const {
    namespace cmd = receiver::commands;
    const std::pair<int, QAction*> byNumber[] = {
        {cmd::kFirstMessage, firstMessage},
        {cmd::kLastMessage, lastMessage},
        {cmd::kFindMessages, findMessages},
        {cmd::kRepeatFind, repeatFind},
        {cmd::kCopy, copy},
        {cmd::kSelectAll, selectAll},
        {cmd::kUnselectAll, unselectAll},
    };
    QList<QAction*> items;
    // The core's table gives the order; its separator has no action.
    for (const receiver::ContextMenuItem& item : receiver::ContextMenuItems(0, 0, 0)) {
        QAction* action = nullptr;
        for (const auto& [number, candidate] : byNumber) {
            if (number == item.id) {
                action = candidate;
            }
        }
        items.append(action);
    }
    return items;
}

void ReceiverActions::updateActions(const ActionState& state) {
    const bool running = state.running == receiver::RunningState::kRunning;
    startStop->setText(
        common_ui::FromFileText(running ? receiver::texts::kStop : receiver::texts::kStart));
    // The button names what a click does.
    follow->setText(common_ui::FromFileText(state.following ? receiver::texts::kFollowOff
                                                            : receiver::texts::kFollowOn));
    // List commands on an empty list do nothing, from menu or keyboard.
    for (QAction* action : listCommands()) {
        action->setEnabled(state.rowCount > 0);
    }
    if (state.contextMenuShown) {
        const QList<QAction*> items = contextMenuItems();
        const auto greying =
            receiver::ContextMenuItems(state.rowCount, state.rowsPerPage, state.lastFindIndex);
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items[i] != nullptr) {
                items[i]->setEnabled(greying[static_cast<std::size_t>(i)].enabled);
            }
        }
    }
}

}  // namespace receiver_ui
