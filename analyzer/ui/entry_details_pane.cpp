#include "analyzer/ui/entry_details_pane.h"

#include <QGroupBox>
#include <QLineEdit>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/ui/analyzer_window_layout.h"
#include "analyzer/ui/labelled_field.h"

namespace analyzer_ui {
namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

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
    sourceIp_->setText(Latin1(details.entry.sourceIp));
    sourcePort_->setText(Latin1(details.entry.sourcePort));
    sourceDescription_->setText(Latin1(details.sourceDescription));
    destinationIp_->setText(Latin1(details.entry.destinationIp));
    destinationPort_->setText(Latin1(details.entry.destinationPort));
    destinationDescription_->setText(Latin1(details.destinationDescription));
}

void EntryDetailsPane::showSourceName(const analyzer::HostAnswer& answer) {
    sourceName_->setText(Latin1(answer ? std::string_view(*answer)
                                       : analyzer::AnalyzerString(analyzer::ids::kHostNotFound)));
}

void EntryDetailsPane::showBlankSourceName() {
    sourceName_->setText(Latin1(analyzer::kBlankName));
}

void EntryDetailsPane::clear() {
    for (QLineEdit* field : {sourceIp_, sourcePort_, sourceName_, sourceDescription_,
                             destinationIp_, destinationPort_, destinationDescription_}) {
        field->clear();
    }
}

}  // namespace analyzer_ui
