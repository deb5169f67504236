#include "common_ui/tabbed_sheet.h"

#include <QDialogButtonBox>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common_ui/dialog_layout.h"

namespace common_ui {

// Shows and hides the window system makes (minimizing, restoring) are no page changes.
void SheetPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (!wasShown_) {
        wasShown_ = true;
        load();
    }
    entered();
}

void SheetPage::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous() && wasShown_) {
        left();
    }
}

TabbedSheet::TabbedSheet(const QString& title, QWidget* parent)
    : QDialog(parent), tabs_(new QTabWidget(this)) {
    UseDialogFrame(*this);
    setWindowTitle(title);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TabbedSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TabbedSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TabbedSheet::addPage(SheetPage* page, const QString& label) {
    tabs_->addTab(page, label);
    pages_.push_back(page);
}

void TabbedSheet::accept() {
    for (SheetPage* page : pages_) {
        if (page->wasShown()) {
            page->save();
        }
    }
    QDialog::accept();
}

}  // namespace common_ui
