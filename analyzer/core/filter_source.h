#pragma once

#include <string_view>

namespace analyzer {

// Sections of the settings file that hold the filters; a key is an active filter when
// its value reads as a non-zero number.
constexpr std::string_view kSourceIpFilters = "SourceIPFilters";
constexpr std::string_view kTargetPortFilters = "TargetPortFilters";

// Answers whether a key is an active filter in a section.
class FilterSource {
  public:
    virtual ~FilterSource() = default;
    virtual bool IsActiveFilter(std::string_view section, std::string_view key) const = 0;
    // Whether an entry of that date and time lies outside the show-only time ranges;
    // never while there are none.
    virtual bool IsOutsideShownTimes(std::string_view /*date*/, std::string_view /*time*/) const {
        return false;
    }
};

}  // namespace analyzer
