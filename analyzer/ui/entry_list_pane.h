#pragma once

#include <QObject>
#include <cstddef>

#include "analyzer/core/entry_store.h"
#include "common_ui/dialog_units.h"

class QLineEdit;
class QListView;
class QWidget;

namespace analyzer_ui {

class EntryListModel;

// The entry list and the count above it, placed on the window's client area at the
// template's places.
class EntryListPane : public QObject {
    Q_OBJECT

  public:
    EntryListPane(const analyzer::EntryStore& store, QWidget& client,
                  const common_ui::DialogUnits& units);

    QListView* view() const { return view_; }
    EntryListModel* model() const { return model_; }
    int rowCount() const;
    // The row the selection is on, or -1.
    int currentRow() const;
    void selectFirstRow();
    void showCount(std::size_t count);
    // A word on what happened to a followed log, shown with the count; empty clears it.
    void showNote(const QString& note);

  signals:
    void currentRowChanged();

  private:
    EntryListModel* model_;
    QListView* view_;
    QLineEdit* count_;
};

}  // namespace analyzer_ui
