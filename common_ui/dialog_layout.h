#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <span>

#include "common_ui/dialog_units.h"

namespace common_ui {

// The point size every layout table was drawn for.
constexpr int kDialogPointSize = 8;

// The dialog font: `family` at the tables' point size, or the desktop's own face when
// `family` is empty.
QFont DialogFont(const QFont& base, const QString& family);

// One control of a layout table and its place in dialog units.
struct ControlPlace {
    QWidget* control;
    DialogRect rect;
};

// Fixes the window at its table size and places each control, all in dialog units of the
// window's font, as a dialog template would.
void PlaceControls(QWidget& window, QSize sizeInUnits, std::span<const ControlPlace> controls);
void PlaceControls(QWidget& window, QSize sizeInUnits,
                   std::initializer_list<ControlPlace> controls);

// The frame of a dialog that cannot be resized: a title and a close box, no size boxes.
void UseDialogFrame(QWidget& window);

}  // namespace common_ui
