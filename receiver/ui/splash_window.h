#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>

namespace receiver_ui {

// The picture shown while the program starts: no frame, on top of everything, centred;
// a click, a key or its timer closes it.
class SplashWindow : public QDialog {
  public:
    static constexpr int kTimeoutMs = 10000;

    // `timeoutMs` is for tests; the program always waits the full ten seconds.
    explicit SplashWindow(int timeoutMs = kTimeoutMs, QWidget* parent = nullptr);

    int timeoutMs() const { return timer_.interval(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void dismiss();

    QPixmap picture_;
    QTimer timer_;
};

}  // namespace receiver_ui
