#include "receiver/ui/template_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include "receiver/ui/receiver_text.h"

namespace receiver_ui {
namespace {

// The dialogs' font: the desktop's own face at the size the templates were laid out in.
QFont TemplateFont(const QFont& base) {
    QFont font = base;
    font.setPointSize(8);
    return font;
}

}  // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& layout, std::string_view caption,
                               QWidget* parent)
    : QDialog(parent) {
    setFont(TemplateFont(font()));
    const common_ui::DialogUnits units(font());
    setWindowTitle(Text(caption));
    setFixedSize(units.ToPixels(layout.width, layout.height));
    // Group boxes come first in each template, so the controls inside stay above them.
    for (const ControlTemplate& control : layout.controls) {
        QWidget* widget = createControl(control);
        widget->setGeometry(units.ToPixels(control.rect));
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        controls_.insert(control.id, widget);
    }
    // Buttons 1 and 2 are OK and Cancel in every template, as dialog templates have it.
    if (auto* ok = controlAs<QPushButton>(controls::kOk)) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    if (auto* cancel = controlAs<QPushButton>(controls::kCancel)) {
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
}

QWidget* TemplateDialog::createControl(const ControlTemplate& control) {
    const QString text = Text(control.text);
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

}  // namespace receiver_ui
