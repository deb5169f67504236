#pragma once

#include <QDialog>
#include <QHash>

#include "common_ui/dialog_units.h"
#include "receiver/ui/dialog_templates.h"

namespace receiver_ui {

// A dialog whose controls are made from a template: each placed by its dialog units,
// labelled from the string table, and found again by its number.
class TemplateDialog : public QDialog {
  public:
    TemplateDialog(const DialogTemplate& layout, std::string_view caption, QWidget* parent);

    template <typename Widget>
    Widget* controlAs(int id) const {
        return qobject_cast<Widget*>(controls_.value(id));
    }

  private:
    QWidget* createControl(const ControlTemplate& control);

    QHash<int, QWidget*> controls_;
};

}  // namespace receiver_ui
