#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

#include "common_ui/desktop_prompts.h"
#include "receiver/core/alert_rules.h"

namespace receiver_ui {

// One rule's keys. OK is refused, with the reason, while a value is malformed.
class AlertRuleDialog : public QDialog {
  public:
    AlertRuleDialog(const receiver::AlertRuleText& rule, common_ui::DesktopPrompts& prompts,
                    std::function<bool(const std::string&)> nameTaken, QWidget* parent = nullptr);

    receiver::AlertRuleText rule() const;
    void accept() override;

    QLineEdit name, text, regex, source, ports;
    QCheckBox incoming, outgoing, messages, enabled;

  private:
    common_ui::DesktopPrompts& prompts_;
    std::function<bool(const std::string&)> nameTaken_;
};

// The profile's alert rules: listed with a check box each for on and off, added, edited
// and deleted; OK writes them all in one rewrite of the profile.
class AlertsDialog : public QDialog {
  public:
    AlertsDialog(std::vector<receiver::AlertRuleText> rules, std::string profilePath,
                 common_ui::DesktopPrompts& prompts,
                 std::function<void(const QString&, const QString&)> sendTest,
                 QWidget* parent = nullptr);

    const std::vector<receiver::AlertRuleText>& rules() const { return rules_; }
    void accept() override;

    void addRule();
    void editRule();
    void deleteRule();
    void testRule();

    QListWidget list;
    QPushButton addButton, editButton, deleteButton, testButton;

  private:
    void fill(int current);
    void takeChecks();
    bool nameTaken(const std::string& name, int except) const;

    std::vector<receiver::AlertRuleText> rules_;
    std::string profilePath_;
    common_ui::DesktopPrompts& prompts_;
    std::function<void(const QString&, const QString&)> sendTest_;
};

}  // namespace receiver_ui
