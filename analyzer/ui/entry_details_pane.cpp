#include "analyzer/ui/entry_details_pane.h"

#include <QGroupBox>
#include <QLineEdit>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/ui/analyzer_window_layout.h"
#include "analyzer/ui/labelled_field.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

using common_ui::FromFileText;

QGroupBox* MakeGroup(const QString& title, const common_ui::DialogRect& rect, QWidget& client,
                     const common_ui::DialogUnits& units) {
    auto* group = new QGroupBox(title, &client);
    group->setGeometry(units.ToPixels(rect));
    return group;
}

}  // namespace

EntryDetailsPane::EntryDetailsPane(QWidget& client, const common_ui::DialogUnits& units)
    : QObject(&client) {
    MakeGroup(tr("Source"), layout::kSourceGroup, client, units);
    MakeGroup(tr("Destination"), layout::kDestinationGroup, client, units);
    sourceIp_ = MakeLabelledField(layout::kSourceIpField, client, units);
    sourcePort_ = MakeLabelledField(layout::kSourcePortField, client, units);
    sourceName_ = MakeLabelledField(layout::kSourceNameField, client, units);
    sourceDescription_ = MakeLabelledField(layout::kSourceDescriptionField, client, units);
    destinationIp_ = MakeLabelledField(layout::kDestinationIpField, client, units);
    destinationPort_ = MakeLabelledField(layout::kDestinationPortField, client, units);
    destinationDescription_ =
        MakeLabelledField(layout::kDestinationDescriptionField, client, units);
}

void EntryDetailsPane::showDetails(const analyzer::EntryDetails& details) {
    sourceIp_->setText(FromFileText(details.entry.sourceIp));
    sourcePort_->setText(FromFileText(details.entry.sourcePort));
    sourceDescription_->setText(FromFileText(details.sourceDescription));
    destinationIp_->setText(FromFileText(details.entry.destinationIp));
    destinationPort_->setText(FromFileText(details.entry.destinationPort));
    destinationDescription_->setText(FromFileText(details.destinationDescription));
}

void EntryDetailsPane::showSourceName(const analyzer::HostAnswer& answer) {
    sourceName_->setText(
        FromFileText(answer ? std::string_view(*answer)
                            : analyzer::AnalyzerString(analyzer::ids::kHostNotFound)));
}

void EntryDetailsPane::showBlankSourceName() {
    sourceName_->setText(FromFileText(analyzer::kBlankName));
}

void EntryDetailsPane::clear() {
    for (QLineEdit* field : {sourceIp_, sourcePort_, sourceName_, sourceDescription_,
                             destinationIp_, destinationPort_, destinationDescription_}) {
        field->clear();
    }
}

}  // namespace analyzer_ui
