// The list commands on a big list: Select All, Find and Select All, and Copy over a
// million rows of velmora's main window (offscreen), each timed, with the resident
// memory it adds. Run: build/bench/list_commands_bench [--rows=N] [--json]
// Prints figures only, as text or with --json as one JSON object; nothing is asserted.
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_process.h"
#include "bench/json_object.h"
#include "common_ui/testing/scripted_prompts.h"
#include "receiver/app/receiver_session.h"
#include "receiver/ui/find_messages_dialog.h"
#include "receiver/ui/receiver_window.h"

namespace {
// With --json the text lines still print, but into /dev/null: the figures are kept here
// and go out as one object on what was stdout, at the end.
std::FILE* jsonOut = nullptr;
std::vector<bench::JsonObject> measured;

std::FILE* TakeStdoutForJson() {
    std::fflush(stdout);
    const int fd = ::dup(STDOUT_FILENO);
    if (fd < 0 || std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("list_commands_bench");
        std::exit(1);
    }
    return ::fdopen(fd, "w");
}

void Measure(const char* what, const std::function<void()>& work) {
    const long before = bench::ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    work();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double addedMb = static_cast<double>(bench::ResidentBytes() - before) / 1e6;
    std::printf("%-36s %8.3f s   %+8.1f MB resident\n", what, seconds, addedMb);
    measured.push_back(bench::JsonObject()
                           .Add("name", what)
                           .Add("seconds", seconds)
                           .Add("resident_mb_added", addedMb));
}

}  // namespace

int main(int argc, char** argv) {
    const long rows = bench::Option(argc, argv, "rows", 1'000'000);
    if (bench::JsonWanted(argc, argv)) {
        jsonOut = TakeStdoutForJson();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("list_commands_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    common::ProfileStore profile((dir / "velmora.ini").string());
    test_support::ScriptedPrompts prompts;
    // Boxes after a find only report; nothing asks.
    receiver::SessionOptions options;
    options.settings.displayFlags = {1, 1, 1, 0};
    options.logDirectory = (dir / "logs").string();
    receiver_ui::ReceiverWindow window(profile, prompts, false);
    receiver::ReceiverSession session(options, window, prompts);
    window.setUp(session.engine());
    window.show();

    const std::string header(73, 'h');
    std::string text;
    for (long i = 0; i < rows; ++i) {
        // Every seventh row names the port the find looks for.
        text = header + "@in 203.0.113." + std::to_string(i % 250) + " " +
               std::to_string(1024 + i % 60000) + " 198.51.100.7 " + (i % 7 == 0 ? "8080" : "80");
        session.engine().ReceiveMessage({0, text});
    }
    window.flushRows();
    std::printf("%ld rows in the list, %.1f MB resident\n", rows,
                static_cast<double>(bench::ResidentBytes()) / 1e6);
    const double residentMb = static_cast<double>(bench::ResidentBytes()) / 1e6;

    prompts.answerDialog([](QDialog& dialog) {
        auto& find = dynamic_cast<receiver_ui::FindMessagesDialog&>(dialog);
        find.controlAs<QLineEdit>(1028)->setText("198.51.100.7 8080");
        find.controlAs<QAbstractButton>(1029)->setChecked(true);
        find.accept();
        return find.result();
    });
    receiver_ui::ReceiverActions& actions = window.receiverActions();
    Measure("Select All", [&] { actions.selectAll->trigger(); });
    Measure("Unselect All", [&] { actions.unselectAll->trigger(); });
    Measure("Find and Select All (1 row in 7)", [&] { actions.findMessages->trigger(); });
    Measure("Select All, then Copy", [&] {
        actions.selectAll->trigger();
        actions.copy->trigger();
    });
    std::printf("clipboard holds %lld characters\n",
                static_cast<long long>(QApplication::clipboard()->text().size()));
    if (jsonOut != nullptr) {
        std::fprintf(jsonOut, "%s\n",
                     bench::JsonObject()
                         .Add("rows", rows)
                         .Add("resident_mb", residentMb)
                         .Add("commands", measured)
                         .Add("clipboard_characters",
                              static_cast<long long>(QApplication::clipboard()->text().size()))
                         .Text()
                         .c_str());
        std::fclose(jsonOut);
    }

    session.finish();
    std::filesystem::remove_all(dir);
    return 0;
}
