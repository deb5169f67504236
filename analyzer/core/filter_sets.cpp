#include "analyzer/core/filter_sets.h"

#include "analyzer/core/filter_keys.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/core/time_range.h"
#include "common/ascii.h"
#include "common/profile_snapshot.h"
#include "common/profile_store.h"

#include <algorithm>
#include <utility>

namespace analyzer {
namespace {

constexpr std::string_view kIndex = "FilterSets";
constexpr std::string_view kSections[] = {kSourceIpFilters, kTargetPortFilters, kShowOnlySources,
                                          kShowOnlyPorts, kShowOnlyTimes};

std::string Prefix(std::string_view name) {
    return "FilterSet " + std::string(name) + ": ";
}

}  // namespace

FilterSets::FilterSets(std::string settingsFilePath) : path_(std::move(settingsFilePath)) {}

bool FilterSets::IsValidName(std::string_view name) {
    return !name.empty() && name.front() != ' ' && name.back() != ' ' &&
           name.find_first_of("[]:\r\n=;\t") == std::string_view::npos;
}

std::vector<std::string> FilterSets::Names() const {
    const common::ProfileSnapshot settings = common::ProfileSnapshot::Load(path_);
    std::vector<std::string> names;
    for (const std::string& name : settings.ListKeys(kIndex, "")) {
        if (!name.empty() && settings.ReadInt(kIndex, name, 0) != 0) {
            names.push_back(name);
        }
    }
    return names;
}

bool FilterSets::CopySections(std::string_view fromPrefix, std::string_view toPrefix) const {
    const common::ProfileSnapshot settings = common::ProfileSnapshot::Load(path_);
    common::ProfileStore store(path_);
    for (const std::string_view section : kSections) {
        const std::string from = std::string(fromPrefix) + std::string(section);
        std::vector<common::ProfileStore::KeyValue> entries;
        for (const std::string& key : settings.ListKeys(from, "")) {
            if (!key.empty()) {
                entries.emplace_back(key, settings.ReadString(from, key, ""));
            }
        }
        if (!store.ReplaceSection(std::string(toPrefix) + std::string(section), entries)) {
            return false;
        }
    }
    return true;
}

bool FilterSets::Save(std::string_view name) const {
    return IsValidName(name) && CopySections("", Prefix(name)) &&
           common::ProfileStore(path_).WriteString(kIndex, name, "1");
}

bool FilterSets::Apply(std::string_view name) const {
    const std::vector<std::string> names = Names();
    const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
        return common::EqualsIgnoringAsciiCase(n, name);
    });
    return known && CopySections(Prefix(name), "");
}

bool FilterSets::Remove(std::string_view name) const {
    common::ProfileStore store(path_);
    std::vector<common::ProfileStore::KeyValue> kept;
    for (const std::string& other : Names()) {
        if (!common::EqualsIgnoringAsciiCase(other, name)) {
            kept.emplace_back(other, "1");
        }
    }
    for (const std::string_view section : kSections) {
        if (!store.ClearSection(Prefix(name) + std::string(section))) {
            return false;
        }
    }
    return store.ReplaceSection(kIndex, kept);
}

}  // namespace analyzer
