#pragma once

#include <QMenu>
#include <QToolButton>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/profile_store.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/template_dialog.h"
#include "receiver/core/receiver_engine.h"
#include "receiver/core/receiver_view.h"
#include "receiver/ui/dialog_templates.h"
#include "receiver/ui/message_list_pane.h"
#include "receiver/ui/receiver_actions.h"
#include "receiver/ui/status_pane.h"
#include "receiver/ui/tray_controller.h"

namespace receiver_ui {

// The receiver's main window: the message list, the status and count, the four buttons,
// the window menu and the tray icon. It presents the engine and hands every command to it.
class ReceiverWindow : public common_ui::TemplateDialog, public receiver::ReceiverView {
  public:
    ReceiverWindow(common::ProfileStore& profile, common_ui::DesktopPrompts& prompts,
                   bool startHidden, QWidget* parent = nullptr);
    ~ReceiverWindow() override;

    // The window's set-up over the engine it shows; the engine's own set-up follows.
    void setUp(receiver::ReceiverEngine& engine);

    // A second copy of the program asked for this one.
    void bringForward();
    // An alert was clicked: the window comes forward with the record's row selected,
    // when the list still holds that record there.
    void showRecord(std::optional<std::size_t> row, const std::string& stamp,
                    const std::string& text);
    // What the Alerts dialog needs from the run: a sample notification, and the rules
    // read again once they were saved.
    void setAlertHooks(std::function<void(const QString&, const QString&)> sendTest,
                       std::function<void()> rulesSaved) {
        sendTestAlert_ = std::move(sendTest);
        alertRulesSaved_ = std::move(rulesSaved);
    }
    // The display went away under the program (the user logged out).
    void setDisplayLost() { displayLost_ = true; }
    // Announces the rows gathered since the last burst; runs by itself once the event
    // loop is idle.
    void flushRows();

    void RowsAppended(std::size_t newRowCount) override;
    void RowsCleared() override;
    void StatusChanged(const std::string& statusText, std::string_view line) override;
    void RunningStateChanged(receiver::RunningState state) override;
    void LostDatagramsChanged(std::uint64_t total) override;
    void SetWaitCursor(bool on) override;
    void RemoveTrayIcon() override;
    void Quit(int exitCode) override;

    ReceiverActions& receiverActions() { return actions_; }
    MessageListPane& listPane() { return *listPane_; }
    MessageListModel& model() { return listPane_->model(); }
    QTableView& list() { return listPane_->list(); }
    TrayController& tray() { return *tray_; }
    QMenu& windowMenu() { return windowMenu_; }
    QMenu& trayMenu() { return trayMenu_; }
    QMenu& contextMenu() { return contextMenu_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void accept() override;

  private:
    void connectActions();
    void buildMenus();
    // The running state, the count or the list changed: the actions, the count and the
    // tray tip follow.
    void showState();
    void listCommand(QAction* action, void (MessageListCommands::*command)());
    void clearList();
    void showOptions();
    void showAlerts();
    void showHelp();
    void showAbout();
    void restore();
    void toggleShown();
    void popUpWindowMenu(QPoint at);
    void showContextMenu();

    common::ProfileStore& profile_;
    common_ui::DesktopPrompts& prompts_;
    receiver::ReceiverEngine* engine_ = nullptr;
    std::function<void(const QString&, const QString&)> sendTestAlert_;
    std::function<void()> alertRulesSaved_;

    ReceiverActions actions_;
    QToolButton* icon_;
    QMenu windowMenu_;
    QMenu trayMenu_;
    QMenu contextMenu_;
    StatusPane statusPane_;
    std::unique_ptr<MessageListPane> listPane_;
    std::unique_ptr<TrayController> tray_;

    receiver::RunningState running_ = receiver::RunningState::kRunning;
    bool contextMenuShown_ = false;
    // Past this the window only records: nothing it does may reach the display.
    bool displayLost_ = false;
    bool shown_;
    int waitCursors_ = 0;
};

}  // namespace receiver_ui
