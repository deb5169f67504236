#include "analyzer/ui/dialog_layout.h"

namespace analyzer_ui {

void ApplyLayout(QWidget& window, int widthUnits, int heightUnits,
                 std::initializer_list<ControlPlace> controls) {
    const common_ui::DialogUnits units(window.font());
    window.setFixedSize(units.ToPixels(widthUnits, heightUnits));
    for (const ControlPlace& place : controls) {
        place.control->setGeometry(units.ToPixels(place.rect));
    }
}

void UseDialogFrame(QWidget& window) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

}  // namespace analyzer_ui
