#include <dirent.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "receiver/core/classification.h"
#include "receiver/core/formatting.h"
#include "receiver/core/message_record.h"
#include "receiver/core/receiver_engine.h"

using namespace receiver;

namespace {

const std::string kStamp = "09/27/2002 19:48:38";
const std::string kBanner = "---------- Log File Opened " + kStamp + " ----------\n\n";

struct FixedClock : Clock {
    std::tm LocalTime() override {
        std::tm t{};
        ::strptime(kStamp.c_str(), "%m/%d/%Y %H:%M:%S", &t);
        return t;
    }
};

struct NoSocket : TrapSocket {
    std::string LocalHostName() override { return "host"; }
    int Open(const std::string&) override { return 0; }
    void Close() override {}
};

struct Row {
    int image;
    std::string text;
};

struct RowView : ReceiverView, common::UserMessages {
    std::size_t rowCount = 0;
    std::vector<std::string> messages;
    void RowsAppended(std::size_t newRowCount) override {
        FUZZ_CHECK(newRowCount == rowCount + 1);
        rowCount = newRowCount;
    }
    void RowsCleared() override { rowCount = 0; }
    void StatusChanged(const std::string&, std::string_view) override {}
    void RunningStateChanged(RunningState) override {}
    void LostDatagramsChanged(std::uint64_t) override {}
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override {}
    void Quit(int) override {}
    void ShowMessage(common::MessageIcon, const std::string& text) override {
        messages.push_back(text);
    }
    common::Answer Ask(const std::string&, common::AnswerChoices) override {
        return common::Answer::kNo;
    }
};

std::string LogName(int kind) {
    return "Velmora-" + std::string(kLogKindNames[kind]) + "-2002-09-27.log";
}

std::set<std::string> ListDir(const std::string& path) {
    std::set<std::string> names;
    DIR* dir = ::opendir(path.c_str());
    FUZZ_CHECK(dir != nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..") {
            names.insert(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

std::string WorkingDirectory() {
    char path[4096];
    FUZZ_CHECK(::getcwd(path, sizeof path) != nullptr);
    return path;
}

// The record text as the engine must see it: a final LF dropped, the header skipped,
// cut at the first NUL, and the connection text formatted when asked.
std::string ExpectedText(std::string_view bytes, bool formatted) {
    if (!bytes.empty() && bytes.back() == '\n') {
        bytes.remove_suffix(1);
    }
    const std::string_view body = bytes.substr(std::min(bytes.size(), kHeaderLength));
    std::string text(body.substr(0, body.find('\0')));
    if (formatted && text.starts_with('@')) {
        text = "@" + FormatConnectionText(text.substr(1));
    }
    return text;
}

// What a record's text makes of it: a connection record ("@" first) by its direction
// letter, anything else a control message.
struct Meaning {
    std::string_view body;
    int image;
    LogKind logKind;
    LogKind shownKind;  // the display flag that shows it
};

Meaning MeaningOf(std::string_view text) {
    if (!text.starts_with('@')) {
        return {text, kImageControl, kMessages, kMessages};
    }
    switch (text.size() > 1 ? text[1] : '\0') {
        case 'i':
            return {text.substr(1), kImageIncoming, kIncoming, kIncoming};
        case 'o':
            return {text.substr(1), kImageOutgoing, kOutgoing, kOutgoing};
        default:
            return {text.substr(1), kImageControl, kOutgoing, kMessages};
    }
}

void CheckClassification(std::string_view text, const KindFlags& flags, bool combined) {
    const Meaning want = MeaningOf(text);
    const auto log = ClassifyForLog(text, flags, combined);
    FUZZ_CHECK(log.has_value() == (flags[want.logKind] != 0));
    FUZZ_CHECK(!log ||
               (log->body == want.body && log->kind == (combined ? kCombined : want.logKind)));
    const auto shown = ClassifyForDisplay(text, flags);
    FUZZ_CHECK(shown.has_value() == (flags[want.shownKind] != 0));
    FUZZ_CHECK(!shown || (shown->columnText == want.body && shown->image == want.image));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::TempDir root("datagram_fuzz");
    static const std::string logs = root.path() + "/logs";
    const std::string cwd = WorkingDirectory();

    FuzzedDataProvider input(data, size);
    const auto options = input.ConsumeIntegral<std::uint8_t>();
    const bool formatted = options & 1, combined = options & 2, flushEveryLine = options & 4;
    const KindFlags flags{(options >> 3 & 1) != 0, (options >> 4 & 1) != 0, (options >> 5 & 1) != 0,
                          false};
    const std::string first = input.ConsumeRandomLengthString(kReceiveLength + 16);
    const std::string second = input.ConsumeRemainingBytesAsString();

    CheckClassification(first, flags, options & 64);

    ReceiverSettings settings;
    settings.displayFlags = {1, 1, 1, 0};
    settings.logFlags = {1, 1, 1, 0};
    settings.formatted = formatted;
    settings.combined = combined;
    CommandLine commandLine;
    commandLine.flushEveryLine = flushEveryLine;
    FixedClock clock;
    NoSocket socket;
    RowView view;

    std::array<std::string, kLogKindCount> expectedLogs;
    std::vector<Row> expectedRows;
    {
        ReceiverEngine engine(settings, commandLine, logs, clock, socket, view, view);
        engine.SetUp();
        for (int kind = 0; kind < kLogKindCount; ++kind) {
            if ((kind == kCombined) == combined) {
                expectedLogs[kind] = kBanner;
            }
        }
        for (const std::string& bytes : {first, second}) {
            engine.ReceiveMessage({0, bytes});
            FUZZ_CHECK(WorkingDirectory() == cwd);
            if (bytes.size() > kReceiveLength) {
                continue;
            }
            // Every kind is shown and logged, so each datagram gives a row and a line.
            const std::string text = ExpectedText(bytes, formatted);
            const Meaning want = MeaningOf(text);
            expectedRows.push_back({want.image, std::string(want.body)});
            const LogKind kind = combined ? kCombined : want.logKind;
            expectedLogs[kind] += kStamp + " " + std::string(want.body) + "\n";
        }
        const MessageStore& rows = engine.messages();
        FUZZ_CHECK(rows.size() == expectedRows.size() && view.rowCount == rows.size());
        FUZZ_CHECK(engine.recordCountText() == FormatCount(static_cast<int>(rows.size())));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const MessageRow got = rows.Row(i);
            FUZZ_CHECK(got.stamp == kStamp && got.image == expectedRows[i].image);
            FUZZ_CHECK(got.text == expectedRows[i].text);
        }
    }

    FUZZ_CHECK(view.messages.empty());

    // Only the day's log files, only in the logs directory, each holding what was sent.
    FUZZ_CHECK(ListDir(root.path()) == std::set<std::string>{"logs"});
    std::set<std::string> expectedNames;
    for (int kind = 0; kind < kLogKindCount; ++kind) {
        if (!expectedLogs[kind].empty()) {
            expectedNames.insert(LogName(kind));
        }
    }
    FUZZ_CHECK(ListDir(logs) == expectedNames);
    for (int kind = 0; kind < kLogKindCount; ++kind) {
        if (!expectedLogs[kind].empty()) {
            const std::string path = logs + "/" + LogName(kind);
            FUZZ_CHECK(fuzz::ReadFile(path) == expectedLogs[kind]);
            ::unlink(path.c_str());
        }
    }
    return 0;
}
