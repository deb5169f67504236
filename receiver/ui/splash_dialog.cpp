#include "receiver/ui/splash_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "receiver/ui/receiver_text.h"
#include "receiver/ui/splash_art.h"

namespace receiver_ui {
namespace {}

CSplashDialog::CSplashDialog(int timeoutMs, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(SplashPicture()) {
    // The same title as the main window, so a second copy finds the splash instead.
    setWindowTitle(Text(receiver::ids::kWindowTitle));
    setFixedSize(picture_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    timer_.setSingleShot(true);
    timer_.setInterval(timeoutMs);
    connect(&timer_, &QTimer::timeout, this, &CSplashDialog::Dismiss);
    timer_.start();
}

void CSplashDialog::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

void CSplashDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        Dismiss();
    }
}

void CSplashDialog::keyPressEvent(QKeyEvent* event) {
    // A key held with Alt is a menu key, not a dismissal.
    if (!(event->modifiers() & Qt::AltModifier)) {
        Dismiss();
    }
}

void CSplashDialog::Dismiss() {
    timer_.stop();
    done(0);
}

}  // namespace receiver_ui
