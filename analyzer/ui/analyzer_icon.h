#pragma once

#include <QIcon>
#include <QPixmap>

namespace analyzer_ui {

// The program's icon: lines of a log under a magnifying glass, drawn at each size.
QIcon AnalyzerIcon();

// The same drawing at size x size, for the installed icon theme.
QPixmap AnalyzerIconPixmap(int size);

}  // namespace analyzer_ui
