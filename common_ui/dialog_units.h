#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace common_ui {

// A control's place in dialog units, as the layout tables give it.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Turns dialog units into pixels for one dialog font: a horizontal unit is a quarter of
// the font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int units) const { return (units * averageCharWidth_ + 2) / 4; }
    int ToPixelsY(int units) const { return (units * charHeight_ + 4) / 8; }
    QRect ToPixels(const DialogRect& rect) const;
    QSize ToPixels(int width, int height) const { return {ToPixelsX(width), ToPixelsY(height)}; }

    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

  private:
    int averageCharWidth_;
    int charHeight_;
};

}  // namespace common_ui
