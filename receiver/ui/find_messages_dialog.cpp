#include "receiver/ui/find_messages_dialog.h"

#include "common_ui/file_text.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/list_text.h"

namespace receiver_ui {
namespace {

using enum common_ui::ControlKind;

namespace id {
constexpr int kPrompt = 1036;
constexpr int kText = 1028;
constexpr int kOptionsGroup = 1035;
constexpr int kSelectAll = 1029;
constexpr int kMatchCase = 1030;
constexpr int kDirectionGroup = 1034;
constexpr int kDown = 1031;
constexpr int kUp = 1032;
}  // namespace id

constexpr common_ui::ControlTemplate kFindControls[] = {
    {id::kOptionsGroup, kGroupBox, {8, 35, 84, 38}, receiver::texts::kFindOptions},
    {id::kDirectionGroup, kGroupBox, {98, 35, 65, 38}, receiver::texts::kFindDirection},
    {id::kPrompt, kLabel, {7, 7, 156, 8}, receiver::texts::kFindPrompt},
    {id::kText, kLineEdit, {7, 18, 156, 14}, {}},
    {id::kSelectAll, kCheckBox, {11, 46, 80, 10}, receiver::texts::kFindSelectAll},
    {id::kMatchCase, kCheckBox, {11, 59, 80, 10}, receiver::texts::kMatchCase},
    {id::kDown, kRadioButton, {101, 45, 56, 10}, receiver::texts::kSearchDown},
    {id::kUp, kRadioButton, {101, 58, 56, 10}, receiver::texts::kSearchUp},
    {controls::kOk, kDefaultPushButton, {34, 79, 50, 14}, receiver::texts::kFind},
    {controls::kCancel, kPushButton, {87, 79, 50, 14}, receiver::texts::kCancel},
};
constexpr common_ui::DialogTemplate kFindTemplate{170, 100, kFindControls};

}  // namespace

FindMessagesDialog::FindMessagesDialog(receiver::ReceiverSettings& settings,
                                       common::ProfileStore& profile,
                                       common::UserMessages& messages, QWidget* parent)
    : TemplateDialog(kFindTemplate, common_ui::FromFileText(receiver::texts::kFindCaption),
                     QString(), parent),
      settings_(settings),
      profile_(profile),
      messages_(messages),
      text_(controlAs<QLineEdit>(id::kText)),
      selectAll_(controlAs<QCheckBox>(id::kSelectAll)),
      matchCase_(controlAs<QCheckBox>(id::kMatchCase)),
      up_(controlAs<QRadioButton>(id::kUp)) {
    // The list's texts are 8-bit; the search text is compared byte for byte with them.
    text_->setText(ListText(settings.lastFindText));
    selectAll_->setChecked(settings.findAll);
    matchCase_->setChecked(settings.matchCase);
    (settings.searchUp ? up_ : controlAs<QRadioButton>(id::kDown))->setChecked(true);
    text_->setFocus();
    text_->selectAll();
}

void FindMessagesDialog::accept() {
    const std::string text = ListBytes(text_->text());
    if (text.empty()) {
        messages_.ShowMessage(common::MessageIcon::kStop,
                              std::string(receiver::texts::kEmptyFindText));
        text_->setFocus();
        return;
    }
    request_ = {text, matchCase_->isChecked(), selectAll_->isChecked(), up_->isChecked()};
    settings_.lastFindText = text;
    settings_.findAll = selectAll_->isChecked();
    settings_.matchCase = matchCase_->isChecked();
    settings_.searchUp = up_->isChecked();
    if (!settings_.SaveFindOptions(profile_)) {
        messages_.ShowMessage(common::MessageIcon::kExclamation,
                              receiver::ProfileNotSavedText(profile_.path()));
    }
    TemplateDialog::accept();
}

}  // namespace receiver_ui
