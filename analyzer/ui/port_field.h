#pragma once

#include <QLineEdit>

namespace analyzer_ui {

// A port input: digits only, at most five of them.
QLineEdit* MakePortField(QWidget* parent);

}  // namespace analyzer_ui
