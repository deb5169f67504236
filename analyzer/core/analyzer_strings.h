#pragma once

#include <string_view>

namespace analyzer {

// Numbers of the analyzer's string table that the code refers to by name.
namespace ids {
constexpr int kUnableToOpenLog = 102;
constexpr int kCaptionWithLog = 103;
constexpr int kEndOfLogReached = 104;
constexpr int kHostNotFound = 2000;
constexpr int kCallFailed = 2010;
constexpr int kEditPortTitle = 2012;
constexpr int kAddPortTitle = 2013;
constexpr int kDeletePortTitle = 2014;
constexpr int kSavePortChanges = 2015;
constexpr int kUnableToOpenPortList = 2016;
constexpr int kPortNotFound = 2017;
constexpr int kPortAlreadyDefined = 2018;
constexpr int kPortInvalid = 2019;
constexpr int kUnknownPort = 2020;
constexpr int kEditFiltersTitle = 2021;
constexpr int kSocketsUnavailable = 2022;
constexpr int kOpenLogTitle = 2026;
constexpr int kLogDirectoryTitle = 2027;
constexpr int kViewerTitle = 2028;
constexpr int kOptionsTitle = 2029;
}  // namespace ids

// The text of string `id`, exactly as the program shows it; empty for an unknown id.
std::string_view AnalyzerString(int id);

// Texts the program shows that have no number in the string table.
namespace texts {
constexpr std::string_view kProgramTitle = "Corvix Log Analyzer";
constexpr std::string_view kAboutTitle = "About Corvix Log Analyzer";
constexpr std::string_view kAboutVersion = "Corvix Log Analyzer Version 1.5";
constexpr std::string_view kCreateProcessError = "CreateProcess error";
constexpr std::string_view kUnderConstruction = "Under construction...";
constexpr std::string_view kInvalidIp = "Please enter a valid IP";
// The item a filter section that was never written shows.
constexpr std::string_view kUnknownFilter = "Unknown";
constexpr std::string_view kLogFileFilter = "Router Logs|Velmora*.log|All files (*.*)|*.*||";
constexpr std::string_view kViewerFileFilter = "Programs (*.exe)|*.exe|All files (*.*)|*.*||";
constexpr std::string_view kDefaultMask = "a.b.c";
}  // namespace texts

}  // namespace analyzer
