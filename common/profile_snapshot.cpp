#include "common/profile_snapshot.h"

#include "common/ascii.h"
#include "common/file_io.h"
#include "common/profile_lines.h"

#include <algorithm>

namespace common {

std::size_t ProfileSnapshot::NoCaseHash::operator()(std::string_view text) const {
    std::size_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    }
    return hash;
}

bool ProfileSnapshot::NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsIgnoringAsciiCase(a, b);
}

ProfileSnapshot::ProfileSnapshot(std::string_view content) {
    Section* current = nullptr;
    for (profile::Line& line : profile::ParseLines(content)) {
        if (line.kind == profile::LineKind::kSection) {
            // A repeated section is never read: lookups stop at the first one.
            const auto [it, added] = sections_.try_emplace(std::move(line.name));
            current = added ? &it->second : nullptr;
        } else if (line.kind == profile::LineKind::kKey && current != nullptr) {
            current->index.try_emplace(line.name, current->keys.size());
            current->keys.emplace_back(std::move(line.name), std::move(line.value));
        }
    }
}

ProfileSnapshot ProfileSnapshot::Load(const std::string& path) {
    std::string content;
    if (ReadWholeFile(path, content) != ReadResult::kOk) {
        return ProfileSnapshot();
    }
    return ProfileSnapshot(content);
}

std::optional<std::string_view> ProfileSnapshot::Find(std::string_view section,
                                                      std::string_view key) const {
    const auto s = sections_.find(profile::Trim(section));
    if (s == sections_.end()) {
        return std::nullopt;
    }
    const auto k = s->second.index.find(profile::Trim(key));
    if (k == s->second.index.end()) {
        return std::nullopt;
    }
    return s->second.keys[k->second].second;
}

std::string ProfileSnapshot::ReadString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue, std::size_t capacity) const {
    std::string result(Find(section, key).value_or(defaultValue));
    if (capacity != kUnlimited) {
        result.resize(std::min(result.size(), capacity == 0 ? 0 : capacity - 1));
    }
    return result;
}

int ProfileSnapshot::ReadInt(std::string_view section, std::string_view key,
                             int defaultValue) const {
    const std::optional<std::string_view> value = Find(section, key);
    return value ? profile::LeadingNumber(*value) : defaultValue;
}

std::vector<std::string> ProfileSnapshot::ListKeys(std::string_view section,
                                                   std::string_view defaultName) const {
    const auto s = sections_.find(profile::Trim(section));
    if (s == sections_.end()) {
        return defaultName.empty() ? std::vector<std::string>{}
                                   : std::vector<std::string>{std::string(defaultName)};
    }
    std::vector<std::string> names;
    names.reserve(s->second.keys.size());
    for (const auto& [name, value] : s->second.keys) {
        names.push_back(name);
    }
    return names;
}

}  // namespace common
