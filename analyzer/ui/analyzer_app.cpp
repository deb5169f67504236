#include "analyzer/ui/analyzer_app.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "analyzer/core/analyzer_paths.h"
#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/ui/analyzer_dialog.h"
#include "analyzer/ui/dialog_editors.h"
#include "common/ui/qt_desktop_prompts.h"

namespace analyzer_ui {
namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

int CAnalyzerApp::InitInstance(int& argc, char** argv, const std::string& logPath) {
    if (!HasDisplay()) {
        std::fputs(
            "corvix: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
            "set).\nTo list a log without a window: corvix --list FILE\n",
            stderr);
        return 1;
    }
    QApplication application(argc, argv);
    const std::optional<std::string> program = analyzer::ProgramFilePath();
    const analyzer::AnalyzerPaths paths =
        analyzer::AnalyzerPathsFor(program ? *program : std::string(argv[0]));

    const std::string_view title = analyzer::texts::kProgramTitle;
    common_ui::QtDesktopPrompts prompts(QString::fromLatin1(title.data(), title.size()));
    DialogEditors editors(paths, prompts);
    CAnalyzerDialog dialog(paths, prompts, editors,
                           std::make_shared<analyzer::SystemHostResolver>());
    prompts.SetFallbackParent(&dialog);
    dialog.show();
    if (!logPath.empty()) {
        dialog.OpenLogFile(QString::fromLocal8Bit(logPath.c_str()));
    }
    dialog.exec();
    return 0;
}

}  // namespace analyzer_ui
