#include "analyzer/ui/port_field.h"

#include <QRegularExpressionValidator>

#include "analyzer/core/port_table.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {

QLineEdit* MakePortField(QWidget* parent) {
    constexpr int kPortDigits = 5;
    auto* field = new QLineEdit(parent);
    field->setMaxLength(kPortDigits);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

QLineEdit* MakePortRangeField(QWidget* parent) {
    constexpr int kRangeLength = 11;
    auto* field = new QLineEdit(parent);
    field->setMaxLength(kRangeLength);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("([0-9]{1,5}(-[0-9]{0,5})?)?")), field));
    return field;
}

bool IsPortAccepted(QLineEdit& field, common::UserMessages& messages) {
    if (analyzer::IsValidPort(common_ui::ToFileText(field.text()), messages)) {
        return true;
    }
    field.setFocus();
    return false;
}

}  // namespace analyzer_ui
