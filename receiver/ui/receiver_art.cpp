#include "receiver/ui/receiver_art.h"

#include <QPainter>
#include <QPainterPath>

namespace receiver_ui {
namespace {

QPixmap Blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Two chevrons pointing right: traffic passing the router.
void DrawDoubleArrow(QPainter& painter, const QColor& color) {
    painter.setPen(QPen(color.darker(160), 1));
    painter.setBrush(color);
    for (const int left : {1, 8}) {
        const QPointF points[] = {{left + 0.5, 2.5}, {left + 7.0, 8.0}, {left + 0.5, 13.5}};
        painter.drawPolygon(points, 3);
    }
}

void DrawInformationSign(QPainter& painter) {
    painter.setPen(QPen(QColor(0, 0, 128), 1));
    painter.setBrush(QColor(0, 64, 224));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(7, 3.5, 2.2, 2.2));
    painter.drawRect(QRectF(7, 6.8, 2.2, 5.7));
}

// A router box with its lights, and the signal it sends: drawn on a 32-unit grid.
void DrawProgramIcon(QPainter& painter, int size) {
    painter.scale(size / 32.0, size / 32.0);
    painter.setRenderHint(QPainter::Antialiasing);

    // The waves stay inside the grid, their round caps included.
    const QPointF antennaTip(22, 11.5);
    QPainterPath waves;
    for (const double radius : {5.0, 9.5}) {
        const QRectF circle(antennaTip.x() - radius, antennaTip.y() - radius, 2 * radius,
                            2 * radius);
        waves.arcMoveTo(circle, 30);
        waves.arcTo(circle, 30, 120);
    }
    painter.setPen(QPen(QColor(0, 128, 224), 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(waves);
    painter.setPen(QPen(QColor(40, 40, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(antennaTip, QPointF(antennaTip.x(), 19));

    painter.setPen(QPen(QColor(20, 20, 20), 1.4));
    painter.setBrush(QColor(70, 78, 92));
    painter.drawRoundedRect(QRectF(2, 18, 28, 11), 3, 3);
    painter.setPen(Qt::NoPen);
    const QColor lights[] = {QColor(80, 230, 80), QColor(80, 230, 80), QColor(255, 190, 0),
                             QColor(230, 40, 40)};
    double x = 6;
    for (const QColor& light : lights) {
        painter.setBrush(light);
        painter.drawEllipse(QRectF(x, 22, 3.6, 3.6));
        x += 5.5;
    }
}

}  // namespace

QPixmap ListImagePixmap(int image) {
    QPixmap pixmap = Blank(kListImageSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (image) {
        case kIncomingImage:
            DrawDoubleArrow(painter, QColor(220, 0, 0));
            break;
        case kOutgoingImage:
            DrawDoubleArrow(painter, QColor(0, 176, 0));
            break;
        case kInformationImage:
            DrawInformationSign(painter);
            break;
        default:
            break;
    }
    return pixmap;
}

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    DrawProgramIcon(painter, size);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    // The two sizes of the window and the tray, and larger ones for the splash and the
    // window switcher, each drawn rather than scaled.
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(ProgramIconPixmap(size));
    }
    return icon;
}

}  // namespace receiver_ui
