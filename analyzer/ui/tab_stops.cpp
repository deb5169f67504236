#include "analyzer/ui/tab_stops.h"

#include <QApplication>
#include <QPainter>
#include <QTextOption>

#include "common_ui/dialog_units.h"

namespace analyzer_ui {
namespace {

constexpr int kTabStopUnits = 32;

qreal TabStopDistance(const QFont& font) {
    return common_ui::DialogUnits(font).ToPixelsX(kTabStopUnits);
}

QTextOption TabbedLine(const QFont& font) {
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(TabStopDistance(font));
    return option;
}

}  // namespace

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    painter->save();
    painter->setFont(item.font);
    const bool selected = item.state & QStyle::State_Selected;
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(textRect), text, TabbedLine(item.font));
    painter->restore();
}

TabStopLabel::TabStopLabel(QString text, QWidget* parent)
    : QWidget(parent), text_(std::move(text)) {
    setAccessibleName(text_);
}

void TabStopLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(rect()), text_, TabbedLine(font()));
}

}  // namespace analyzer_ui
