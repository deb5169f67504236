#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "common/profile_store.h"
#include "common/user_messages.h"
#include "common_ui/template_dialog.h"
#include "receiver/core/find_messages.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/ui/dialog_templates.h"

namespace receiver_ui {

// Asks what to find and how. OK refuses an empty text, stores the choices in the settings
// and the profile and leaves the search in request(); Cancel changes nothing.
class FindMessagesDialog : public common_ui::TemplateDialog {
  public:
    FindMessagesDialog(receiver::ReceiverSettings& settings, common::ProfileStore& profile,
                       common::UserMessages& messages, QWidget* parent = nullptr);

    void accept() override;
    const receiver::FindRequest& request() const { return request_; }

  private:
    receiver::ReceiverSettings& settings_;
    common::ProfileStore& profile_;
    common::UserMessages& messages_;
    QLineEdit* text_;
    QCheckBox* selectAll_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    receiver::FindRequest request_;
};

}  // namespace receiver_ui
