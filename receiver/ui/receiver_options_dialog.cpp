#include "receiver/ui/receiver_options_dialog.h"

#include "common_ui/file_text.h"
#include "receiver/core/log_kind.h"
#include "receiver/core/receiver_texts.h"

namespace receiver_ui {
namespace {

// The two choices of a pair exclude each other, though all four share one parent.
void Pair(QDialog* dialog, QRadioButton* first, QRadioButton* second, bool firstChecked) {
    auto* group = new QButtonGroup(dialog);
    group->addButton(first);
    group->addButton(second);
    (firstChecked ? first : second)->setChecked(true);
}

}  // namespace

ReceiverOptionsDialog::ReceiverOptionsDialog(receiver::ReceiverSettings& settings,
                                             common::ProfileStore& profile,
                                             common::UserMessages& messages, QWidget* parent)
    : TemplateDialog(kReceiverOptionsTemplate,
                     common_ui::FromFileText(receiver::texts::kOptionsCaption), QString(), parent),
      settings_(settings),
      profile_(profile),
      messages_(messages),
      formatted_(controlAs<QRadioButton>(controls::kFormatted)),
      combined_(controlAs<QRadioButton>(controls::kCombined)) {
    using namespace controls;
    display_ = {controlAs<QCheckBox>(kDisplayIncoming), controlAs<QCheckBox>(kDisplayOutgoing),
                controlAs<QCheckBox>(kDisplayMessages)};
    logging_ = {controlAs<QCheckBox>(kLogIncoming), controlAs<QCheckBox>(kLogOutgoing),
                controlAs<QCheckBox>(kLogMessages)};
    for (int i = receiver::kIncoming; i <= receiver::kMessages; ++i) {
        display_[i]->setChecked(settings_.displayFlags[i]);
        logging_[i]->setChecked(settings_.logFlags[i]);
    }
    Pair(this, formatted_, controlAs<QRadioButton>(kUnformatted), settings_.formatted);
    Pair(this, combined_, controlAs<QRadioButton>(kSeparate), settings_.combined);
}

void ReceiverOptionsDialog::accept() {
    receiver::KindFlags display = settings_.displayFlags;
    receiver::KindFlags logging = settings_.logFlags;
    for (int i = receiver::kIncoming; i <= receiver::kMessages; ++i) {
        display[i] = display_[i]->isChecked();
        logging[i] = logging_[i]->isChecked();
    }
    if (!receiver::AnyRecordKind(display) && !receiver::AnyRecordKind(logging) &&
        messages_.Ask(std::string(receiver::texts::kNothingSelectedQuestion),
                      common::AnswerChoices::kYesNo) != common::Answer::kYes) {
        return;
    }
    settings_.displayFlags = display;
    settings_.logFlags = logging;
    settings_.formatted = formatted_->isChecked();
    settings_.combined = combined_->isChecked();
    if (!settings_.SaveOptions(profile_)) {
        messages_.ShowMessage(common::MessageIcon::kExclamation,
                              receiver::ProfileNotSavedText(profile_.path()));
    }
    QDialog::accept();
}

}  // namespace receiver_ui
