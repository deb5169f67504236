#pragma once

namespace receiver {

// What the list tells about itself once, at set-up, in pixels.
struct ListMetrics {
    int scrollBarWidth = 0;
    int smallIconWidth = 0;
    int rowsPerPage = 0;
    int clientWidth = 0;
    // The list font's width of "0000000000 00000000 ", room for a stamp.
    int stampTextWidth = 0;
};

struct ColumnWidths {
    int stampColumn = 0;
    // The message column's full width, before any narrowing.
    int messageColumn = 0;
};

// The two column widths the list starts with: the stamp and its image, and the rest.
ColumnWidths SizeColumns(const ListMetrics& metrics);

// The message column's width while the list holds `rowCount` rows since set-up or the
// last Clear: one scroll bar narrower once the rows no longer fit on one page.
int MessageColumnWidth(const ColumnWidths& widths, const ListMetrics& metrics, int rowCount);

// The stamp text the stamp column is measured with.
inline constexpr const char* kStampMeasureText = "0000000000 00000000 ";

}  // namespace receiver
