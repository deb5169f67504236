#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>
#include <array>

#include "common/profile_store.h"
#include "common/user_messages.h"
#include "common_ui/template_dialog.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/ui/dialog_templates.h"

namespace receiver_ui {

// Which classes are shown and logged, formatted or not, one log or three. OK stores the
// choice in the settings and the profile; Cancel changes nothing.
class ReceiverOptionsDialog : public common_ui::TemplateDialog {
  public:
    ReceiverOptionsDialog(receiver::ReceiverSettings& settings, common::ProfileStore& profile,
                          common::UserMessages& messages, QWidget* parent = nullptr);

    void accept() override;

  private:
    receiver::ReceiverSettings& settings_;
    common::ProfileStore& profile_;
    common::UserMessages& messages_;
    std::array<QCheckBox*, 3> display_{};
    std::array<QCheckBox*, 3> logging_{};
    QRadioButton* formatted_;
    QRadioButton* combined_;
};

}  // namespace receiver_ui
