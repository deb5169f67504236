#pragma once

#include <QIcon>
#include <QString>

#include "common_ui/template_dialog.h"

namespace common_ui {

// Where each program's about box puts its three controls, in dialog units.
struct AboutLayout {
    int width;
    int height;
    DialogRect icon;
    DialogRect text;
    DialogRect ok;
    // Several lines that wrap at the box's edge, rather than one line as it is.
    bool wrapText;
};

// The program's icon, its about text and an OK button that closes the box.
class AboutDialog : public TemplateDialog {
  public:
    AboutDialog(const AboutLayout& layout, const QString& caption, const QString& fontFamily,
                const QIcon& icon, const QString& text, std::string_view okText,
                QWidget* parent = nullptr);

    QString text() const;
};

}  // namespace common_ui
