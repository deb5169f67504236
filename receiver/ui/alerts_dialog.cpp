#include "receiver/ui/alerts_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include "common/ascii.h"
#include "common/text_format.h"
#include "common_ui/file_text.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_texts.h"

namespace receiver_ui {
namespace {

QString Text(std::string_view text) {
    return common_ui::FromFileText(text);
}

std::string Bytes(const QString& text) {
    return text.toUtf8().toStdString();
}

bool Has(const std::string& kinds, std::string_view word) {
    std::size_t from = 0;
    while (from <= kinds.size()) {
        const std::size_t comma = std::min(kinds.find(',', from), kinds.size());
        std::string_view item(kinds.data() + from, comma - from);
        while (!item.empty() && item.front() == ' ') {
            item.remove_prefix(1);
        }
        while (!item.empty() && item.back() == ' ') {
            item.remove_suffix(1);
        }
        if (common::EqualsIgnoringAsciiCase(item, word)) {
            return true;
        }
        from = comma + 1;
    }
    return false;
}

bool IsOn(const std::string& enabled) {
    return enabled.empty() || receiver::IsTrueValue(enabled);
}

}  // namespace

AlertRuleDialog::AlertRuleDialog(const receiver::AlertRuleText& rule,
                                 common_ui::DesktopPrompts& prompts,
                                 std::function<bool(const std::string&)> nameTaken, QWidget* parent)
    : QDialog(parent), prompts_(prompts), nameTaken_(std::move(nameTaken)) {
    setWindowTitle(Text(receiver::texts::kAlertRuleCaption));
    name.setText(Text(rule.name));
    text.setText(Text(rule.text));
    regex.setText(Text(rule.regex));
    source.setText(Text(rule.source));
    ports.setText(Text(rule.ports));
    incoming.setText(QStringLiteral("&Incoming"));
    outgoing.setText(QStringLiteral("&Outgoing"));
    messages.setText(QStringLiteral("&Messages"));
    enabled.setText(QStringLiteral("&Enabled"));
    // No kinds listed means every kind: shown as all three ticked.
    const bool anyKind = !Has(rule.kinds, "incoming") && !Has(rule.kinds, "outgoing") &&
                         !Has(rule.kinds, "messages");
    incoming.setChecked(anyKind || Has(rule.kinds, "incoming"));
    outgoing.setChecked(anyKind || Has(rule.kinds, "outgoing"));
    messages.setChecked(anyKind || Has(rule.kinds, "messages"));
    enabled.setChecked(IsOn(rule.enabled));
    source.setPlaceholderText(QStringLiteral("203.0.113.0/24"));
    ports.setPlaceholderText(QStringLiteral("20-23"));

    auto* kinds = new QHBoxLayout;
    kinds->addWidget(&incoming);
    kinds->addWidget(&outgoing);
    kinds->addWidget(&messages);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), &name);
    form->addRow(QStringLiteral("Kinds:"), kinds);
    form->addRow(QStringLiteral("&Text contains:"), &text);
    form->addRow(QStringLiteral("&Regular expression:"), &regex);
    form->addRow(QStringLiteral("&Source address:"), &source);
    form->addRow(QStringLiteral("Destination &ports:"), &ports);
    form->addRow(QString(), &enabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

receiver::AlertRuleText AlertRuleDialog::rule() const {
    receiver::AlertRuleText rule;
    rule.name = Bytes(name.text().trimmed());
    rule.enabled = enabled.isChecked() ? "On" : "Off";
    // All three is the same as none: every kind.
    if (!(incoming.isChecked() && outgoing.isChecked() && messages.isChecked())) {
        std::string kinds;
        for (const auto& [box, word] :
             {std::pair{&incoming, "incoming"}, {&outgoing, "outgoing"}, {&messages, "messages"}}) {
            if (box->isChecked()) {
                kinds += (kinds.empty() ? "" : ",") + std::string(word);
            }
        }
        rule.kinds = kinds;
    }
    rule.text = Bytes(text.text());
    rule.regex = Bytes(regex.text());
    rule.source = Bytes(source.text().trimmed());
    rule.ports = Bytes(ports.text().trimmed());
    return rule;
}

void AlertRuleDialog::accept() {
    const receiver::AlertRuleText chosen = rule();
    std::string error;
    if (chosen.kinds.empty() && !incoming.isChecked()) {
        error = "Choose at least one kind of record.";
    } else if (chosen.name.find(']') != std::string::npos) {
        error = "A rule's name cannot hold \"]\".";
    } else if (!receiver::AlertRule::Parse(chosen, error)) {
        error[0] = common::AsciiUpper(error[0]);
        error += ".";
    } else if (nameTaken_(chosen.name)) {
        error = common::FormatText(receiver::texts::kAlertNameTaken, {chosen.name});
    }
    if (!error.empty()) {
        prompts_.ShowMessage(common::MessageIcon::kExclamation, error);
        return;
    }
    QDialog::accept();
}

AlertsDialog::AlertsDialog(std::vector<receiver::AlertRuleText> rules, std::string profilePath,
                           common_ui::DesktopPrompts& prompts,
                           std::function<void(const QString&, const QString&)> sendTest,
                           QWidget* parent)
    : QDialog(parent),
      rules_(std::move(rules)),
      profilePath_(std::move(profilePath)),
      prompts_(prompts),
      sendTest_(std::move(sendTest)) {
    setWindowTitle(Text(receiver::texts::kAlertsCaption));
    addButton.setText(QStringLiteral("&Add..."));
    editButton.setText(QStringLiteral("&Edit..."));
    deleteButton.setText(QStringLiteral("&Delete"));
    testButton.setText(QStringLiteral("&Test"));
    for (QPushButton* button : {&addButton, &editButton, &deleteButton, &testButton}) {
        button->setAutoDefault(false);
    }
    connect(&addButton, &QPushButton::clicked, this, [this] { addRule(); });
    connect(&editButton, &QPushButton::clicked, this, [this] { editRule(); });
    connect(&deleteButton, &QPushButton::clicked, this, [this] { deleteRule(); });
    connect(&testButton, &QPushButton::clicked, this, [this] { testRule(); });
    connect(&list, &QListWidget::itemDoubleClicked, this, [this] { editRule(); });

    auto* side = new QVBoxLayout;
    for (QPushButton* button : {&addButton, &editButton, &deleteButton, &testButton}) {
        side->addWidget(button);
    }
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(&list);
    row->addLayout(side);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    fill(0);
}

void AlertsDialog::fill(int current) {
    list.clear();
    for (const receiver::AlertRuleText& rule : rules_) {
        auto* item = new QListWidgetItem(Text(rule.name), &list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(IsOn(rule.enabled) ? Qt::Checked : Qt::Unchecked);
    }
    if (!rules_.empty()) {
        list.setCurrentRow(std::clamp(current, 0, static_cast<int>(rules_.size()) - 1));
    }
    const bool any = !rules_.empty();
    editButton.setEnabled(any);
    deleteButton.setEnabled(any);
}

// The check boxes are the rules' on and off.
void AlertsDialog::takeChecks() {
    for (int i = 0; i < list.count() && i < static_cast<int>(rules_.size()); ++i) {
        rules_[i].enabled = list.item(i)->checkState() == Qt::Checked ? "On" : "Off";
    }
}

bool AlertsDialog::nameTaken(const std::string& name, int except) const {
    for (int i = 0; i < static_cast<int>(rules_.size()); ++i) {
        if (i != except && common::EqualsIgnoringAsciiCase(rules_[i].name, name)) {
            return true;
        }
    }
    return false;
}

void AlertsDialog::addRule() {
    takeChecks();
    AlertRuleDialog editor(
        {}, prompts_, [this](const std::string& name) { return nameTaken(name, -1); }, this);
    if (prompts_.RunDialog(editor) == QDialog::Accepted) {
        rules_.push_back(editor.rule());
        fill(static_cast<int>(rules_.size()) - 1);
    }
}

void AlertsDialog::editRule() {
    takeChecks();
    const int at = list.currentRow();
    if (at < 0 || at >= static_cast<int>(rules_.size())) {
        return;
    }
    AlertRuleDialog editor(
        rules_[at], prompts_, [this, at](const std::string& name) { return nameTaken(name, at); },
        this);
    if (prompts_.RunDialog(editor) == QDialog::Accepted) {
        rules_[at] = editor.rule();
        fill(at);
    }
}

void AlertsDialog::deleteRule() {
    takeChecks();
    const int at = list.currentRow();
    if (at < 0 || at >= static_cast<int>(rules_.size())) {
        return;
    }
    rules_.erase(rules_.begin() + at);
    fill(at);
}

void AlertsDialog::testRule() {
    const int at = list.currentRow();
    const QString title = at >= 0 && at < static_cast<int>(rules_.size())
                              ? Text(rules_[at].name)
                              : Text(receiver::texts::kAlertTestTitle);
    sendTest_(title, Text(receiver::texts::kAlertTestBody));
}

void AlertsDialog::accept() {
    takeChecks();
    if (!receiver::SaveAlertRules(profilePath_, rules_)) {
        prompts_.ShowMessage(common::MessageIcon::kExclamation,
                             common::FormatText(receiver::texts::kAlertsNotSaved, {profilePath_}));
        return;
    }
    QDialog::accept();
}

}  // namespace receiver_ui
