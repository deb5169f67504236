#include "analyzer/app/window_command.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/io/geoip_country.h"
#include "analyzer/ui/analyzer_window.h"
#include "common/session_environment.h"
#include "common_ui/file_text.h"
#include "common_ui/qt_desktop_prompts.h"

namespace analyzer {
namespace {

// A platform named outright (offscreen in tests) needs no display server.
bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return (platform != nullptr && *platform != '\0') ||
           common::DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
}

QtMessageHandler gPreviousHandler = nullptr;

// A display that is named but cannot be reached would end the program in an abort while
// the application starts; it ends with the reason and exit code 1 instead.
void EndWithoutWindow(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        gPreviousHandler(type, context, text);
        return;
    }
    std::fprintf(stderr,
                 "corvix: cannot show the window: %s\nTo list a log without a window: "
                 "corvix --list FILE\n",
                 qPrintable(text));
    std::_Exit(1);
}

}  // namespace

int RunWindow(int& argc, char** argv, const AnalyzerPaths& paths,
              const std::vector<std::string>& logPaths) {
    if (!HasDisplay()) {
        std::fputs(
            "corvix: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
            "set).\nTo list a log without a window: corvix --list FILE\n",
            stderr);
        return 1;
    }
    gPreviousHandler = qInstallMessageHandler(EndWithoutWindow);
    QApplication application(argc, argv);
    qInstallMessageHandler(gPreviousHandler);

    common_ui::QtDesktopPrompts prompts(common_ui::FromFileText(texts::kProgramTitle));
    analyzer_ui::AnalyzerWindow window(paths, prompts, std::make_shared<SystemHostResolver>());
    window.setCountryDatabase(std::make_shared<GeoIpCountryDatabase>());
    prompts.SetFallbackParent(&window);
    window.show();
    if (logPaths.size() == 1) {
        window.openLogFile(QFile::decodeName(logPaths.front().c_str()));
    } else if (!logPaths.empty()) {
        QStringList logs;
        for (const std::string& path : logPaths) {
            logs << QFile::decodeName(path.c_str());
        }
        window.openLogFiles(logs);
    }
    window.exec();
    return 0;
}

}  // namespace analyzer
