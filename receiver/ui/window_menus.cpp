#include "receiver/ui/window_menus.h"

#include <QShortcut>

#include "receiver/ui/receiver_text.h"

namespace receiver_ui {
namespace {

namespace cmd = receiver::commands;

constexpr int kOptionsText = 136;
constexpr int kFlushText = 155;
constexpr int kExitText = 117;
constexpr int kHelpText = 148;
constexpr int kAboutText = 101;

int ContextMenuText(int command) {
    switch (command) {
        case cmd::kCopy:
            return 159;
        case cmd::kSelectAll:
            return 160;
        case cmd::kFirstMessage:
            return 161;
        case cmd::kLastMessage:
            return 162;
        case cmd::kFindMessages:
            return 163;
        case cmd::kRepeatFind:
            return 175;
        case cmd::kUnselectAll:
            return 177;
        default:
            return 0;
    }
}

QAction* AddItem(QMenu& menu, const QString& text, int command) {
    QAction* action = menu.addAction(text);
    action->setData(command);
    return action;
}

struct Accelerator {
    QKeySequence keys;
    int command;
};

// The main window's keyboard shortcuts.
const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> table{
        {QKeySequence(Qt::CTRL | Qt::Key_A), cmd::kSelectAll},
        {QKeySequence(Qt::CTRL | Qt::Key_C), cmd::kCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_F), cmd::kFindMessages},
        {QKeySequence(Qt::CTRL | Qt::Key_R), cmd::kRepeatFind},
        {QKeySequence(Qt::CTRL | Qt::Key_U), cmd::kUnselectAll},
        {QKeySequence(Qt::Key_Menu), cmd::kContextMenu},
        {QKeySequence(Qt::CTRL | Qt::Key_End), cmd::kLastMessage},
        {QKeySequence(Qt::SHIFT | Qt::Key_End), cmd::kExtendToBottom},
        {QKeySequence(Qt::SHIFT | Qt::Key_F10), cmd::kContextMenu},
        {QKeySequence(Qt::Key_F3), cmd::kRepeatFind},
        {QKeySequence(Qt::CTRL | Qt::Key_Home), cmd::kFirstMessage},
        {QKeySequence(Qt::SHIFT | Qt::Key_Home), cmd::kExtendToTop},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), cmd::kCopy},
    };
    return table;
}

}  // namespace

WindowMenu::WindowMenu(QWidget* owner) : menu_(std::make_unique<QMenu>(owner)) {
    // The platform's own items; Size and Maximize do not apply to a fixed window.
    AddItem(*menu_, QStringLiteral("&Restore"), cmd::kRestore);
    AddItem(*menu_, QStringLiteral("Mi&nimize"), cmd::kMinimize);
    AddItem(*menu_, QStringLiteral("&Close\tAlt+F4"), cmd::kClose);
    menu_->addSeparator();
    AddItem(*menu_, Text(kOptionsText), cmd::kOptions);
    AddItem(*menu_, Text(kFlushText), cmd::kFlushLogs);
    startStop_ = AddItem(*menu_, Text(receiver::ids::kStop), cmd::kStartStop);
    AddItem(*menu_, Text(kExitText), cmd::kExit);
    menu_->addSeparator();
    AddItem(*menu_, Text(kHelpText), cmd::kHelp);
    AddItem(*menu_, Text(kAboutText), cmd::kAbout);
}

void WindowMenu::SetStartStopText(const QString& text) {
    startStop_->setText(text);
}

void WindowMenu::PopUp(QPoint at, receiver::CommandSource source, const CommandHandler& handler) {
    if (const QAction* chosen = menu_->exec(at); chosen != nullptr) {
        handler(CommandOf(chosen), source);
    }
}

std::unique_ptr<QMenu> BuildContextMenu(int recordCount, int rowsPerPage, int lastFindIndex) {
    auto menu = std::make_unique<QMenu>();
    for (const receiver::ContextMenuItem& item :
         receiver::ContextMenuItems(recordCount, rowsPerPage, lastFindIndex)) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        AddItem(*menu, Text(ContextMenuText(item.id)), item.id)->setEnabled(item.enabled);
    }
    return menu;
}

int CommandOf(const QAction* action) {
    return action->data().toInt();
}

void InstallAccelerators(QWidget* window, const CommandHandler& handler) {
    for (const Accelerator& accelerator : Accelerators()) {
        auto* shortcut = new QShortcut(accelerator.keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window,
                         [handler, command = accelerator.command] {
                             handler(command, receiver::CommandSource::kAccelerator);
                         });
    }
}

}  // namespace receiver_ui
