#pragma once

#include <QLineEdit>

#include "common/user_messages.h"

namespace analyzer_ui {

// A port input: digits only, at most five of them.
QLineEdit* MakePortField(QWidget* parent);

// A port filter input: a port, or a range of them ("6000-6063").
QLineEdit* MakePortRangeField(QWidget* parent);

// True for a valid port; otherwise the message has been shown and the field has the focus.
bool IsPortAccepted(QLineEdit& field, common::UserMessages& messages);

}  // namespace analyzer_ui
