#pragma once

#include <QWidget>
#include <initializer_list>

#include "common_ui/dialog_units.h"

namespace analyzer_ui {

// One control of a layout table and its place in dialog units.
struct ControlPlace {
    QWidget* control;
    common_ui::DialogRect rect;
};

// Sizes the window from its template size and places each control, all in dialog units
// of the window's font, as a dialog template would.
void ApplyLayout(QWidget& window, int widthUnits, int heightUnits,
                 std::initializer_list<ControlPlace> controls);

// The frame of a dialog that cannot be resized: a title and a close box, no size boxes.
void UseDialogFrame(QWidget& window);

}  // namespace analyzer_ui
