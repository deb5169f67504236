#include "analyzer/ui/entry_list_view.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace analyzer_ui {

EntryListView::EntryListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true);
    setVerticalScrollMode(ScrollPerItem);
}

int EntryListView::rows() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

QSize EntryListView::rowSize() const {
    if (!rowSize_.isValid() && rows() > 0) {
        const QSize first = sizeHintForIndex(model()->index(0, modelColumn(), rootIndex()));
        if (first.height() > 0) {
            rowSize_ = first;
        }
    }
    return rowSize_.isValid() ? rowSize_ : QSize(0, std::max(1, fontMetrics().height()));
}

int EntryListView::visibleRows() const {
    return std::max(1, viewport()->height() / rowSize().height());
}

QRect EntryListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != modelColumn()) {
        return {};
    }
    const QSize size = rowSize();
    return {-horizontalOffset(), (index.row() - topRow()) * size.height(),
            std::max(size.width(), viewport()->width()), size.height()};
}

QModelIndex EntryListView::indexAt(const QPoint& point) const {
    if (point.y() < 0 || model() == nullptr) {
        return {};
    }
    const int row = topRow() + point.y() / rowSize().height();
    return row < rows() ? model()->index(row, modelColumn(), rootIndex()) : QModelIndex();
}

void EntryListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) {
        return;
    }
    const int row = index.row();
    const int visible = visibleRows();
    int top = topRow();
    switch (hint) {
        case EnsureVisible:
            if (row < top) {
                top = row;
            } else if (row >= top + visible) {
                top = row - visible + 1;
            }
            break;
        case PositionAtTop:
            top = row;
            break;
        case PositionAtBottom:
            top = row - visible + 1;
            break;
        case PositionAtCenter:
            top = row - visible / 2;
            break;
    }
    verticalScrollBar()->setValue(top);
}

void EntryListView::doItemsLayout() {
    // Nothing to lay out row by row: the scroll bars and a redraw are all.
    QAbstractItemView::doItemsLayout();
}

void EntryListView::reset() {
    rowSize_ = {};
    QListView::reset();
}

void EntryListView::scrollContentsBy(int, int) {
    viewport()->update();
}

void EntryListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QListView::rowsInserted(parent, start, end);
    // Costs nothing per row, so the scroll range is right at once, not at the next layout.
    updateGeometries();
}

void EntryListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

void EntryListView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}

int EntryListView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int EntryListView::verticalOffset() const {
    return topRow() * rowSize().height();
}

void EntryListView::updateGeometries() {
    const QSize size = rowSize();
    const int visible = visibleRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(visible);
    vertical->setRange(0, std::max(0, rows() - visible));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(std::max(1, size.height()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, rows() > 0 ? std::max(0, size.width() - viewport()->width()) : 0);
    QAbstractItemView::updateGeometries();
}

QSize EntryListView::viewportSizeHint() const {
    return QAbstractItemView::viewportSizeHint();
}

QModelIndex EntryListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int count = rows();
    if (count == 0) {
        return {};
    }
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return model()->index(0, modelColumn(), rootIndex());
    }
    int row = current.row();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= visibleRows();
            break;
        case MovePageDown:
            row += visibleRows();
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = count - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    return model()->index(std::clamp(row, 0, count - 1), modelColumn(), rootIndex());
}

void EntryListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (selectionModel() == nullptr) {
        return;
    }
    const QRect area = rect.normalized();
    const int height = rowSize().height();
    const int first = topRow() + std::max(0, area.top()) / height;
    const int last = std::min(rows() - 1, topRow() + std::max(0, area.bottom()) / height);
    if (first > last) {
        selectionModel()->select(QItemSelection(), command);
        return;
    }
    selectionModel()->select(QItemSelection(model()->index(first, modelColumn(), rootIndex()),
                                            model()->index(last, modelColumn(), rootIndex())),
                             command);
}

QRegion EntryListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const int top = topRow();
    const int bottom = top + visibleRows();
    for (const QItemSelectionRange& range : selection) {
        if (range.parent() != rootIndex() || range.left() > modelColumn() ||
            range.right() < modelColumn()) {
            continue;
        }
        const int first = std::max(top, range.top());
        const int last = std::min(bottom, range.bottom());
        if (first > last) {
            continue;
        }
        const QRect from = visualRect(model()->index(first, modelColumn(), rootIndex()));
        const QRect to = visualRect(model()->index(last, modelColumn(), rootIndex()));
        region += from.united(to);
    }
    return region;
}

void EntryListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
#endif
    QAbstractItemView::currentChanged(current, previous);
}

void EntryListView::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive()) {
        const QModelIndex chosen = selected.indexes().value(0);
        if (chosen.isValid()) {
            QAccessibleEvent event(this, QAccessible::SelectionAdd);
            event.setChild(chosen.row());
            QAccessible::updateAccessibility(&event);
        }
    }
#endif
    QAbstractItemView::selectionChanged(selected, deselected);
}

void EntryListView::paintEvent(QPaintEvent* event) {
    if (model() == nullptr) {
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QPainter painter(viewport());
    const QStyle::State state = option.state;
    const QModelIndex current = currentIndex();
    const bool focus = hasFocus() || viewport()->hasFocus();
    const int first = topRow();
    const int last = std::min(rows() - 1, first + viewport()->height() / rowSize().height() + 1);
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
        option.rect = visualRect(index);
        if (!event->rect().intersects(option.rect)) {
            continue;
        }
        option.state = state;
        if (selectionModel() != nullptr && selectionModel()->isSelected(index)) {
            option.state |= QStyle::State_Selected;
        }
        if (isEnabled()) {
            option.state |= QStyle::State_Enabled;
            option.palette.setCurrentColorGroup(isActiveWindow() ? QPalette::Active
                                                                 : QPalette::Inactive);
        } else {
            option.state &= ~QStyle::State_Enabled;
            option.palette.setCurrentColorGroup(QPalette::Disabled);
        }
        if (focus && index == current) {
            option.state |= QStyle::State_HasFocus;
        }
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

}  // namespace analyzer_ui
