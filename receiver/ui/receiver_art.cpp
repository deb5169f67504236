#include "receiver/ui/receiver_art.h"

#include <algorithm>
#include <cmath>

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

// A router box with its lights, and the signal it sends: laid out on a 32-unit grid. The
// straight strokes are a whole number of pixels wide and sit on pixel edges at every
// size, so the small icons stay sharp.
void DrawProgramIcon(QPainter& painter, int size) {
    const double scale = size / 32.0;
    const auto pixels = [scale](double units) { return units * scale; };
    // A stroke of about `units`, at least a pixel, and a coordinate that centres a stroke
    // of that width on pixels.
    const auto strokeWidth = [scale](double units) {
        return std::max(1.0, std::round(units * scale));
    };
    const auto onPixels = [scale](double units, double width) {
        const double edge = std::round(units * scale - width / 2);
        return edge + width / 2;
    };
    painter.setRenderHint(QPainter::Antialiasing);

    // The waves stay inside the grid, their round caps included.
    const double mastWidth = strokeWidth(2.4);
    const QPointF antennaTip(onPixels(22, mastWidth), pixels(11.5));
    QPainterPath waves;
    for (const double radius : {pixels(5.0), pixels(9.5)}) {
        const QRectF circle(antennaTip.x() - radius, antennaTip.y() - radius, 2 * radius,
                            2 * radius);
        waves.arcMoveTo(circle, 30);
        waves.arcTo(circle, 30, 120);
    }
    painter.setPen(QPen(QColor(0, 128, 224), pixels(2.6), Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(waves);
    painter.setPen(QPen(QColor(40, 40, 40), mastWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(antennaTip, QPointF(antennaTip.x(), pixels(19)));

    const double outline = strokeWidth(1.4);
    const QPointF topLeft(onPixels(2, outline), onPixels(18, outline));
    const QPointF bottomRight(onPixels(30, outline), onPixels(29, outline));
    painter.setPen(QPen(QColor(20, 20, 20), outline));
    painter.setBrush(QColor(70, 78, 92));
    painter.drawRoundedRect(QRectF(topLeft, bottomRight), pixels(3), pixels(3));
    painter.setPen(Qt::NoPen);
    const QColor lights[] = {QColor(80, 230, 80), QColor(80, 230, 80), QColor(255, 190, 0),
                             QColor(230, 40, 40)};
    // Whole pixels apart, with a gap between them however small the icon, and centred.
    const double lightSize = std::max(2.0, std::round(pixels(3.6)));
    const double spacing = std::max(lightSize + 1, std::round(pixels(5.5)));
    double x = std::round(pixels(16) - (3 * spacing + lightSize) / 2);
    for (const QColor& light : lights) {
        painter.setBrush(light);
        painter.drawEllipse(QRectF(x, std::round(pixels(22)), lightSize, lightSize));
        x += spacing;
    }
}

}  // namespace

QPixmap ListImagePixmap(int image) {
    QPixmap pixmap = Blank(kListImageSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (image) {
        case receiver::kImageIncoming:
            DrawDoubleArrow(painter, QColor(220, 0, 0));
            break;
        case receiver::kImageOutgoing:
            DrawDoubleArrow(painter, QColor(0, 176, 0));
            break;
        case receiver::kImageInformation:
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
