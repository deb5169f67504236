#include "analyzer/ui/open_range_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace analyzer_ui {

OpenRangeDialog::OpenRangeDialog(const QDate& from, const QDate& to, QWidget* parent)
    : QDialog(parent), from_(new QDateEdit(from, this)), to_(new QDateEdit(to, this)) {
    setWindowTitle(tr("Open Range"));
    for (QDateEdit* field : {from_, to_}) {
        // The form of the dates in the log names.
        field->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        field->setCalendarPopup(true);
    }
    from_->setObjectName(QStringLiteral("fromDate"));
    to_->setObjectName(QStringLiteral("toDate"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("&From:"), from_);
    form->addRow(tr("&To:"), to_);
    form->addRow(buttons);
}

QDate OpenRangeDialog::from() const {
    return from_->date();
}

QDate OpenRangeDialog::to() const {
    return to_->date();
}

}  // namespace analyzer_ui
