#include "analyzer/core/option_pages.h"

#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/settings_file.h"
#include "common/profile_store.h"

#include <algorithm>
#include <vector>

namespace analyzer {
namespace {

std::string_view NextField(std::string_view& rest) {
    const std::size_t bar = rest.find('|');
    const std::string_view field = rest.substr(0, bar);
    rest.remove_prefix(bar == std::string_view::npos ? rest.size() : bar + 1);
    return field;
}

std::string QtPatterns(std::string_view patterns) {
    std::vector<std::string_view> kept;
    while (!patterns.empty()) {
        const std::size_t semicolon = patterns.find(';');
        std::string_view pattern = patterns.substr(0, semicolon);
        patterns.remove_prefix(semicolon == std::string_view::npos ? patterns.size()
                                                                   : semicolon + 1);
        if (pattern == "*.*" || pattern == "*.exe") {
            pattern = "*";
        }
        if (!pattern.empty() && std::find(kept.begin(), kept.end(), pattern) == kept.end()) {
            kept.push_back(pattern);
        }
    }
    std::string text;
    for (const std::string_view pattern : kept) {
        text.append(text.empty() ? "" : " ").append(pattern);
    }
    return text;
}

// The label without the pattern list it may already show, which Qt adds anew.
std::string_view BareLabel(std::string_view label) {
    const std::size_t open = label.rfind(" (");
    if (open != std::string_view::npos && label.ends_with(')')) {
        return label.substr(0, open);
    }
    return label;
}

}  // namespace

DirectoryOptions ReadDirectoryOptions(const std::string& settingsFilePath) {
    SettingsFile settings(settingsFilePath);
    return {settings.ReadString(options::kSection, options::kLogPath, ""),
            settings.ReadString(options::kSection, options::kViewer, "")};
}

CopyOptions ReadCopyOptions(const std::string& settingsFilePath) {
    SettingsFile settings(settingsFilePath);
    return {IsMaskingOn(settings), OptionsPageMask(settings)};
}

bool WriteDirectoryOptions(const std::string& settingsFilePath, const DirectoryOptions& values) {
    common::ProfileStore store(settingsFilePath);
    const bool logPathWritten =
        store.WriteString(options::kSection, options::kLogPath, values.logPath);
    return store.WriteString(options::kSection, options::kViewer, values.viewer) && logPathWritten;
}

bool WriteCopyOptions(const std::string& settingsFilePath, const CopyOptions& values) {
    common::ProfileStore store(settingsFilePath);
    const bool switchWritten = store.WriteString(options::kSection, options::kMaskInboundTarget,
                                                 values.maskInboundTarget ? "1" : "0");
    return store.WriteString(options::kSection, options::kIpMask, values.ipMask) && switchWritten;
}

std::string ViewerTextOfProgram(std::string_view path) {
    std::string text;
    std::string_view rest = path;
    while (true) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        const bool plain = std::none_of(part.begin(), part.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte <= ' ' || byte == '"' || byte >= 0x7f;
        });
        if (plain) {
            text.append(part);
        } else {
            text.append("\"");
            for (const char c : part) {
                text.append(c == '"' ? "\"\"\"" : std::string(1, c));
            }
            text.append("\"");
        }
        if (slash == std::string_view::npos) {
            break;
        }
        text.append("/");
        rest.remove_prefix(slash + 1);
    }
    // A value in quotes from end to end loses them when read back from the settings file.
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text.insert(0, "./");
    }
    return text;
}

std::string DirectoryOfChosenFile(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
}

std::string ToQtFileFilters(std::string_view filterList) {
    std::string filters;
    std::string_view rest = filterList;
    while (!rest.empty()) {
        const std::string_view label = NextField(rest);
        const std::string_view patterns = NextField(rest);
        if (label.empty() && patterns.empty()) {
            break;
        }
        filters.append(filters.empty() ? "" : ";;")
            .append(BareLabel(label))
            .append(" (")
            .append(QtPatterns(patterns))
            .append(")");
    }
    return filters;
}

}  // namespace analyzer
