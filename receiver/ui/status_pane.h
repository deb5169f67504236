#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <cstdint>
#include <string>

namespace receiver_ui {

// The status text with the loss line below it, and the count of listed records.
class StatusPane {
  public:
    StatusPane(QLabel& statusText, QLabel& countText);

    void setStatus(const std::string& statusText);
    void setCount(int rows);
    // At most one change a second; the last count is shown when the second is over.
    void lostDatagramsChanged(std::uint64_t total);

  private:
    void showStatus();
    void showLoss();

    QLabel& statusText_;
    QLabel& countText_;
    std::string status_;
    std::uint64_t lostDatagrams_ = 0;
    std::uint64_t shownLoss_ = 0;
    QString lossLine_;
    QElapsedTimer sinceLossShown_;
    QTimer lossTimer_;
};

}  // namespace receiver_ui
