#include "receiver/ui/splash_art.h"

#include <QLinearGradient>
#include <QPainter>

#include "common_ui/file_text.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/receiver_art.h"

namespace receiver_ui {
namespace {}

QPixmap SplashPicture() {
    QPixmap picture(kSplashWidth, kSplashHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kSplashHeight);
    sky.setColorAt(0, QColor(18, 40, 78));
    sky.setColorAt(1, QColor(6, 14, 30));
    painter.fillRect(picture.rect(), sky);

    // Records streaming in: rows of dashes, brighter towards the newest.
    for (int row = 0; row < 9; ++row) {
        const int y = 150 + row * 14;
        painter.setPen(QPen(QColor(80, 160, 220, 40 + row * 22), 3, Qt::SolidLine, Qt::RoundCap));
        for (int x = 24 + (row * 37) % 60; x < kSplashWidth - 24; x += 70 + (row * 13) % 40) {
            painter.drawLine(x, y, x + 30 + (row * 7) % 25, y);
        }
    }

    painter.drawPixmap(24, 24, ProgramIcon().pixmap(64, 64));
    painter.setPen(Qt::white);
    QFont name = painter.font();
    name.setPixelSize(40);
    name.setBold(true);
    painter.setFont(name);
    painter.drawText(QRect(104, 24, 280, 64), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Velmora"));

    QFont title = painter.font();
    title.setPixelSize(14);
    title.setBold(false);
    painter.setFont(title);
    painter.setPen(QColor(200, 220, 240));
    painter.drawText(QRect(24, 96, kSplashWidth - 48, 40), Qt::AlignLeft | Qt::TextWordWrap,
                     common_ui::FromFileText(receiver::texts::kWindowTitle));
    painter.end();
    return picture;
}

}  // namespace receiver_ui
