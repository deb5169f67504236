#include "common_ui/template_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <vector>

#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

namespace common_ui {

TemplateDialog::TemplateDialog(const DialogTemplate& layout, const QString& caption,
                               const QString& fontFamily, QWidget* parent)
    : QDialog(parent) {
    setFont(DialogFont(font(), fontFamily));
    setWindowTitle(caption);
    std::vector<ControlPlace> places;
    places.reserve(layout.controls.size());
    // Group boxes come first in each template, so the controls inside stay above them.
    for (const ControlTemplate& control : layout.controls) {
        QWidget* widget = createControl(control);
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        controls_.insert(control.id, widget);
        places.push_back({widget, control.rect});
    }
    PlaceControls(*this, QSize(layout.width, layout.height), places);
    if (auto* ok = controlAs<QPushButton>(kOkId)) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    if (auto* cancel = controlAs<QPushButton>(kCancelId)) {
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
}

QWidget* TemplateDialog::createControl(const ControlTemplate& control) {
    const QString text = FromFileText(control.text);
    switch (control.kind) {
        case ControlKind::kLabel:
            return new QLabel(text, this);
        case ControlKind::kSunkenLabel: {
            auto* label = new QLabel(text, this);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            return label;
        }
        case ControlKind::kListView:
            return new QTableView(this);
        case ControlKind::kPushButton:
        case ControlKind::kDefaultPushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::kDefaultPushButton);
            return button;
        }
        case ControlKind::kIcon: {
            // A button, so the icon can open the window menu as a title-bar icon would.
            auto* icon = new QToolButton(this);
            icon->setAutoRaise(true);
            return icon;
        }
        case ControlKind::kGroupBox:
            return new QGroupBox(text, this);
        case ControlKind::kCheckBox:
            return new QCheckBox(text, this);
        case ControlKind::kRadioButton:
            return new QRadioButton(text, this);
        case ControlKind::kLineEdit:
            return new QLineEdit(text, this);
        case ControlKind::kPlainText: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::kPicture:
            return new QLabel(this);
    }
    return new QWidget(this);
}

}  // namespace common_ui
