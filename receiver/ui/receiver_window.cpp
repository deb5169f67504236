#include "receiver/ui/receiver_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

#include "common_ui/file_text.h"
#include "common_ui/wait_cursor.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/alerts_dialog.h"
#include "receiver/ui/receiver_about_dialog.h"
#include "receiver/ui/receiver_art.h"
#include "receiver/ui/receiver_options_dialog.h"

namespace receiver_ui {
namespace {

QString HelpText() {
    return QStringLiteral(
        "Velmora receives the router's log messages on UDP port 162, lists the classes "
        "chosen under Options here and writes those chosen for logging to daily files in "
        "the \"logs\" directory.\n\n"
        "Start/Stop starts or stops listening and logging; Clear empties the list; Follow "
        "keeps the newest message in view; Exit ends the program. Closing the window "
        "leaves Velmora running in the tray: double-click its icon to bring it back.\n\n"
        "Right-click the list, or press Shift+F10, for the list commands: copy, select, "
        "find (Ctrl+F) and find again (F3). The window menu "
        "opens from the icon beside the buttons, with F10 (or Alt+Space where the desktop "
        "leaves that key to programs), or by right-clicking the tray icon.");
}

// The button shows its action: text, tip and greying follow it, a click triggers it.
void Bind(QPushButton* button, QAction* action) {
    auto sync = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setEnabled(action->isEnabled());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
}

}  // namespace

ReceiverWindow::ReceiverWindow(common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                               bool startHidden, QWidget* parent)
    : TemplateDialog(kReceiverDialogTemplate,
                     common_ui::FromFileText(receiver::texts::kWindowTitle), QString(), parent),
      profile_(profile),
      prompts_(prompts),
      actions_(this),
      icon_(controlAs<QToolButton>(controls::kProgramIcon)),
      windowMenu_(this),
      trayMenu_(this),
      contextMenu_(this),
      statusPane_(*controlAs<QLabel>(controls::kStatusText),
                  *controlAs<QLabel>(controls::kCountText)),
      shown_(!startHidden) {}

ReceiverWindow::~ReceiverWindow() = default;

void ReceiverWindow::setUp(receiver::ReceiverEngine& engine) {
    common_ui::WaitCursor waitCursor;
    engine_ = &engine;

    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    icon_->setIcon(ProgramIcon());
    icon_->setIconSize(QSize(32, 32).boundedTo(icon_->size()));
    connect(icon_, &QToolButton::clicked, this,
            [this] { popUpWindowMenu(icon_->mapToGlobal(QPoint(0, icon_->height()))); });

    Bind(controlAs<QPushButton>(controls::kStartStop), actions_.startStop);
    Bind(controlAs<QPushButton>(controls::kClear), actions_.clear);
    Bind(controlAs<QPushButton>(controls::kFollow), actions_.follow);
    Bind(controlAs<QPushButton>(controls::kExit), actions_.exit);
    buildMenus();

    tray_ = std::make_unique<TrayController>(ProgramIcon(), trayMenu_, [this] { toggleShown(); });
    tray_->add(running_, 0);

    listPane_ =
        std::make_unique<MessageListPane>(*controlAs<QTableView>(controls::kMessageList), engine,
                                          profile_, prompts_, [this] { showState(); });
    connect(&listPane_->list(), &QWidget::customContextMenuRequested, this,
            [this] { showContextMenu(); });
    connectActions();
    showState();

    // The engine opens today's logs; listening starts once the event loop runs.
    listPane_->list().setFocus();
}

void ReceiverWindow::buildMenus() {
    const auto programItems = [this](QMenu& menu) {
        menu.addSeparator();
        menu.addActions({actions_.options, actions_.alerts, actions_.flushLogs, actions_.startStop,
                         actions_.exit});
        menu.addSeparator();
        menu.addActions({actions_.help, actions_.about});
    };
    windowMenu_.addActions({actions_.restore, actions_.minimize, actions_.close});
    programItems(windowMenu_);
    trayMenu_.addActions({actions_.restore, actions_.trayMinimize, actions_.trayClose});
    programItems(trayMenu_);
    for (QAction* item : actions_.contextMenuItems()) {
        if (item == nullptr) {
            contextMenu_.addSeparator();
        } else {
            contextMenu_.addAction(item);
        }
    }
    connect(&contextMenu_, &QMenu::aboutToShow, this, [this] {
        contextMenuShown_ = true;
        showState();
    });
    connect(&contextMenu_, &QMenu::aboutToHide, this, [this] {
        contextMenuShown_ = false;
        showState();
    });
}

void ReceiverWindow::connectActions() {
    ReceiverActions& a = actions_;
    connect(a.startStop, &QAction::triggered, this, [this] { engine_->ToggleRunning(); });
    connect(a.clear, &QAction::triggered, this, [this] { clearList(); });
    connect(a.follow, &QAction::triggered, this, [this] { listPane_->toggleFollow(); });
    connect(a.exit, &QAction::triggered, this, [this] { engine_->ExitProgram(); });
    connect(a.restore, &QAction::triggered, this, [this] { restore(); });
    connect(a.minimize, &QAction::triggered, this, [this] { showMinimized(); });
    connect(a.close, &QAction::triggered, this, [this] { close(); });
    connect(a.options, &QAction::triggered, this, [this] { showOptions(); });
    connect(a.alerts, &QAction::triggered, this, [this] { showAlerts(); });
    connect(a.flushLogs, &QAction::triggered, this,
            [this] { engine_->logFiles().FlushLogFiles(); });
    connect(a.help, &QAction::triggered, this, [this] { showHelp(); });
    connect(a.about, &QAction::triggered, this, [this] { showAbout(); });
    connect(a.contextMenu, &QAction::triggered, this, [this] { showContextMenu(); });
    connect(a.windowMenu, &QAction::triggered, this,
            [this] { popUpWindowMenu(mapToGlobal(QPoint(0, 0))); });
    listCommand(a.copy, &MessageListCommands::copy);
    listCommand(a.selectAll, &MessageListCommands::selectAll);
    listCommand(a.unselectAll, &MessageListCommands::unselectAll);
    listCommand(a.firstMessage, &MessageListCommands::firstMessage);
    listCommand(a.lastMessage, &MessageListCommands::lastMessage);
    listCommand(a.extendToTop, &MessageListCommands::extendToTop);
    listCommand(a.extendToBottom, &MessageListCommands::extendToBottom);
    listCommand(a.findMessages, &MessageListCommands::findMessages);
    listCommand(a.repeatFind, &MessageListCommands::repeatFind);
}

void ReceiverWindow::listCommand(QAction* action, void (MessageListCommands::*command)()) {
    connect(action, &QAction::triggered, this, [this, command] {
        common_ui::WaitCursor waitCursor;
        // Commands act on every row received so far.
        flushRows();
        (listPane_->commands().*command)();
    });
}

void ReceiverWindow::showState() {
    if (listPane_ == nullptr) {
        return;
    }
    // Commands act on every row received, shown yet or not (they show the rest first), so
    // they are there from the first datagram on.
    const auto received = static_cast<int>(engine_->messages().size());
    actions_.updateActions({running_, listPane_->following(), received, listPane_->rowsPerPage(),
                            listPane_->lastFindIndex(), contextMenuShown_});
    statusPane_.setCount(listPane_->rowCount());
    tray_->update(running_, listPane_->rowCount());
}

void ReceiverWindow::clearList() {
    common_ui::WaitCursor waitCursor;
    // The engine empties its store and says so through RowsCleared.
    engine_->ClearList();
}

void ReceiverWindow::showOptions() {
    receiver::ReceiverSettings chosen = engine_->settings();
    ReceiverOptionsDialog dialog(chosen, profile_, prompts_, this);
    prompts_.RunDialog(dialog);
    engine_->ApplySettings(chosen);
}

void ReceiverWindow::showAlerts() {
    AlertsDialog dialog(
        receiver::LoadAlertRulesFromFile(profile_.path()).texts, profile_.path(), prompts_,
        [this](const QString& title, const QString& body) {
            if (sendTestAlert_) {
                sendTestAlert_(title, body);
            }
        },
        this);
    if (prompts_.RunDialog(dialog) == QDialog::Accepted && alertRulesSaved_) {
        alertRulesSaved_();
    }
}

void ReceiverWindow::showHelp() {
    prompts_.ShowMessage(common::MessageIcon::kInformation, HelpText().toStdString());
}

void ReceiverWindow::showAbout() {
    ReceiverAboutDialog about(this);
    prompts_.RunDialog(about);
}

void ReceiverWindow::restore() {
    shown_ = true;
    showNormal();
    raise();
    activateWindow();
}

void ReceiverWindow::toggleShown() {
    if (shown_) {
        shown_ = false;
        hide();
    } else {
        restore();
    }
}

void ReceiverWindow::bringForward() {
    restore();
}

void ReceiverWindow::showRecord(std::optional<std::size_t> row, const std::string& stamp,
                                const std::string& text) {
    restore();
    if (!row || engine_ == nullptr) {
        return;
    }
    // Rows announced in bursts may not be in the model yet.
    flushRows();
    // A Clear or a new day may have put another record at that row since.
    if (*row >= engine_->messages().size() || static_cast<int>(*row) >= model().rowCount()) {
        return;
    }
    const receiver::MessageRow shown = engine_->messages().Row(*row);
    if (shown.stamp != stamp || shown.text != text) {
        return;
    }
    const QModelIndex index = model().index(static_cast<int>(*row), 0);
    list().setCurrentIndex(index);
    list().selectRow(static_cast<int>(*row));
    list().scrollTo(index);
}

void ReceiverWindow::popUpWindowMenu(QPoint at) {
    windowMenu_.exec(at);
}

void ReceiverWindow::showContextMenu() {
    contextMenu_.exec(QCursor::pos());
}

void ReceiverWindow::RowsAppended(std::size_t newRowCount) {
    listPane_->rowsAppended();
    // The first row wakes the list commands at once; later ones change nothing they show
    // until the list shows them.
    if (newRowCount == 1) {
        showState();
    }
}

void ReceiverWindow::flushRows() {
    if (listPane_ != nullptr) {
        listPane_->flushRows();
    }
}

void ReceiverWindow::RowsCleared() {
    listPane_->rowsCleared();
}

void ReceiverWindow::StatusChanged(const std::string& statusText, std::string_view) {
    statusPane_.setStatus(statusText);
}

void ReceiverWindow::RunningStateChanged(receiver::RunningState state) {
    running_ = state;
    showState();
}

void ReceiverWindow::LostDatagramsChanged(std::uint64_t total) {
    statusPane_.lostDatagramsChanged(total);
}

void ReceiverWindow::SetWaitCursor(bool on) {
    if (displayLost_) {
        return;
    }
    if (on) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        ++waitCursors_;
    } else if (waitCursors_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitCursors_;
    }
}

void ReceiverWindow::RemoveTrayIcon() {
    if (tray_ != nullptr && !displayLost_) {
        tray_->remove();
    }
}

void ReceiverWindow::Quit(int exitCode) {
    // Once control is back in the event loop, whichever loop that is.
    QMetaObject::invokeMethod(
        qApp, [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

void ReceiverWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides: the receiver keeps running with its tray icon.
    event->ignore();
    shown_ = false;
    hide();
}

// Enter and Escape reach a dialog as OK and Cancel; they must not end the window.
void ReceiverWindow::reject() {}

void ReceiverWindow::accept() {}

}  // namespace receiver_ui
