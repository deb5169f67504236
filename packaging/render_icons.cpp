// Writes both programs' icons into a hicolor icon theme tree, each size drawn afresh from
// the code the windows use, so small sizes stay crisp.
//   render_icons OUTPUT_DIR SIZE...
// makes OUTPUT_DIR/<SIZE>x<SIZE>/apps/velmora.png and corvix.png.

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QStringList>
#include <cstdio>

#include "analyzer/ui/analyzer_icon.h"
#include "receiver/ui/receiver_art.h"

namespace {

struct ThemeIcon {
    const char* name;
    QPixmap (*draw)(int size);
};

constexpr ThemeIcon kIcons[] = {{"velmora", receiver_ui::ProgramIconPixmap},
                                {"corvix", analyzer_ui::AnalyzerIconPixmap}};

bool Render(const QString& theme_dir, int size) {
    const QString apps = QStringLiteral("%1/%2x%2/apps").arg(theme_dir).arg(size);
    if (!QDir().mkpath(apps)) {
        std::fprintf(stderr, "render_icons: cannot make %s\n", qPrintable(apps));
        return false;
    }
    for (const ThemeIcon& icon : kIcons) {
        const QString file = QStringLiteral("%1/%2.png").arg(apps, icon.name);
        const QPixmap pixmap = icon.draw(size);
        if (pixmap.size() != QSize(size, size) || !pixmap.save(file, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(file));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Runs at build time, where there may be no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: render_icons OUTPUT_DIR SIZE...\n");
        return 2;
    }
    for (const QString& arg : args.mid(2)) {
        bool number = false;
        const int size = arg.toInt(&number);
        if (!number || size <= 0 || !Render(args[1], size)) {
            std::fprintf(stderr, "render_icons: no icons at size %s\n", qPrintable(arg));
            return 1;
        }
    }
    return 0;
}
