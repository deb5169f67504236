#pragma once

#include <string>
#include <string_view>

#include "common/profile_store.h"
#include "receiver/core/log_kind.h"

namespace receiver {

// True for "On", "Yes", "True" and "1" in any ASCII letter case; false otherwise.
bool IsTrueValue(std::string_view text);

// The receiver's choices, read from its profile at start-up and kept live afterwards.
struct ReceiverSettings {
    KindFlags displayFlags{};
    KindFlags logFlags{};
    bool formatted = false;
    bool combined = false;
    bool searchUp = false;
    bool findAll = false;
    bool matchCase = false;
    std::string lastFindText;

    // Reads every key; true when "initialized" or any display or logging flag is set,
    // so that the first-run question is not asked.
    bool LoadSettings(const common::ProfileStore& profile);

    // What the Options dialog's OK stores: three display keys, three logging keys,
    // "formatted" and "combined", in that order, in one rewrite of the profile. False when
    // the profile could not be written (nothing of it was).
    bool SaveOptions(common::ProfileStore& profile) const;

    // What the Find dialog's OK stores: "last find", "find all", "match case",
    // "direction", in that order, in one rewrite; false as above.
    bool SaveFindOptions(common::ProfileStore& profile) const;
};

// What a dialog says when its OK could not write the profile.
std::string ProfileNotSavedText(const std::string& profilePath);

// Recorded after the first-run Options dialog, so the question is not asked again.
void MarkInitialized(common::ProfileStore& profile);

}  // namespace receiver
