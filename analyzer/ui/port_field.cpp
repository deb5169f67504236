#include "analyzer/ui/port_field.h"

#include <QRegularExpressionValidator>

namespace analyzer_ui {

QLineEdit* MakePortField(QWidget* parent) {
    constexpr int kPortDigits = 5;
    auto* field = new QLineEdit(parent);
    field->setMaxLength(kPortDigits);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

}  // namespace analyzer_ui
