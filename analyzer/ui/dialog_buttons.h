#pragma once

class QDialog;
class QPushButton;

namespace analyzer_ui {

// The OK and Cancel buttons of the editors' small dialogs: OK is the default and runs the
// dialog's accept(), so a dialog that checks its fields does so there.
QPushButton* MakeOkButton(QDialog& dialog);
QPushButton* MakeCancelButton(QDialog& dialog);

}  // namespace analyzer_ui
