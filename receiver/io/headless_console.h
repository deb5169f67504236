#pragma once

#include <cstdint>

#include "common/user_messages.h"
#include "receiver/core/alert_monitor.h"
#include "receiver/core/loss_notice.h"
#include "receiver/core/message_store.h"
#include "receiver/core/receiver_view.h"

namespace receiver {

// The receiver's face without windows: the rows the list would show go to stdout, and
// status lines and message box texts to stderr.
class HeadlessConsole : public ReceiverView, public common::UserMessages, public AlertSink {
  public:
    // Alerts carry the journal's priority when stderr is the journal.
    HeadlessConsole();

    // The store whose rows it prints: the engine's, which is built after the console.
    void PrintRowsOf(const MessageStore& rows) { rows_ = &rows; }

    void RowsAppended(std::size_t newRowCount) override;
    void RowsCleared() override { printedRows_ = 0; }
    void StatusChanged(const std::string& statusText, std::string_view line) override;
    void RunningStateChanged(RunningState) override {}
    // Said when the total grows, at most once a second, so a flood does not turn into a
    // flood of lines.
    void LostDatagramsChanged(std::uint64_t total) override;
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override {}
    void Quit(int exitCode) override;

    void ShowMessage(common::MessageIcon icon, const std::string& text) override;
    // Nobody is there to answer: the question counts as closed unanswered.
    common::Answer Ask(const std::string& question, common::AnswerChoices choices) override;

    // One line on stderr per alert.
    void Alert(const AlertEvent& event) override;

    // Said at the end of the run whenever anything was lost.
    void ReportFinalLoss(std::uint64_t total);

  private:
    const MessageStore* rows_ = nullptr;
    std::size_t printedRows_ = 0;
    LossNotice lossNotice_;
    bool toJournal_ = false;
};

}  // namespace receiver
