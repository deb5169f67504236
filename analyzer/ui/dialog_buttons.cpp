#include "analyzer/ui/dialog_buttons.h"

#include <QDialog>
#include <QPushButton>

namespace analyzer_ui {

QPushButton* MakeOkButton(QDialog& dialog) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    return ok;
}

QPushButton* MakeCancelButton(QDialog& dialog) {
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return cancel;
}

}  // namespace analyzer_ui
