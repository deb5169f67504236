#include "receiver/ui/receiver_about_dialog.h"

#include "common_ui/file_text.h"
#include "receiver/core/about_text.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/receiver_art.h"

namespace receiver_ui {
namespace {

constexpr common_ui::AboutLayout kAboutLayout{
    220, 100, {7, 7, 20, 20}, {29, 7, 143, 86}, {181, 7, 32, 14}, true};

QString AboutText() {
    return common_ui::FromFileText(receiver::BuildAboutText(receiver::CompiledVersionValues(),
                                                            receiver::texts::kAboutFallback,
                                                            receiver::texts::kCredit));
}

}  // namespace

ReceiverAboutDialog::ReceiverAboutDialog(QWidget* parent)
    : common_ui::AboutDialog(kAboutLayout, common_ui::FromFileText(receiver::texts::kAboutCaption),
                             QString(), ProgramIcon(), AboutText(), receiver::texts::kOk, parent) {}

}  // namespace receiver_ui
