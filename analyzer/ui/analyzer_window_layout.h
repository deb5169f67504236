#pragma once

#include <string_view>

#include "common_ui/about_dialog.h"
#include "common_ui/dialog_units.h"

namespace analyzer_ui::layout {

// corvix's windows draw in this face at the tables' point size.
inline const QString kFontFamily = QStringLiteral("Arial");

// The main window's template, in dialog units of its font.
constexpr int kClientWidth = 479;
constexpr int kClientHeight = 138;

constexpr common_ui::DialogRect kEntryList{5, 18, 256, 113};
constexpr common_ui::DialogRect kSourceGroup{266, 6, 208, 68};
constexpr common_ui::DialogRect kDestinationGroup{266, 80, 208, 51};

// A read-only field and the label beside it.
struct Field {
    const char* objectName;
    common_ui::DialogRect rect;
    std::string_view label;
    common_ui::DialogRect labelRect;
    bool labelRightAligned = false;
};

// Above the list.
constexpr Field kCountField{
    "entryCount", {149, 6, 40, 12}, "Log Entries Selected:", {76, 8, 70, 8}, true};

// The selected entry's fields, in tab order.
constexpr Field kSourceIpField{"sourceIp", {316, 19, 60, 12}, "IP:", {274, 21, 40, 8}};
constexpr Field kSourcePortField{"sourcePort", {440, 19, 26, 12}, "Port: ", {418, 21, 20, 8}};
constexpr Field kSourceNameField{"sourceName", {316, 37, 149, 12}, "Name:", {274, 39, 40, 8}};
constexpr Field kSourceDescriptionField{
    "sourceDescription", {316, 56, 149, 12}, "Description:", {274, 58, 40, 8}};
constexpr Field kDestinationIpField{"destinationIp", {316, 93, 78, 12}, "IP", {274, 95, 40, 8}};
constexpr Field kDestinationPortField{
    "destinationPort", {440, 93, 26, 12}, "Port:", {418, 95, 20, 8}};
constexpr Field kDestinationDescriptionField{
    "destinationDescription", {316, 112, 149, 12}, "Description:", {274, 114, 40, 8}};

// The about box: the icon, the program's name and version, and OK.
constexpr common_ui::AboutLayout kAboutBox{
    225, 55, {11, 17, 20, 20}, {40, 23, 130, 8}, {178, 7, 40, 14}, false};

}  // namespace analyzer_ui::layout
