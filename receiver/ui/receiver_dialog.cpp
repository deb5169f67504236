#include "receiver/ui/receiver_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QShortcut>
#include <QStyle>

#include "common_ui/wait_cursor.h"
#include "receiver/core/formatting.h"
#include "receiver/core/loss_notice.h"
#include "receiver/core/tray_tip.h"
#include "receiver/ui/about_dialog.h"
#include "receiver/ui/receiver_art.h"
#include "receiver/ui/receiver_options_dialog.h"
#include "receiver/ui/receiver_text.h"

namespace receiver_ui {
namespace {

using receiver::CommandAction;
using receiver::CommandSource;
namespace cmd = receiver::commands;

constexpr int kFollowOnText = 124;
constexpr int kFollowOffText = 125;
constexpr int kStartStopTip = 127;
constexpr int kClearTip = 128;
constexpr int kFollowTip = 129;
constexpr int kExitTip = 130;

// Milliseconds between two list updates while rows keep coming.
constexpr qint64 kFlushInterval = 100;

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
        "opens from the icon beside the buttons, with Alt+Space, or by right-clicking the "
        "tray icon.");
}

}  // namespace

CReceiverDialog::CReceiverDialog(common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                                 bool startHidden, QWidget* parent)
    : TemplateDialog(kReceiverDialogTemplate, receiver::ids::kWindowTitle, parent),
      profile_(profile),
      prompts_(prompts),
      statusText_(ControlAs<QLabel>(controls::kStatusText)),
      countText_(ControlAs<QLabel>(controls::kCountText)),
      list_(ControlAs<QTableView>(controls::kMessageList)),
      startStop_(ControlAs<QPushButton>(controls::kStartStop)),
      follow_(ControlAs<QPushButton>(controls::kFollow)),
      icon_(ControlAs<QToolButton>(controls::kProgramIcon)),
      windowMenu_(this),
      shown_(!startHidden) {
    flushTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, &CReceiverDialog::FlushRows);
    lossTimer_.setSingleShot(true);
    connect(&lossTimer_, &QTimer::timeout, this, &CReceiverDialog::ShowLoss);
}

CReceiverDialog::~CReceiverDialog() = default;

void CReceiverDialog::SetUp(receiver::ReceiverEngine& engine) {
    common_ui::WaitCursor waitCursor;
    engine_ = &engine;
    countText_->setText(QStringLiteral("0"));

    trayIcon_ = std::make_unique<TrayIcon>(
        ProgramIcon(),
        TrayIcon::Handlers{[this] { ToggleShown(); },
                           [this] { PopUpWindowMenu(QCursor::pos(), CommandSource::kMenu); }});
    trayIcon_->Add(QString::fromStdString(receiver::FormatTrayTip(true, "0")));
    trayIconAdded_ = true;

    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    icon_->setIcon(ProgramIcon());
    icon_->setIconSize(QSize(32, 32).boundedTo(icon_->size()));
    connect(icon_, &QToolButton::clicked, this, [this] {
        PopUpWindowMenu(icon_->mapToGlobal(QPoint(0, icon_->height())), CommandSource::kSystemMenu);
    });
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { PopUpWindowMenu(mapToGlobal(QPoint(0, 0)), CommandSource::kSystemMenu); });
    auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { OnCommand(cmd::kHelp, CommandSource::kAccelerator); });
    InstallAccelerators(this, [this](int id, CommandSource source) { OnCommand(id, source); });

    startStop_->setText(Text(receiver::ids::kStop));
    follow_->setText(Text(kFollowOffText));
    statusText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    statusText_->setWordWrap(true);
    const std::pair<QPushButton*, int> buttons[] = {
        {startStop_, cmd::kStartStopButton},
        {ControlAs<QPushButton>(controls::kClear), cmd::kClearButton},
        {follow_, cmd::kFollowButton},
        {ControlAs<QPushButton>(controls::kExit), cmd::kExitButton},
    };
    const int tips[] = {kStartStopTip, kClearTip, kFollowTip, kExitTip};
    for (int i = 0; i < 4; ++i) {
        const int id = buttons[i].second;
        buttons[i].first->setToolTip(Text(tips[i]));
        connect(buttons[i].first, &QPushButton::clicked, this,
                [this, id] { OnCommand(id, CommandSource::kControl); });
    }
    UpdateTrayIcon();

    model_ = std::make_unique<MessageListModel>(engine.messages(), this);
    list_->setModel(model_.get());
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setCornerButtonEnabled(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setIconSize(QSize(kListImageSize, kListImageSize));
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this] { ShowContextMenu(); });
    QHeaderView* rows = list_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(std::max(list_->fontMetrics().height() + 4, kListImageSize + 2));
    QHeaderView* header = list_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A header click selects or unselects every row, not a column.
    disconnect(header, &QHeaderView::sectionPressed, list_, nullptr);
    disconnect(header, &QHeaderView::sectionEntered, list_, nullptr);
    listCommands_ = std::make_unique<MessageListCommands>(
        *list_, engine, profile_, prompts_,
        MessageListCommands::Hooks{[this] {
                                       if (following_) {
                                           ToggleFollow();
                                       }
                                   },
                                   [this](QDialog& dialog) { runDialog_(dialog); }});
    connect(header, &QHeaderView::sectionClicked, this,
            [this] { listCommands_->ToggleSelectAll(); });
    SizeColumns();

    following_ = true;
    // The engine opens today's logs; listening starts once the event loop runs.
    list_->setFocus();
    ShowStatus();
}

void CReceiverDialog::SizeColumns() {
    const QFontMetrics font = list_->fontMetrics();
    metrics_.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    metrics_.smallIconWidth = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list_);
    const int headerHeight = list_->horizontalHeader()->sizeHint().height();
    const int frame = 2 * list_->frameWidth();
    metrics_.rowsPerPage = std::max(0, (list_->height() - frame - headerHeight) /
                                           list_->verticalHeader()->defaultSectionSize());
    metrics_.clientWidth = list_->width() - frame;
    metrics_.stampTextWidth =
        font.horizontalAdvance(QString::fromLatin1(receiver::kStampMeasureText));
    widths_ = receiver::SizeColumns(metrics_);
    list_->setColumnWidth(0, widths_.stampColumn);
    narrowed_ = model_->rowCount() >= metrics_.rowsPerPage;
    list_->setColumnWidth(
        1, narrowed_ ? widths_.messageColumn - metrics_.scrollBarWidth : widths_.messageColumn);
}

void CReceiverDialog::OnCommand(int id, CommandSource source) {
    if (engine_ == nullptr) {
        return;
    }
    switch (receiver::RouteCommand(id, source, model_->rowCount())) {
        case CommandAction::kToggleRunning:
            engine_->ToggleRunning();
            break;
        case CommandAction::kClearList:
            ClearList();
            break;
        case CommandAction::kToggleFollow:
            ToggleFollow();
            break;
        case CommandAction::kExit:
            engine_->ExitProgram();
            break;
        case CommandAction::kOptions:
            ShowOptions();
            break;
        case CommandAction::kFlushLogs:
            engine_->logFiles().FlushLogFiles();
            break;
        case CommandAction::kHelp:
            ShowHelp();
            break;
        case CommandAction::kRestore:
            Restore();
            break;
        case CommandAction::kMinimize:
            showMinimized();
            break;
        case CommandAction::kCloseRequest:
            close();
            break;
        case CommandAction::kContextMenu:
            ShowContextMenu();
            break;
        case CommandAction::kAbout: {
            CReceiverAboutDialog about(this);
            runDialog_(about);
            break;
        }
        case CommandAction::kListCommand:
            // Commands act on every row received so far.
            FlushRows();
            listCommands_->Run(id);
            break;
        case CommandAction::kNothing:
            break;
    }
}

void CReceiverDialog::ToggleFollow() {
    if (!following_) {
        following_ = true;
        ScrollToLastRow();
        follow_->setText(Text(kFollowOffText));
    } else {
        following_ = false;
        follow_->setText(Text(kFollowOnText));
    }
}

void CReceiverDialog::ScrollToLastRow() {
    if (model_->rowCount() == 0) {
        return;
    }
    // The view sizes its scroll range lazily; it must know the newest rows first.
    list_->doItemsLayout();
    list_->scrollTo(model_->index(model_->rowCount() - 1, 0));
}

void CReceiverDialog::ClearList() {
    common_ui::WaitCursor waitCursor;
    // The engine empties its store and says so through RowsCleared.
    engine_->ClearList();
}

void CReceiverDialog::ShowOptions() {
    receiver::ReceiverSettings chosen = engine_->settings();
    CReceiverOptionsDialog dialog(chosen, profile_, prompts_, this);
    runDialog_(dialog);
    engine_->ApplySettings(chosen);
}

void CReceiverDialog::ShowHelp() {
    prompts_.ShowMessage(common::MessageIcon::kInformation, HelpText().toStdString());
}

void CReceiverDialog::Restore() {
    shown_ = true;
    showNormal();
    raise();
    activateWindow();
}

void CReceiverDialog::ToggleShown() {
    if (shown_) {
        shown_ = false;
        hide();
    } else {
        Restore();
    }
}

void CReceiverDialog::BringForward() {
    Restore();
}

void CReceiverDialog::PopUpWindowMenu(QPoint at, CommandSource source) {
    if (source == CommandSource::kMenu) {
        // The tray's popup is centred on the pointer.
        at.rx() -= windowMenu_.menu().sizeHint().width() / 2;
    }
    windowMenu_.PopUp(at, source, [this](int id, CommandSource from) { OnCommand(id, from); });
}

std::unique_ptr<QMenu> CReceiverDialog::ContextMenu() const {
    return BuildContextMenu(model_->rowCount(), metrics_.rowsPerPage, lastFindIndex());
}

void CReceiverDialog::ShowContextMenu() {
    const std::unique_ptr<QMenu> menu = ContextMenu();
    if (const QAction* chosen = menu->exec(QCursor::pos()); chosen != nullptr) {
        OnCommand(CommandOf(chosen), CommandSource::kMenu);
    }
}

void CReceiverDialog::UpdateTrayIcon() {
    if (!trayIconAdded_) {
        return;
    }
    // The button's label is the running state the tip reports.
    const bool running = startStop_->text() == Text(receiver::ids::kStop);
    trayIcon_->Modify(
        QString::fromStdString(receiver::FormatTrayTip(running, countText_->text().toStdString())));
}

void CReceiverDialog::RowsAppended(std::size_t) {
    if (flushTimer_.isActive()) {
        return;
    }
    // Once the event loop is idle, but not more often than the eye can follow: a flood
    // then costs a few list updates a second, not one per datagram.
    const qint64 since = sinceFlush_.isValid() ? sinceFlush_.elapsed() : kFlushInterval;
    flushTimer_.start(static_cast<int>(std::max<qint64>(0, kFlushInterval - since)));
}

void CReceiverDialog::FlushRows() {
    flushTimer_.stop();
    sinceFlush_.start();
    if (model_ == nullptr || !model_->Flush()) {
        return;
    }
    const int rows = model_->rowCount();
    countText_->setText(QString::fromStdString(receiver::FormatCount(rows)));
    if (!narrowed_ && rows > metrics_.rowsPerPage) {
        narrowed_ = true;
        list_->setColumnWidth(1, receiver::MessageColumnWidth(widths_, metrics_, rows));
    }
    if (following_) {
        ScrollToLastRow();
    }
    UpdateTrayIcon();
}

void CReceiverDialog::RowsCleared() {
    flushTimer_.stop();
    model_->Reset();
    narrowed_ = false;
    list_->setColumnWidth(1, widths_.messageColumn);
    listCommands_->Reset();
    countText_->setText(QStringLiteral("0"));
    UpdateTrayIcon();
}

void CReceiverDialog::StatusChanged(const std::string& statusText, std::string_view) {
    status_ = statusText;
    ShowStatus();
}

void CReceiverDialog::ShowStatus() {
    QString text = QString::fromStdString(status_);
    if (!lossLine_.isEmpty()) {
        text += lossLine_ + QLatin1Char('\n');
    }
    statusText_->setText(text);
}

void CReceiverDialog::RunningStateChanged(receiver::RunningState state) {
    const QString caption = Text(state == receiver::RunningState::kRunning ? receiver::ids::kStop
                                                                           : receiver::ids::kStart);
    startStop_->setText(caption);
    windowMenu_.SetStartStopText(caption);
    UpdateTrayIcon();
}

void CReceiverDialog::LostDatagramsChanged(std::uint64_t total) {
    lostDatagrams_ = total;
    // At most one change a second; the last count is shown when the second is over.
    if (sinceLossShown_.isValid() && sinceLossShown_.elapsed() < 1000) {
        if (!lossTimer_.isActive()) {
            lossTimer_.start(static_cast<int>(1000 - sinceLossShown_.elapsed()));
        }
        return;
    }
    ShowLoss();
}

void CReceiverDialog::ShowLoss() {
    if (lostDatagrams_ == shownLoss_) {
        return;
    }
    shownLoss_ = lostDatagrams_;
    sinceLossShown_.start();
    lossLine_ = QString::fromStdString(receiver::LossSoFarText(lostDatagrams_));
    ShowStatus();
}

void CReceiverDialog::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        ++waitCursors_;
    } else if (waitCursors_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitCursors_;
    }
}

void CReceiverDialog::RemoveTrayIcon() {
    if (trayIconAdded_) {
        trayIcon_->Delete();
        trayIconAdded_ = false;
    }
}

void CReceiverDialog::Quit(int exitCode) {
    // Once control is back in the event loop, whichever loop that is.
    QMetaObject::invokeMethod(
        qApp, [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

void CReceiverDialog::closeEvent(QCloseEvent* event) {
    // Closing only hides: the receiver keeps running with its tray icon.
    event->ignore();
    shown_ = false;
    hide();
}

void CReceiverDialog::reject() {
    OnCommand(2, CommandSource::kControl);
}

void CReceiverDialog::accept() {
    OnCommand(1, CommandSource::kControl);
}

}  // namespace receiver_ui
