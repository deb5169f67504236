#include "receiver/ui/status_pane.h"

#include "common_ui/file_text.h"
#include "receiver/core/formatting.h"
#include "receiver/core/loss_notice.h"

namespace receiver_ui {

StatusPane::StatusPane(QLabel& statusText, QLabel& countText)
    : statusText_(statusText), countText_(countText) {
    statusText_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    statusText_.setWordWrap(true);
    countText_.setText(QStringLiteral("0"));
    lossTimer_.setSingleShot(true);
    QObject::connect(&lossTimer_, &QTimer::timeout, &statusText_, [this] { showLoss(); });
}

void StatusPane::setStatus(const std::string& statusText) {
    status_ = statusText;
    showStatus();
}

void StatusPane::setCount(int rows) {
    countText_.setText(common_ui::FromFileText(receiver::FormatCount(rows)));
}

void StatusPane::showStatus() {
    QString text = common_ui::FromFileText(status_);
    if (!lossLine_.isEmpty()) {
        text += lossLine_ + QLatin1Char('\n');
    }
    statusText_.setText(text);
}

void StatusPane::lostDatagramsChanged(std::uint64_t total) {
    lostDatagrams_ = total;
    if (sinceLossShown_.isValid() && sinceLossShown_.elapsed() < 1000) {
        if (!lossTimer_.isActive()) {
            lossTimer_.start(static_cast<int>(1000 - sinceLossShown_.elapsed()));
        }
        return;
    }
    showLoss();
}

void StatusPane::showLoss() {
    if (lostDatagrams_ == shownLoss_) {
        return;
    }
    shownLoss_ = lostDatagrams_;
    sinceLossShown_.start();
    lossLine_ = common_ui::FromFileText(receiver::LossSoFarText(lostDatagrams_));
    showStatus();
}

}  // namespace receiver_ui
