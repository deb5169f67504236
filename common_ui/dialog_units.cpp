#include "common_ui/dialog_units.h"

#include <QFontMetrics>

namespace common_ui {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over both alphabets, rounded, as dialog templates measure it.
    const int alphabetWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageCharWidth_ = (alphabetWidth / 26 + 1) / 2;
    charHeight_ = metrics.height();
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
    const int left = ToPixelsX(rect.x);
    const int top = ToPixelsY(rect.y);
    // Edges are converted rather than sizes, so neighbours stay flush.
    return QRect(left, top, ToPixelsX(rect.x + rect.width) - left,
                 ToPixelsY(rect.y + rect.height) - top);
}

}  // namespace common_ui
