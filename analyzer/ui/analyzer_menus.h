#pragma once

#include <span>

#include "analyzer/core/entry_commands.h"

namespace analyzer_ui::menus {

// One item of a menu template; id 0 is a separator.
struct Item {
    const char* text;
    int id;
};

struct Popup {
    const char* title;
    std::span<const Item> items;
};

namespace detail {
using namespace analyzer::commands;
constexpr Item kFile[] = {
    {"&Open...", kOpen}, {"&View Current Log...", kViewCurrentLog}, {"", 0}, {"E&xit", kExit}};
constexpr Item kEdit[] = {{"C&opy Log Entry", kCopy}};
constexpr Item kFilters[] = {{"Add Incoming &Source IP...", kAddSourceIp},
                             {"Add Incoming &Destination Port...", kAddTargetPort},
                             {"", 0},
                             {"&Edit Filters...", kEditFilters}};
constexpr Item kTools[] = {{"Look&up Source IP", kLookupSource},
                           {"", 0},
                           {"&Port Definitions...", kPortDefinitions},
                           {"Optons...", kOptions}};
constexpr Item kHelp[] = {
    {"&Help", analyzer::commands::kHelp}, {"", 0}, {"&About Corvix Log Analyzer...", kAbout}};
constexpr Item kContext[] = {{"Copy Log Entry", kCopy},
                             {"Look&up Source IP", kLookupSource},
                             {"", 0},
                             {"Add Incoming &Source IP...", kAddSourceIp},
                             {"Add Incoming &Destination Port...", kAddTargetPort},
                             {"", 0},
                             {"&View Current Log...", kViewCurrentLog}};
}  // namespace detail

// The menu bar.
constexpr Popup kMenuBar[] = {{"&File", detail::kFile},
                              {"&Edit", detail::kEdit},
                              {"F&ilters", detail::kFilters},
                              {"&Tools", detail::kTools},
                              {"&Help", detail::kHelp}};

// The context menu's one popup.
constexpr std::span<const Item> kContextMenu = detail::kContext;

}  // namespace analyzer_ui::menus
