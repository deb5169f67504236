// The window's cost over the receiver: velmora's main window (offscreen, every display
// flag on) beside the bare receiver, fed by the blaster over loopback.
// Run: build/bench/receiver_window_bench [--flood=N] [--steady=N] [--rows=N] [--json]
// Prints figures only, as text or with --json as one JSON object; nothing is asserted.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_process.h"
#include "bench/json_object.h"
#include "common_ui/testing/scripted_prompts.h"
#include "receiver/app/receiver_session.h"
#include "receiver/core/message_record.h"
#include "receiver/ui/receiver_window.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

double CpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) {
            ticks += std::stod(field);
        }
    }
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double OwnCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long VoluntarySwitches() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("voluntary_ctxt_switches:")) {
            return std::stol(line.substr(24));
        }
    }
    return -1;
}

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    // Their own reports would mix into this program's table.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    ::posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

int WaitExit(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

pid_t StartBlaster(int port, long count, long rate) {
    return Spawn({BLASTER, "--port=" + std::to_string(port), "--count=" + std::to_string(count),
                  "--rate=" + std::to_string(rate)});
}

long LinesIn(const fs::path& path) {
    std::ifstream in(path);
    return std::count(std::istreambuf_iterator<char>(in), {}, '\n');
}

struct Trial {
    long received = 0;
    double cpuSeconds = 0;
    unsigned long long lost = 0;  // by the window
};

// The bare receiver: received lines once its output stops growing, and its CPU time.
Trial RunBare(const fs::path& dir, int port, long count, long rate) {
    const fs::path out = dir / "bare.txt";
    const pid_t bare =
        Spawn({BARE_RECEIVER, "--port=" + std::to_string(port), "--out=" + out.string()});
    std::this_thread::sleep_for(300ms);
    const double before = CpuSecondsOf(bare);
    WaitExit(StartBlaster(port, count, rate));
    // Its output is buffered: it is done when its CPU time stops moving.
    double last = -1;
    for (double now = CpuSecondsOf(bare); now != last; now = CpuSecondsOf(bare)) {
        last = now;
        std::this_thread::sleep_for(300ms);
    }
    Trial trial{0, CpuSecondsOf(bare) - before};
    ::kill(bare, SIGTERM);
    WaitExit(bare);
    trial.received = LinesIn(out);
    return trial;
}

class BenchWindow {
  public:
    explicit BenchWindow(const fs::path& dir) {
        fs::create_directories(dir);
        options_.settings.displayFlags = {1, 1, 1, 0};
        options_.settings.logFlags = {1, 1, 1, 0};
        options_.logDirectory = (dir / "logs").string();
        options_.port = 0;
        profile_.emplace((dir / "velmora.ini").string());
        dialog_.emplace(*profile_, prompts_, false);
        session_.emplace(options_, *dialog_, prompts_);
        dialog_->setUp(session_->engine());
        session_->start();
        dialog_->show();
        QElapsedTimer waited;
        waited.start();
        while (!session_->engine().socketOpen() && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (!session_->engine().socketOpen()) {
            std::fprintf(stderr, "receiver_window_bench: the window did not start listening\n");
            std::exit(1);
        }
    }
    ~BenchWindow() { session_->finish(); }

    int port() const { return session_->port(); }
    long handled() {
        return static_cast<long>(session_->engine().recordCount() + session_->lostDatagrams());
    }
    receiver::ReceiverSession& session() { return *session_; }
    receiver_ui::ReceiverWindow& dialog() { return *dialog_; }

    // Runs the event loop until `count` datagrams were listed or lost, or nothing came
    // for two seconds. The loop sleeps between events; a tenth-second check adds little.
    void RunUntilHandled(long count) {
        QEventLoop loop;
        QTimer check;
        QElapsedTimer quiet;
        quiet.start();
        long seen = handled();
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (handled() != seen) {
                seen = handled();
                quiet.restart();
            }
            if (handled() >= count || quiet.elapsed() >= 2000) {
                loop.quit();
            }
        });
        check.start(100);
        loop.exec();
    }

  private:
    receiver::SessionOptions options_;
    std::optional<common::ProfileStore> profile_;
    test_support::ScriptedPrompts prompts_;
    std::optional<receiver_ui::ReceiverWindow> dialog_;
    std::optional<receiver::ReceiverSession> session_;
};

Trial RunWindow(const fs::path& dir, long count, long rate) {
    BenchWindow window(dir);
    const double before = OwnCpuSeconds();
    const pid_t blaster = StartBlaster(window.port(), count, rate);
    window.RunUntilHandled(count);
    WaitExit(blaster);
    return {static_cast<long>(window.session().engine().recordCount()), OwnCpuSeconds() - before,
            static_cast<unsigned long long>(window.session().lostDatagrams())};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication application(argc, argv);
    const long flood = bench::Option(argc, argv, "flood", 500000);
    const long steady = bench::Option(argc, argv, "steady", 100000);
    const long rows = bench::Option(argc, argv, "rows", 1000000);
    char pattern[] = "/tmp/velmora-window-bench-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    const int barePort = 16163;
    const bool json = bench::JsonWanted(argc, argv);
    bench::JsonObject figures;

    if (!json) {
        std::printf(
            "velmora window (offscreen, every display flag on) against the bare receiver\n");
    }
    const auto reportLost = [json](const Trial& window) {
        if (!json && window.lost != 0) {
            std::printf("  (window lost %llu datagrams)\n", window.lost);
        }
    };

    const Trial bareFlood = RunBare(dir, barePort, flood, 0);
    const Trial windowFlood = RunWindow(dir / "flood", flood, 0);
    const double bareRate = static_cast<double>(bareFlood.received) / bareFlood.cpuSeconds;
    const double windowRate = static_cast<double>(windowFlood.received) / windowFlood.cpuSeconds;
    reportLost(windowFlood);
    if (json) {
        figures.Add("flood", bench::JsonObject()
                                 .Add("sent", flood)
                                 .Add("bare_received", bareFlood.received)
                                 .Add("bare_per_cpu_second", bareRate)
                                 .Add("window_received", windowFlood.received)
                                 .Add("window_per_cpu_second", windowRate)
                                 .Add("window_lost", windowFlood.lost));
    } else {
        std::printf(
            "flooded, %ld sent: bare %ld received, %.0f per CPU-s; window %ld received, "
            "%.0f per CPU-s; window/bare %.2f (target >= 0.5)\n",
            flood, bareFlood.received, bareRate, windowFlood.received, windowRate,
            windowRate / bareRate);
    }

    const Trial bareSteady = RunBare(dir, barePort, steady, 10000);
    const Trial windowSteady = RunWindow(dir / "steady", steady, 10000);
    const double barePer100k =
        bareSteady.cpuSeconds / static_cast<double>(bareSteady.received) * 1e5;
    const double windowPer100k =
        windowSteady.cpuSeconds / static_cast<double>(windowSteady.received) * 1e5;
    reportLost(windowSteady);
    if (json) {
        figures.Add("steady", bench::JsonObject()
                                  .Add("rate", 10000)
                                  .Add("sent", steady)
                                  .Add("bare_received", bareSteady.received)
                                  .Add("bare_cpu_seconds_per_100k", barePer100k)
                                  .Add("window_received", windowSteady.received)
                                  .Add("window_cpu_seconds_per_100k", windowPer100k)
                                  .Add("window_lost", windowSteady.lost));
    } else {
        std::printf(
            "steady 10,000/s, %ld sent: CPU-s per 100,000: bare %.3f (%ld received), "
            "window %.3f (%ld received); window/bare %.2f (target <= 3)\n",
            steady, barePer100k, bareSteady.received, windowPer100k, windowSteady.received,
            windowPer100k / barePer100k);
    }

    {
        BenchWindow window(dir / "rows");
        // Idle: nothing arrives, nothing should wake the thread.
        // A real event loop: processEvents with a time limit spins instead of sleeping,
        // and a spinning thread is never counted as woken. The timer ending it is one.
        const long switchesBefore = VoluntarySwitches();
        QEventLoop idle;
        QTimer::singleShot(5000, &idle, &QEventLoop::quit);
        idle.exec();
        const long wakeUps = VoluntarySwitches() - switchesBefore;
        if (json) {
            figures.Add("idle_seconds", 5).Add("idle_wake_ups", wakeUps);
        } else {
            std::printf("idle 5 s: %ld wake-ups\n", wakeUps);
        }

        const long before = bench::ResidentBytes();
        std::string datagram(receiver::kHeaderLength, 'H');
        datagram += "@in 203.0.113.45 4512 198.51.100.7 80";
        for (long i = 0; i < rows; ++i) {
            window.session().engine().ReceiveMessage({0, datagram});
            if (i % 4096 == 0) {
                QCoreApplication::processEvents();
            }
        }
        window.dialog().flushRows();
        QCoreApplication::processEvents();
        const long after = bench::ResidentBytes();
        const long listed = static_cast<long>(window.dialog().model().rowCount());
        const double perRow = static_cast<double>(after - before) / static_cast<double>(rows);
        if (json) {
            figures.Add("rows_listed", listed).Add("resident_bytes_per_row", perRow);
        } else {
            std::printf("%ld rows listed: %.0f resident bytes per row (target <= 200)\n", listed,
                        perRow);
        }
    }
    fs::remove_all(dir);
    if (json) {
        figures.Print();
    }
    return 0;
}
