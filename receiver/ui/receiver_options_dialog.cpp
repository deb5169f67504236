#include "receiver/ui/receiver_options_dialog.h"

#include "receiver/core/log_kind.h"
#include "receiver/core/receiver_strings.h"

namespace receiver_ui {
namespace {

constexpr int kCaption = 143;
constexpr int kNothingSelectedQuestion = 146;

// The two choices of a pair exclude each other, though all four share one parent.
void Pair(QDialog* dialog, QRadioButton* first, QRadioButton* second, bool firstChecked) {
    auto* group = new QButtonGroup(dialog);
    group->addButton(first);
    group->addButton(second);
    (firstChecked ? first : second)->setChecked(true);
}

}  // namespace

CReceiverOptionsDialog::CReceiverOptionsDialog(receiver::ReceiverSettings& settings,
                                               common::ProfileStore& profile,
                                               common::UserMessages& messages, QWidget* parent)
    : TemplateDialog(kReceiverOptionsTemplate, kCaption, parent),
      settings_(settings),
      profile_(profile),
      messages_(messages),
      formatted_(ControlAs<QRadioButton>(controls::kFormatted)),
      combined_(ControlAs<QRadioButton>(controls::kCombined)) {
    using namespace controls;
    display_ = {ControlAs<QCheckBox>(kDisplayIncoming), ControlAs<QCheckBox>(kDisplayOutgoing),
                ControlAs<QCheckBox>(kDisplayMessages)};
    logging_ = {ControlAs<QCheckBox>(kLogIncoming), ControlAs<QCheckBox>(kLogOutgoing),
                ControlAs<QCheckBox>(kLogMessages)};
    for (int i = receiver::kIncoming; i <= receiver::kMessages; ++i) {
        display_[i]->setChecked(settings_.displayFlags[i] != 0);
        logging_[i]->setChecked(settings_.logFlags[i] != 0);
    }
    Pair(this, formatted_, ControlAs<QRadioButton>(kUnformatted), settings_.formatted != 0);
    Pair(this, combined_, ControlAs<QRadioButton>(kSeparate), settings_.combined != 0);
}

void CReceiverOptionsDialog::accept() {
    receiver::KindFlags display = settings_.displayFlags;
    receiver::KindFlags logging = settings_.logFlags;
    for (int i = receiver::kIncoming; i <= receiver::kMessages; ++i) {
        display[i] = display_[i]->isChecked() ? 1 : 0;
        logging[i] = logging_[i]->isChecked() ? 1 : 0;
    }
    if (!receiver::AnyRecordKind(display) && !receiver::AnyRecordKind(logging) &&
        messages_.Ask(std::string(receiver::ReceiverString(kNothingSelectedQuestion)),
                      common::AnswerChoices::kYesNo) != common::Answer::kYes) {
        return;
    }
    settings_.displayFlags = display;
    settings_.logFlags = logging;
    settings_.formatted = formatted_->isChecked() ? 1 : 0;
    settings_.combined = combined_->isChecked() ? 1 : 0;
    settings_.SaveOptions(profile_);
    QDialog::accept();
}

}  // namespace receiver_ui
