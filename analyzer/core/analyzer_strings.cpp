#include "analyzer/core/analyzer_strings.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace analyzer {
namespace {

// Sorted by number, so a lookup is a binary search.
constexpr std::pair<int, std::string_view> kStrings[] = {
    {102, "Unable to open log %1"},
    {103, "Corvix Log Analyzer - %s"},
    {104, "End of log file reached."},
    {2000, "Host not found."},
    {2010, "%s falied with error %d"},
    {2012, "Edit Port Description"},
    {2013, "Add Port Definition"},
    {2014, "Delete Port Definition"},
    {2015, "Save changes to port definitions?"},
    {2016, "Unable to open port list"},
    {2017, "Port %1 not found"},
    {2018, "Port %1 already defined"},
    {2019, "Port %1 is invalid"},
    {2020, "Unknown or unassigned"},
    {2021, "Edit Filters"},
    {2022, "Unable to initialize Windows Sockets"},
    {2026, "Open Router Log"},
    {2027, "Default Log Directory"},
    {2028, "Select Log Viewer"},
    {2029, "Options"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings)));

}  // namespace

std::string_view AnalyzerString(int id) {
    const auto it =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const auto& entry, int value) { return entry.first < value; });
    return it != std::end(kStrings) && it->first == id ? it->second : std::string_view();
}

}  // namespace analyzer
