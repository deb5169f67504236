#include "common_ui/dialog_layout.h"

namespace common_ui {

QFont DialogFont(const QFont& base, const QString& family) {
    QFont font = base;
    if (!family.isEmpty()) {
        font.setFamily(family);
    }
    font.setPointSize(kDialogPointSize);
    return font;
}

void PlaceControls(QWidget& window, QSize sizeInUnits, std::span<const ControlPlace> controls) {
    const DialogUnits units(window.font());
    window.setFixedSize(units.ToPixels(sizeInUnits.width(), sizeInUnits.height()));
    for (const ControlPlace& place : controls) {
        place.control->setGeometry(units.ToPixels(place.rect));
    }
}

void PlaceControls(QWidget& window, QSize sizeInUnits,
                   std::initializer_list<ControlPlace> controls) {
    PlaceControls(window, sizeInUnits,
                  std::span<const ControlPlace>(controls.begin(), controls.size()));
}

void UseDialogFrame(QWidget& window) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

}  // namespace common_ui
