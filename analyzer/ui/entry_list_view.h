#pragma once

#include <QListView>
#include <QScrollBar>

namespace analyzer_ui {

// A list view of one column of rows that all have the height and width of the first,
// laid out by arithmetic alone: it keeps nothing per row, so a list of many millions
// of entries costs it no memory and a new batch of rows no pass over the old ones.
class EntryListView : public QListView {
    Q_OBJECT

  public:
    explicit EntryListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;
    void reset() override;

  protected:
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    QSize viewportSizeHint() const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

  private:
    int rows() const;
    // The size of every row: that of the first, found once the list has a first row.
    QSize rowSize() const;
    int visibleRows() const;
    int topRow() const { return verticalScrollBar()->value(); }

    mutable QSize rowSize_;
};

}  // namespace analyzer_ui
