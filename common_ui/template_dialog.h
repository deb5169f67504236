#pragma once

#include <QDialog>
#include <QHash>
#include <span>
#include <string_view>

#include "common_ui/dialog_units.h"

namespace common_ui {

enum class ControlKind {
    kLabel,
    kSunkenLabel,
    kListView,
    kPushButton,
    kDefaultPushButton,
    kIcon,
    kGroupBox,
    kCheckBox,
    kRadioButton,
    kLineEdit,
    // A label that shows its text as it is, ampersands included.
    kPlainText,
    kPicture,
};

// One control of a dialog template: its number, kind, place in dialog units and its label
// as the program's string table holds it (empty when the text is set at run time).
struct ControlTemplate {
    int id;
    ControlKind kind;
    DialogRect rect;
    std::string_view text;
};

struct DialogTemplate {
    int width;
    int height;
    std::span<const ControlTemplate> controls;
};

// Buttons 1 and 2 are OK and Cancel in every template, as dialog templates have it.
constexpr int kOkId = 1;
constexpr int kCancelId = 2;

// A dialog whose controls are made from a template: each placed by its dialog units in the
// dialog font of `fontFamily` (empty: the desktop's face), labelled from the template, and
// found again by its number.
class TemplateDialog : public QDialog {
  public:
    TemplateDialog(const DialogTemplate& layout, const QString& caption, const QString& fontFamily,
                   QWidget* parent);

    template <typename Widget>
    Widget* controlAs(int id) const {
        return qobject_cast<Widget*>(controls_.value(id));
    }

  private:
    QWidget* createControl(const ControlTemplate& control);

    QHash<int, QWidget*> controls_;
};

}  // namespace common_ui
