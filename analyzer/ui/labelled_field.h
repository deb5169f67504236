#pragma once

#include "analyzer/ui/analyzer_window_layout.h"
#include "common_ui/dialog_units.h"

class QLineEdit;
class QWidget;

namespace analyzer_ui {

// A read-only field of the main window and its label, placed on the client area.
QLineEdit* MakeLabelledField(const layout::Field& field, QWidget& client,
                             const common_ui::DialogUnits& units);

}  // namespace analyzer_ui
