#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "common/profile_snapshot.h"
#include "common/profile_store.h"
#include "fuzz/fuzz_support.h"

using common::ProfileSnapshot;
using common::ProfileStore;

namespace {

constexpr std::string_view kMissing = "\x01missing";

std::string_view Trim(std::string_view s) {
    const std::size_t start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    return s.substr(start, s.find_last_not_of(" \t") - start + 1);
}

// A value reads back trimmed, and without one pair of matching quotes around it.
std::string_view ReadForm(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Lines without their line ends: a write may end the file's last line.
std::vector<std::string_view> Lines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t lf = content.find('\n');
        std::string_view line = content.substr(0, lf);
        content.remove_prefix(lf == std::string_view::npos ? content.size() : lf + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

bool IsPlainName(std::string_view name) {
    name = Trim(name);
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != ' ') {
            return false;
        }
    }
    return true;
}

// The write changed one line in place, or added the key line (after a new header when
// the section was missing); every other line is still there, in order.
void CheckOtherLinesKept(std::string_view before, std::string_view after, std::string_view section,
                         std::string_view key, std::string_view value) {
    const std::vector<std::string_view> old = Lines(before), now = Lines(after);
    if (now.size() == old.size()) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < old.size(); ++i) {
            if (old[i] != now[i]) {
                FUZZ_CHECK(now[i].ends_with(value) && now[i].find('=') != std::string_view::npos);
                ++changed;
            }
        }
        FUZZ_CHECK(changed <= 1);
        return;
    }
    std::vector<std::string_view> added;
    std::size_t i = 0;
    for (const std::string_view line : now) {
        if (i < old.size() && line == old[i]) {
            ++i;
        } else {
            added.push_back(line);
        }
    }
    FUZZ_CHECK(i == old.size());
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    const std::string header = "[" + std::string(section) + "]";
    FUZZ_CHECK((added == std::vector<std::string_view>{keyLine}) ||
               (added == std::vector<std::string_view>{header, keyLine}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::TempDir dir("profile_fuzz");
    static const std::string path = dir.path() + "/profile.ini";

    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(48);
    const std::string content = input.ConsumeRemainingBytesAsString();
    fuzz::WriteFile(path, content);

    // The store reads the file as the snapshot of the same content does.
    ProfileStore store(path);
    const ProfileSnapshot snapshot(content);
    const std::string before = snapshot.ReadString(section, key, kMissing);
    FUZZ_CHECK(store.ReadString(section, key, kMissing) == before);
    FUZZ_CHECK(store.ReadInt(section, key, -1) == snapshot.ReadInt(section, key, -1));
    FUZZ_CHECK(store.ListKeys(section, kMissing) == snapshot.ListKeys(section, kMissing));

    const bool plain = IsPlainName(section) && IsPlainName(key) &&
                       value.find_first_of("\r\n") == std::string::npos;
    if (!store.WriteString(section, key, value)) {
        FUZZ_CHECK(!plain);
        FUZZ_CHECK(fuzz::ReadFile(path) == content);
        return 0;
    }
    const std::string after = fuzz::ReadFile(path);
    const ProfileSnapshot written(after);
    FUZZ_CHECK(written.ReadString(section, key, kMissing) == ReadForm(value));
    CheckOtherLinesKept(content, after, section, key, value);

    // Clearing the section leaves it without keys.
    FUZZ_CHECK(store.ClearSection(section));
    FUZZ_CHECK(store.ListKeys(section, kMissing).empty());
    FUZZ_CHECK(store.ReadString(section, key, kMissing) == kMissing);
    return 0;
}
