#include "receiver/core/receiver_settings.h"

#include <array>

#include "common/ascii.h"
#include "common/text_format.h"
#include "receiver/core/receiver_texts.h"

namespace receiver {
namespace {

constexpr std::string_view kDefaults = "Defaults";
constexpr std::string_view kDisplayOptions = "Display Options";
constexpr std::string_view kLoggingOptions = "Logging Options";
constexpr std::string_view kFindOptions = "Find Options";

constexpr std::string_view kInitialized = "initialized";
constexpr std::string_view kFormatted = "formatted";
constexpr std::string_view kCombinedKey = "combined";
constexpr std::string_view kDirection = "direction";
constexpr std::string_view kFindAll = "find all";
constexpr std::string_view kMatchCase = "match case";
constexpr std::string_view kLastFind = "last find";

bool ReadFlag(const common::ProfileStore& profile, std::string_view section, std::string_view key,
              std::string_view defaultValue) {
    return IsTrueValue(profile.ReadString(section, key, defaultValue));
}

std::string_view OnOff(bool flag) {
    return flag ? "On" : "Off";
}
std::string_view OneZero(bool flag) {
    return flag ? "1" : "0";
}

}  // namespace

bool IsTrueValue(std::string_view text) {
    for (std::string_view truth : {"On", "Yes", "True", "1"}) {
        if (common::EqualsIgnoringAsciiCase(text, truth)) {
            return true;
        }
    }
    return false;
}

bool ReceiverSettings::LoadSettings(const common::ProfileStore& profile) {
    bool anySet = ReadFlag(profile, kDefaults, kInitialized, "No");
    for (int i = 0; i < kLogKindCount; ++i) {
        displayFlags[i] = ReadFlag(profile, kDisplayOptions, kLogKindNames[i], "Off");
        anySet = anySet || displayFlags[i];
    }
    for (int i = 0; i < kLogKindCount; ++i) {
        logFlags[i] = ReadFlag(profile, kLoggingOptions, kLogKindNames[i], "Off");
        anySet = anySet || logFlags[i];
    }
    formatted = ReadFlag(profile, kDefaults, kFormatted, "Off");
    combined = ReadFlag(profile, kDefaults, kCombinedKey, "Off");
    searchUp = ReadFlag(profile, kFindOptions, kDirection, "0");
    findAll = ReadFlag(profile, kFindOptions, kFindAll, "0");
    matchCase = ReadFlag(profile, kFindOptions, kMatchCase, "0");
    lastFindText = profile.ReadString(kFindOptions, kLastFind, "");
    return anySet;
}

bool ReceiverSettings::SaveOptions(common::ProfileStore& profile) const {
    common::ProfileBatch batch;
    // The "combined" keys of the two groups are never written.
    for (int i = kIncoming; i <= kMessages; ++i) {
        batch.WriteString(kDisplayOptions, kLogKindNames[i], OnOff(displayFlags[i]));
    }
    for (int i = kIncoming; i <= kMessages; ++i) {
        batch.WriteString(kLoggingOptions, kLogKindNames[i], OnOff(logFlags[i]));
    }
    batch.WriteString(kDefaults, kFormatted, OnOff(formatted));
    batch.WriteString(kDefaults, kCombinedKey, OnOff(combined));
    return profile.WriteBatch(batch);
}

bool ReceiverSettings::SaveFindOptions(common::ProfileStore& profile) const {
    common::ProfileBatch batch;
    batch.WriteString(kFindOptions, kLastFind, lastFindText);
    batch.WriteString(kFindOptions, kFindAll, OneZero(findAll));
    batch.WriteString(kFindOptions, kMatchCase, OneZero(matchCase));
    batch.WriteString(kFindOptions, kDirection, OneZero(searchUp));
    return profile.WriteBatch(batch);
}

std::string ProfileNotSavedText(const std::string& profilePath) {
    return common::FormatText(texts::kProfileNotSaved, {std::string_view(profilePath)});
}

void MarkInitialized(common::ProfileStore& profile) {
    profile.WriteString(kDefaults, kInitialized, "Yes");
}

}  // namespace receiver
