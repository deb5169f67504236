#include "receiver/core/command_line.h"

#include <charconv>

#include "common/session_environment.h"
#include "receiver/core/message_record.h"

namespace receiver {
namespace {

bool ParsePort(std::string_view text, int& port) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 65535) {
        return false;
    }
    port = value;
    return true;
}

void ParseSwitch(std::string_view letters, CommandLine& line) {
    if (letters.empty()) {
        return;
    }
    switch (letters.front()) {
        case 'i':
            line.startHidden = true;
            break;
        case 's':
            line.showSplash = false;
            break;
        case 'v':
            line.serviceMode = true;
            break;
        case 'f':
            line.flushEveryLine = true;
            break;
        default:
            break;
    }
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    line.port = kTrapPort;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!argument.starts_with("--")) {
            if (argument.starts_with('-') || argument.starts_with('/')) {
                ParseSwitch(argument.substr(1), line);
            }
            continue;
        }
        // "--name=value", or "--name value" with the value as the next argument.
        const auto value = [&](std::string_view name, std::string_view& text) {
            if (argument.starts_with(name) && argument.size() > name.size() &&
                argument[name.size()] == '=') {
                text = argument.substr(name.size() + 1);
                return true;
            }
            if (argument != name) {
                return false;
            }
            text = i + 1 < argc ? std::string_view(argv[++i]) : std::string_view();
            return true;
        };
        std::string_view text;
        if (argument == "--headless") {
            line.headless = true;
        } else if (argument == "--help") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else if (value("--port", text)) {
            if (!ParsePort(text, line.port)) {
                line.error =
                    "--port takes a number from 0 to 65535, not \"" + std::string(text) + "\"";
            }
        } else if (value("--send", text)) {
            if (text != "start" && text != "stop") {
                line.error = "--send takes start or stop, not \"" + std::string(text) + "\"";
            }
            line.send = text;
        } else {
            line.error = "unknown option " + std::string(argument);
        }
    }
    return line;
}

std::string ProfilePath(const char* xdgConfigHome, const std::string& home) {
    return common::ConfigHome(xdgConfigHome, home) + "/velmora.ini";
}

std::string UsageText() {
    return "Usage: velmora [-i] [-s] [-v] [-f] [--headless] [--port=N]\n"
           "       velmora --send=start|stop\n"
           "Receives the router's trap datagrams and writes them to daily logs in ./logs.\n"
           "\n"
           "  -i          start hidden, with only the tray icon (window only)\n"
           "  -s          no splash window at start (window only)\n"
           "  -v          keep running when the session ends (SIGHUP is ignored)\n"
           "  -f          flush every log line to disk at once\n"
           "  --headless  run without windows; status lines go to stderr\n"
           "  --port=N    listen on UDP port N instead of 162; 0 finds a free port\n"
           "  --send=start|stop\n"
           "              start or stop listening in the copy already running\n"
           "  --help      show this text and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "Port 162 is privileged: without privilege the status reads \"Error: SNMP UDP\n"
           "socket returned error code 13.\" (13 is EACCES). Never run the window as root;\n"
           "give the program file the one capability it needs\n"
           "  sudo setcap cap_net_bind_service=+ep \"$(command -v velmora)\"\n"
           "(dropped again by every upgrade or copy of the file), run the velmora.socket\n"
           "service, which hands the port over (LISTEN_FDS), or use --port=1162 with a\n"
           "firewall redirect from 162. See velmora(1).\n";
}

}  // namespace receiver
