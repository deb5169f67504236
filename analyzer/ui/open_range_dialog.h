#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

namespace analyzer_ui {

// Asks for the first and the last day of the logs to open from the log folder.
class OpenRangeDialog : public QDialog {
    Q_OBJECT

  public:
    OpenRangeDialog(const QDate& from, const QDate& to, QWidget* parent = nullptr);

    QDate from() const;
    QDate to() const;
    QDateEdit* fromField() const { return from_; }
    QDateEdit* toField() const { return to_; }

  private:
    QDateEdit* from_;
    QDateEdit* to_;
};

}  // namespace analyzer_ui
