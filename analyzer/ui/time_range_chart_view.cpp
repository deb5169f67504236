#include "analyzer/ui/time_range_chart_view.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace analyzer_ui {

TimeRangeChartView::TimeRangeChartView(QWidget* parent) : QChartView(parent) {
    setMouseTracking(true);
}

void TimeRangeChartView::setBars(QChart* chart, QBarSet* set, std::vector<analyzer::TimeBar> bars) {
    QChart* old = this->chart();
    setChart(chart);
    delete old;
    set_ = set;
    bars_ = std::move(bars);
    anchor_.reset();
    selected_.reset();
    dragging_ = false;
    if (set_ != nullptr) {
        set_->setSelectedColor(palette().color(QPalette::Highlight));
    }
}

std::optional<int> TimeRangeChartView::barAt(const QPoint& point) const {
    if (bars_.empty() || chart() == nullptr || chart()->series().isEmpty()) {
        return std::nullopt;
    }
    const QPointF inChart = chart()->mapFromScene(mapToScene(point));
    if (!chart()->plotArea().contains(inChart)) {
        return std::nullopt;
    }
    // Category bars stand centred on whole numbers along the x axis.
    const double value = chart()->mapToValue(inChart, chart()->series().front()).x();
    const int index = static_cast<int>(std::lround(value));
    return std::clamp(index, 0, static_cast<int>(bars_.size()) - 1);
}

void TimeRangeChartView::selectBars(int from, int to) {
    if (bars_.empty()) {
        return;
    }
    const int last = static_cast<int>(bars_.size()) - 1;
    from = std::clamp(from, 0, last);
    to = std::clamp(to, 0, last);
    selected_ = std::minmax(from, to);
    if (set_ != nullptr) {
        set_->deselectAllBars();
        QList<int> indexes;
        for (int index = selected_->first; index <= selected_->second; ++index) {
            indexes << index;
        }
        set_->selectBars(indexes);
    }
}

void TimeRangeChartView::clearSelection() {
    selected_.reset();
    if (set_ != nullptr) {
        set_->deselectAllBars();
    }
}

std::optional<analyzer::TimeRange> TimeRangeChartView::selectedRange() const {
    if (!selected_) {
        return std::nullopt;
    }
    return analyzer::RangeOfBars(bars_, static_cast<std::size_t>(selected_->first),
                                 static_cast<std::size_t>(selected_->second));
}

void TimeRangeChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QChartView::mousePressEvent(event);
        return;
    }
    anchor_ = barAt(event->position().toPoint());
    dragging_ = anchor_.has_value();
    if (anchor_) {
        selectBars(*anchor_, *anchor_);
    } else {
        clearSelection();
    }
    event->accept();
}

void TimeRangeChartView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && anchor_ && (event->buttons() & Qt::LeftButton)) {
        if (const std::optional<int> bar = barAt(event->position().toPoint())) {
            selectBars(*anchor_, *bar);
        }
        event->accept();
    }
    // Hovering still reaches the bars, which tell their count.
    QChartView::mouseMoveEvent(event);
}

void TimeRangeChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void TimeRangeChartView::contextMenuEvent(QContextMenuEvent* event) {
    // A right click outside the selection picks the bar under it.
    const std::optional<int> bar = barAt(event->pos());
    if (bar && (!selected_ || *bar < selected_->first || *bar > selected_->second)) {
        selectBars(*bar, *bar);
    }
    QMenu menu(this);
    QAction* only = menu.addAction(tr("Show only this time range"));
    const std::optional<analyzer::TimeRange> range = selectedRange();
    only->setEnabled(range.has_value());
    if (range) {
        connect(only, &QAction::triggered, this, [this, range] {
            emit showOnlyRangeRequested(QString::fromStdString(analyzer::TimeRangeKey(*range)));
        });
    }
    connect(menu.addAction(tr("Show all")), &QAction::triggered, this,
            &TimeRangeChartView::showAllRequested);
    menu.exec(event->globalPos());
}

}  // namespace analyzer_ui
