#include "analyzer/ui/entry_list_pane.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <climits>

#include "analyzer/ui/analyzer_window_layout.h"
#include "analyzer/ui/entry_list_model.h"
#include "analyzer/ui/entry_list_view.h"
#include "analyzer/ui/labelled_field.h"

namespace analyzer_ui {

EntryListPane::EntryListPane(const analyzer::EntryStore& store, QWidget& client,
                             const common_ui::DialogUnits& units)
    : QObject(&client), model_(new EntryListModel(store, this)), view_(new EntryListView(&client)) {
    view_->setObjectName("entryList");
    view_->setGeometry(units.ToPixels(layout::kEntryList));
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setUniformItemSizes(true);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    count_ = MakeLabelledField(layout::kCountField, client, units);
    count_->setValidator(new QIntValidator(0, INT_MAX, count_));
    view_->setModel(model_);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &EntryListPane::currentRowChanged);
}

int EntryListPane::rowCount() const {
    return model_->rowCount();
}

int EntryListPane::currentRow() const {
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void EntryListPane::selectFirstRow() {
    view_->setCurrentIndex(model_->index(0));
}

void EntryListPane::showCount(std::size_t count) {
    count_->setText(QString::number(count));
}

void EntryListPane::showNote(const QString& note) {
    count_->setToolTip(note);
    count_->setStatusTip(note);
}

}  // namespace analyzer_ui
