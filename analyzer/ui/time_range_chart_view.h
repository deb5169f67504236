#pragma once

#include <QChartView>
#include <optional>
#include <vector>

#include "analyzer/core/time_range.h"

class QBarSet;

namespace analyzer_ui {

// The entries-over-time chart: dragging across bars selects the time they span, and its
// context menu shows only that time, or everything again.
class TimeRangeChartView : public QChartView {
    Q_OBJECT

  public:
    explicit TimeRangeChartView(QWidget* parent = nullptr);

    // The chart now drawn, its bar set and what each bar spans; any selection is dropped.
    void setBars(QChart* chart, QBarSet* set, std::vector<analyzer::TimeBar> bars);
    // Bars from `from` to `to`, in either order, as a drag across them would.
    void selectBars(int from, int to);
    // The time the selected bars span; nothing while none is selected.
    std::optional<analyzer::TimeRange> selectedRange() const;
    // The bar under a point of the view, if any.
    std::optional<int> barAt(const QPoint& point) const;

  signals:
    // The range as its show-only key.
    void showOnlyRangeRequested(const QString& key);
    void showAllRequested();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void clearSelection();

    QBarSet* set_ = nullptr;
    std::vector<analyzer::TimeBar> bars_;
    std::optional<int> anchor_;
    std::optional<std::pair<int, int>> selected_;
    bool dragging_ = false;
};

}  // namespace analyzer_ui
