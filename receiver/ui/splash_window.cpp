#include "receiver/ui/splash_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "common_ui/file_text.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/splash_art.h"

namespace receiver_ui {
namespace {}

SplashWindow::SplashWindow(int timeoutMs, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(SplashPicture()) {
    // The same title as the main window, so a second copy finds the splash instead.
    setWindowTitle(common_ui::FromFileText(receiver::texts::kWindowTitle));
    setFixedSize(picture_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    timer_.setSingleShot(true);
    timer_.setInterval(timeoutMs);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::dismiss);
    timer_.start();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

void SplashWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        dismiss();
    }
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    // A key held with Alt is a menu key, not a dismissal.
    if (!(event->modifiers() & Qt::AltModifier)) {
        dismiss();
    }
}

void SplashWindow::dismiss() {
    timer_.stop();
    done(0);
}

}  // namespace receiver_ui
