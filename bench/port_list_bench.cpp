// The port list editor on a port file of 65,536 definitions: opening, finding and saving,
// in the core alone and through the window (offscreen). Figures only; nothing is asserted.
// Run: build/bench/port_list_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "analyzer/core/port_list_editor.h"
#include "analyzer/ui/find_port_dialog.h"
#include "analyzer/ui/port_definition_dialog.h"
#include "analyzer/ui/port_list_dialog.h"
#include "common/testing/scripted_messages.h"
#include "common_ui/testing/scripted_prompts.h"

namespace {

constexpr int kDefinitions = 65536;
// The first row: the search starts at the second row and meets this one last.
constexpr const char* kFirstPort = "0";

std::string PortFile() {
    static const std::string path = [] {
        std::string dir = "/tmp/port_list_bench.XXXXXX";
        if (::mkdtemp(dir.data()) == nullptr) {
            std::abort();
        }
        std::ofstream file(dir + "/corvix.ports", std::ios::binary);
        for (int port = 0; port < kDefinitions; ++port) {
            file << port << "\tservice number " << port << " of the generated table\n";
        }
        file << "# generated: port TAB use\n";
        return dir + "/corvix.ports";
    }();
    return path;
}

// Every dialog of the window answered at once: Find asks for the first row's port, a port
// dialog takes its description with "!" added.
class InstantPrompts : public test_support::ScriptedPrompts {
  public:
    int RunDialog(QDialog& dialog) override {
        if (auto* find = dynamic_cast<analyzer_ui::FindPortDialog*>(&dialog)) {
            find->portField()->setText(QString::fromLatin1(kFirstPort));
            return QDialog::Accepted;
        }
        if (auto* port = dynamic_cast<analyzer_ui::PortDefinitionDialog*>(&dialog)) {
            port->descriptionField()->setText(port->descriptionField()->text() + "!");
            return QDialog::Accepted;
        }
        return QDialog::Rejected;
    }
};

void CoreOpen(benchmark::State& state) {
    test_support::ScriptedMessages messages;
    analyzer::PortListEditor editor(PortFile(), messages);
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor.Load());
    }
    state.counters["rows"] = static_cast<double>(editor.rows().size());
}

void CoreFindLastSearched(benchmark::State& state) {
    test_support::ScriptedMessages messages;
    analyzer::PortListEditor editor(PortFile(), messages);
    editor.Load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor.Find(kFirstPort));
    }
}

void CoreSave(benchmark::State& state) {
    test_support::ScriptedMessages messages;
    analyzer::PortListEditor editor(PortFile(), messages);
    editor.Load();
    for (auto _ : state) {
        editor.Edit(1, "changed");
        benchmark::DoNotOptimize(editor.SaveChanges());
    }
}

// Construction loads the file; the window is then shown and painted once.
void WindowOpen(benchmark::State& state) {
    InstantPrompts prompts;
    for (auto _ : state) {
        analyzer_ui::PortListDialog window(PortFile(), prompts);
        window.show();
        QApplication::processEvents();
    }
}

// Find of the row searched last, selected and scrolled into view.
void WindowFind(benchmark::State& state) {
    InstantPrompts prompts;
    analyzer_ui::PortListDialog window(PortFile(), prompts);
    window.show();
    for (auto _ : state) {
        window.list()->scrollToBottom();
        window.findPort();
        QApplication::processEvents();
    }
}

// Edit of a row near the end, then Save Changes rewriting the whole file.
void WindowEditAndSave(benchmark::State& state) {
    InstantPrompts prompts;
    analyzer_ui::PortListDialog window(PortFile(), prompts);
    window.show();
    const QModelIndex row = window.list()->model()->index(kDefinitions - 1, 0);
    for (auto _ : state) {
        window.list()->setCurrentIndex(row);
        window.editPort();
        window.saveChanges();
        QApplication::processEvents();
    }
}

BENCHMARK(CoreOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(CoreFindLastSearched)->Unit(benchmark::kMillisecond);
BENCHMARK(CoreSave)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowFind)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowEditAndSave)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::path(PortFile()).parent_path());
    return 0;
}
