#pragma once

#include <QObject>

#include "analyzer/core/entry_details.h"
#include "analyzer/core/host_lookup.h"
#include "common_ui/dialog_units.h"

class QLineEdit;
class QWidget;

namespace analyzer_ui {

// The selected entry decoded: its source and destination groups, placed on the window's
// client area at the template's places.
class EntryDetailsPane : public QObject {
    Q_OBJECT

  public:
    EntryDetailsPane(QWidget& client, const common_ui::DialogUnits& units);

    // Every field but Name.
    void showDetails(const analyzer::EntryDetails& details);
    // The name service's answer, or the blank that stands for none yet.
    void showSourceName(const analyzer::HostAnswer& answer);
    void showBlankSourceName();
    void clear();

  private:
    QLineEdit* sourceIp_;
    QLineEdit* sourcePort_;
    QLineEdit* sourceName_;
    QLineEdit* sourceDescription_;
    QLineEdit* destinationIp_;
    QLineEdit* destinationPort_;
    QLineEdit* destinationDescription_;
};

}  // namespace analyzer_ui
