#pragma once

#include <string_view>

#include "common_ui/dialog_units.h"

namespace analyzer_ui::layout {

// The main window's template, in dialog units of its font (Arial 8).
constexpr int kClientWidth = 479;
constexpr int kClientHeight = 138;

constexpr common_ui::DialogRect kEntryList{5, 18, 256, 113};
constexpr common_ui::DialogRect kSourceGroup{266, 6, 208, 68};
constexpr common_ui::DialogRect kDestinationGroup{266, 80, 208, 51};

// Control ids of the fields.
constexpr int kCountId = 1054;
constexpr int kSourceIpId = 1004;
constexpr int kSourcePortId = 1005;
constexpr int kSourceNameId = 1011;
constexpr int kSourceDescriptionId = 1006;
constexpr int kDestinationIpId = 1007;
constexpr int kDestinationPortId = 1008;
constexpr int kDestinationDescriptionId = 1009;

// A read-only field and the label beside it.
struct Field {
    int id;
    const char* objectName;
    common_ui::DialogRect rect;
    std::string_view label;
    common_ui::DialogRect labelRect;
    bool labelRightAligned = false;
};

constexpr Field kFields[] = {
    {kCountId, "entryCount", {149, 6, 40, 12}, "Log Entries Selected:", {76, 8, 70, 8}, true},
    {kSourceIpId, "sourceIp", {316, 19, 60, 12}, "IP:", {274, 21, 40, 8}},
    {kSourcePortId, "sourcePort", {440, 19, 26, 12}, "Port: ", {418, 21, 20, 8}},
    {kSourceNameId, "sourceName", {316, 37, 149, 12}, "Name:", {274, 39, 40, 8}},
    {kSourceDescriptionId,
     "sourceDescription",
     {316, 56, 149, 12},
     "Description:",
     {274, 58, 40, 8}},
    {kDestinationIpId, "destinationIp", {316, 93, 78, 12}, "IP", {274, 95, 40, 8}},
    {kDestinationPortId, "destinationPort", {440, 93, 26, 12}, "Port:", {418, 95, 20, 8}},
    {kDestinationDescriptionId,
     "destinationDescription",
     {316, 112, 149, 12},
     "Description:",
     {274, 114, 40, 8}},
};

}  // namespace analyzer_ui::layout
