#include "analyzer/ui/viewer_launch.h"

#include <QProcess>

namespace analyzer_ui {

std::optional<ViewerLaunch> ViewerLaunchFor(const QString& viewerText, const QString& logPath) {
    QStringList words = QProcess::splitCommand(viewerText);
    if (words.isEmpty()) {
        return std::nullopt;
    }
    ViewerLaunch launch{words.takeFirst(), words};
    launch.arguments << logPath;
    return launch;
}

}  // namespace analyzer_ui
