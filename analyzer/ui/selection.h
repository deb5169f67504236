#pragma once

#include <QAbstractItemView>
#include <cstddef>
#include <optional>

#include "analyzer/core/editor_rows.h"

namespace analyzer_ui {

// The row selected in a single-selection list, if any.
std::optional<std::size_t> SelectedRow(const QAbstractItemView& view);

// Applies what a core operation answered: select and scroll to a row, or clear.
void ApplySelection(QAbstractItemView& view, const analyzer::SelectionAfter& after);

}  // namespace analyzer_ui
