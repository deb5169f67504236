#pragma once

#include <QDialog>

namespace analyzer_ui {

// The about box: the icon, the program's name and version, and OK.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace analyzer_ui
