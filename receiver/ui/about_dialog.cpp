#include "receiver/ui/about_dialog.h"

#include <QLabel>

#include "receiver/core/about_text.h"
#include "receiver/core/receiver_strings.h"
#include "receiver/ui/receiver_art.h"
#include "receiver/ui/receiver_text.h"

namespace receiver_ui {
namespace {

using enum ControlKind;

constexpr int kAboutTextId = 1001;
constexpr int kIconId = -1;
constexpr ControlTemplate kAboutControls[] = {
    {kIconId, kPicture, {7, 7, 20, 20}, 0},
    {kAboutTextId, kPlainText, {29, 7, 143, 86}, 0},
    {controls::kOk, kDefaultPushButton, {181, 7, 32, 14}, 140},
};
constexpr DialogTemplate kAboutTemplate{220, 100, kAboutControls};
constexpr int kCaption = 142;

}  // namespace

CReceiverAboutDialog::CReceiverAboutDialog(QWidget* parent)
    : TemplateDialog(kAboutTemplate, kCaption, parent) {
    auto* icon = ControlAs<QLabel>(kIconId);
    icon->setPixmap(ProgramIcon().pixmap(icon->size()));
    const std::string text = receiver::BuildAboutText(
        receiver::CompiledVersionValues(), receiver::ReceiverString(receiver::ids::kAboutFallback),
        receiver::ReceiverString(receiver::ids::kCredit));
    ControlAs<QLabel>(kAboutTextId)->setText(QString::fromStdString(text));
}

QString CReceiverAboutDialog::aboutText() const {
    return ControlAs<QLabel>(kAboutTextId)->text();
}

}  // namespace receiver_ui
