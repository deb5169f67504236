#include "analyzer/ui/analyzer_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace analyzer_ui {

QPixmap AnalyzerIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // The page of the log.
    painter.setPen(QPen(QColor(70, 70, 70), 1));
    painter.setBrush(QColor(250, 250, 245));
    painter.drawRect(QRectF(3.5, 2.5, 20, 26));
    painter.setPen(QPen(QColor(40, 90, 160), 1.6));
    for (int line = 0; line < 6; ++line) {
        const double y = 7 + line * 3.6;
        painter.drawLine(QPointF(7, y), QPointF(line % 2 == 0 ? 20 : 16, y));
    }

    // The glass.
    painter.setPen(QPen(QColor(60, 40, 20), 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24, 24), QPointF(29.5, 29.5));
    painter.setPen(QPen(QColor(30, 30, 30), 2));
    painter.setBrush(QColor(170, 210, 240, 170));
    painter.drawEllipse(QPointF(19, 19), 7, 7);
    return pixmap;
}

QIcon AnalyzerIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(AnalyzerIconPixmap(size));
    }
    return icon;
}

}  // namespace analyzer_ui
