#pragma once

#include <QIcon>

namespace analyzer_ui {

// The program's icon: lines of a log under a magnifying glass, drawn at each size.
QIcon AnalyzerIcon();

}  // namespace analyzer_ui
