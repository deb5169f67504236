#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "common/profile_store.h"
#include "common_ui/desktop_prompts.h"
#include "receiver/core/column_sizing.h"
#include "receiver/core/receiver_engine.h"
#include "receiver/core/receiver_view.h"
#include "receiver/core/window_commands.h"
#include "receiver/ui/message_list_commands.h"
#include "receiver/ui/message_list_model.h"
#include "receiver/ui/receiver_options_dialog.h"
#include "receiver/ui/template_dialog.h"
#include "receiver/ui/tray_icon.h"
#include "receiver/ui/window_menus.h"

namespace receiver_ui {

// The receiver's main window: the live list of messages, the status text, the count,
// the four buttons, the tray icon and the menus. It presents the engine and forwards
// every command to it.
class CReceiverDialog : public TemplateDialog, public receiver::ReceiverView {
  public:
    CReceiverDialog(common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                    bool startHidden, QWidget* parent = nullptr);
    ~CReceiverDialog() override;

    // The window's set-up over the engine it shows; the engine's own set-up follows.
    void SetUp(receiver::ReceiverEngine& engine);

    // How the Options dialog is run; tests work it directly.
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    // The one entry for every command, whatever it came from.
    void OnCommand(int id, receiver::CommandSource source);
    // A second copy of the program asked for this one.
    void BringForward();

    void RowsAppended(std::size_t newRowCount) override;
    void RowsCleared() override;
    void StatusChanged(const std::string& statusText, std::string_view line) override;
    void RunningStateChanged(receiver::RunningState state) override;
    void LostDatagramsChanged(std::uint64_t total) override;
    void SetWaitCursor(bool on) override;
    void RemoveTrayIcon() override;
    void Quit(int exitCode) override;

    // Announces the rows gathered since the last burst; runs by itself once the event
    // loop is idle.
    void FlushRows();

    MessageListModel& model() { return *model_; }
    QTableView& list() { return *list_; }
    WindowMenu& windowMenu() { return windowMenu_; }
    TrayIcon& trayIcon() { return *trayIcon_; }
    int rowsPerPage() const { return metrics_.rowsPerPage; }
    const receiver::ColumnWidths& columnWidths() const { return widths_; }
    const receiver::ListMetrics& listMetrics() const { return metrics_; }
    int lastFindIndex() const { return listCommands_ ? listCommands_->lastFindIndex() : 0; }
    // The context menu as it would pop up now.
    std::unique_ptr<QMenu> ContextMenu() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void accept() override;

  private:
    void SizeColumns();
    void ToggleFollow();
    void ScrollToLastRow();
    void ClearList();
    void ShowOptions();
    void ShowHelp();
    void Restore();
    void ToggleShown();
    void PopUpWindowMenu(QPoint at, receiver::CommandSource source);
    void ShowContextMenu();
    void UpdateTrayIcon();
    void ShowStatus();
    void ShowLoss();

    common::ProfileStore& profile_;
    common_ui::DesktopPrompts& prompts_;
    receiver::ReceiverEngine* engine_ = nullptr;
    DialogRunner runDialog_ = RunModal;

    QLabel* statusText_;
    QLabel* countText_;
    QTableView* list_;
    QPushButton* startStop_;
    QPushButton* follow_;
    QToolButton* icon_;
    std::unique_ptr<MessageListModel> model_;
    WindowMenu windowMenu_;
    std::unique_ptr<TrayIcon> trayIcon_;
    // Added and not yet deleted; Qt puts it into a tray that appears later by itself.
    bool trayIconAdded_ = false;

    bool shown_;
    bool following_ = true;
    bool narrowed_ = false;
    std::unique_ptr<MessageListCommands> listCommands_;
    receiver::ListMetrics metrics_;
    receiver::ColumnWidths widths_;
    QTimer flushTimer_;
    QElapsedTimer sinceFlush_;
    int waitCursors_ = 0;

    std::string status_;
    std::uint64_t lostDatagrams_ = 0;
    std::uint64_t shownLoss_ = 0;
    QString lossLine_;
    QElapsedTimer sinceLossShown_;
    QTimer lossTimer_;
};

}  // namespace receiver_ui
