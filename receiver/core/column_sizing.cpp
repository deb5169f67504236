#include "receiver/core/column_sizing.h"

namespace receiver {

ColumnWidths SizeColumns(const ListMetrics& metrics) {
    ColumnWidths widths;
    widths.stampColumn = metrics.smallIconWidth + metrics.stampTextWidth;
    widths.messageColumn = metrics.clientWidth - widths.stampColumn;
    return widths;
}

int MessageColumnWidth(const ColumnWidths& widths, const ListMetrics& metrics, int rowCount) {
    return rowCount > metrics.rowsPerPage ? widths.messageColumn - metrics.scrollBarWidth
                                          : widths.messageColumn;
}

}  // namespace receiver
