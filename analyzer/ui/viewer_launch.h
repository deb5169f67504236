#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace analyzer_ui {

// A viewer program and the arguments it is started with.
struct ViewerLaunch {
    QString program;
    QStringList arguments;
};

// The viewer text split into words as a shell would split them, but never run through
// one, with the log's path appended as one argument whatever it holds. Nothing when the
// text names no program.
std::optional<ViewerLaunch> ViewerLaunchFor(const QString& viewerText, const QString& logPath);

}  // namespace analyzer_ui
