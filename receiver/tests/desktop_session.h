#pragma once

// What end-to-end tests of the windows need from the desktop session they run in
// (scripts/x-session.sh or scripts/wayland-session.sh): its variables for the programs
// under test, their widgets read and driven over the accessibility bus, and a test tray
// that speaks the StatusNotifierItem protocol. Needs SCRIPTS_DIR.

#include <cstdlib>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/file_text.h"
#include "common/testing/shell_output.h"

namespace desktop_session {

inline const std::string kScripts = SCRIPTS_DIR;

// NAME=VALUE for each session variable set here, for a child started with a cleared
// environment.
inline std::vector<std::string> SessionVariables() {
    std::vector<std::string> variables;
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS",
          "QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "QT_ACCESSIBILITY", "NO_AT_BRIDGE"}) {
        if (const char* value = std::getenv(name)) {
            variables.push_back(std::string(name) + "=" + value);
        }
    }
    return variables;
}

// `program`, started with only the session's variables, in `dir` as its home, with its own
// runtime folder; a sanitized build keeps its options.
inline std::vector<std::string> FreshCommand(const std::string& dir, const std::string& runtimeDir,
                                             const std::vector<std::string>& program) {
    std::vector<std::string> command{"/usr/bin/env",
                                     "-i",
                                     "-C",
                                     dir,
                                     "PATH=/usr/bin:/bin",
                                     "HOME=" + dir,
                                     "XDG_RUNTIME_DIR=" + runtimeDir};
    for (const std::string& variable : SessionVariables()) {
        command.push_back(variable);
    }
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) {
            command.push_back(std::string(name) + "=" + value);
        }
    }
    command.insert(command.end(), program.begin(), program.end());
    return command;
}

inline bool OnWayland() {
    return std::getenv("WAYLAND_DISPLAY") != nullptr && std::getenv("DISPLAY") == nullptr;
}

// Single quotes for the shell.
inline std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// One line per widget of the program: depth, role, name, shown or hidden.
inline std::string Widgets(const std::string& program) {
    return test_support::ShellOutput("/usr/bin/python3 " + kScripts + "/atspi-texts.py " + program +
                                     " 1 2>/dev/null");
}

// Whether the program has a widget of that role and name in that state.
inline bool HasWidget(const std::string& program, const std::string& role, const std::string& name,
                      bool shown = true) {
    const std::string line = "\t" + role + "\t" + name + "\t" + (shown ? "shown" : "hidden");
    const std::string widgets = Widgets(program);
    for (std::size_t at = widgets.find(line); at != std::string::npos;
         at = widgets.find(line, at + 1)) {
        const std::size_t end = at + line.size();
        if (end == widgets.size() || widgets[end] == '\n') {
            return true;
        }
    }
    return false;
}

// Performs the widget's first action (a button's press), or the named one.
inline bool DoAction(const std::string& program, const std::string& role, const std::string& name,
                     const std::string& action = "") {
    const std::string command = "/usr/bin/python3 " + kScripts + "/atspi-do.py " + program + " " +
                                Quote(role) + " " + Quote(name) + " " + Quote(action) + " 5";
    return std::system((command + " >/dev/null").c_str()) == 0;
}

// The test tray: a StatusNotifierWatcher and host of its own on the session bus.
class TestTray {
  public:
    // dir is read at each use: a fixture fills it in only once the test is set up.
    explicit TestTray(const std::string& dir) : dir_(dir) {}
    ~TestTray() { host_.Signal(SIGKILL); }

    bool Start() {
        return host_.Start({"/usr/bin/python3", kScripts + "/sni-host.py", "serve"},
                           dir_ + "/sni-host.out", dir_ + "/sni-host.err") &&
               test_support::WaitFor([&] { return Registrations().starts_with("ready\n"); });
    }
    // "ready", then one line per item registered so far.
    std::string Registrations() const { return test_support::ReadFile(dir_ + "/sni-host.out"); }
    // The first item registered, as the host names it; empty while there is none.
    std::string Item() const {
        std::string lines = Registrations();
        if (!lines.starts_with("ready\n")) {
            return {};
        }
        lines.erase(0, 6);
        return lines.substr(0, lines.find('\n'));
    }
    std::string Call(const std::string& args) const {
        // Through cat, so the script's own complaints are part of what it printed.
        return test_support::ShellOutput("/usr/bin/python3 " + kScripts + "/sni-host.py " + args +
                                         " 2>&1 | cat");
    }
    bool Activate() const { return Call("activate " + Quote(Item()) + " 8 8").empty(); }
    std::string ItemProperty(const std::string& name) const {
        return Call("property " + Quote(Item()) + " " + name);
    }
    // Asks the item for its menu as a right click on it would, and returns the items of
    // the popup menu the program then shows, one a line; empty when none is shown.
    std::string ContextMenu(const std::string& program) const {
        test_support::ChildProcess listener;
        const std::string out = dir_ + "/popup.out";
        if (!listener.Start({"/usr/bin/python3", kScripts + "/atspi-popup.py", program, "8"}, out,
                            dir_ + "/popup.err") ||
            !test_support::WaitFor(
                [&] { return test_support::ReadFile(out).starts_with("listening\n"); })) {
            return {};
        }
        Call("context " + Quote(Item()) + " 8 8");
        if (listener.Wait() != 0) {
            return {};
        }
        return test_support::ReadFile(out).substr(10);
    }

  private:
    const std::string& dir_;
    test_support::ChildProcess host_;
};

}  // namespace desktop_session
