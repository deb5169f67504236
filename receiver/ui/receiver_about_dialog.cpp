#include "receiver/ui/receiver_about_dialog.h"

#include <QLabel>

#include "receiver/core/about_text.h"
#include "receiver/ui/receiver_art.h"
#include "receiver/ui/receiver_text.h"

namespace receiver_ui {
namespace {

using enum ControlKind;

constexpr int kAboutTextId = 1001;
constexpr int kIconId = -1;
constexpr ControlTemplate kAboutControls[] = {
    {kIconId, kPicture, {7, 7, 20, 20}, {}},
    {kAboutTextId, kPlainText, {29, 7, 143, 86}, {}},
    {controls::kOk, kDefaultPushButton, {181, 7, 32, 14}, texts::kOk},
};
constexpr DialogTemplate kAboutTemplate{220, 100, kAboutControls};

}  // namespace

ReceiverAboutDialog::ReceiverAboutDialog(QWidget* parent)
    : TemplateDialog(kAboutTemplate, texts::kAboutCaption, parent) {
    auto* icon = controlAs<QLabel>(kIconId);
    icon->setPixmap(ProgramIcon().pixmap(icon->size()));
    const std::string text = receiver::BuildAboutText(receiver::CompiledVersionValues(),
                                                      texts::kAboutFallback, texts::kCredit);
    controlAs<QLabel>(kAboutTextId)->setText(QString::fromStdString(text));
}

QString ReceiverAboutDialog::aboutText() const {
    return controlAs<QLabel>(kAboutTextId)->text();
}

}  // namespace receiver_ui
