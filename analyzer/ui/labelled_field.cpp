#include "analyzer/ui/labelled_field.h"

#include <QLabel>
#include <QLineEdit>

#include "common_ui/file_text.h"

namespace analyzer_ui {

QLineEdit* MakeLabelledField(const layout::Field& field, QWidget& client,
                             const common_ui::DialogUnits& units) {
    auto* label = new QLabel(common_ui::FromFileText(field.label), &client);
    label->setGeometry(units.ToPixels(field.labelRect));
    if (field.labelRightAligned) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    auto* edit = new QLineEdit(&client);
    edit->setObjectName(field.objectName);
    edit->setGeometry(units.ToPixels(field.rect));
    edit->setReadOnly(true);
    label->setBuddy(edit);
    return edit;
}

}  // namespace analyzer_ui
