#pragma once

#include <string_view>

namespace receiver {

// The receiver's texts, exactly as the program shows them, each with its resource
// number.
namespace texts {
inline constexpr std::string_view kAboutItem =  // 101
    "&About Velmora...";
inline constexpr std::string_view kSocketsStartFailed =  // 103
    "Windows sockets initialization failed.";
inline constexpr std::string_view kAboutFallback =  // 104
    "Velmora\n\nCopyright \u00a9 2026 The Velmora developers.";
inline constexpr std::string_view kSocketError =  // 105
    "Error: SNMP UDP socket";
inline constexpr std::string_view kReceiveError =  // 106
    "Error: UDP Socket recvfrom";
inline constexpr std::string_view kHostFound =  // 107
    "SNMP UDP Receiver host found";
inline constexpr std::string_view kSocketOpened =  // 109
    "SNMP UDP Socket successfully opened.";
inline constexpr std::string_view kSocketClosed =  // 110
    "SNMP UDP Socket successfully closed.";
inline constexpr std::string_view kReturnedErrorCode =  // 111
    "returned error code";
inline constexpr std::string_view kStampHeader =  // 112
    "I/O Date & Time";
inline constexpr std::string_view kMessageHeader =  // 113
    "SNMP Message";
inline constexpr std::string_view kStart =  // 114
    "&Start";
inline constexpr std::string_view kStop =  // 115
    "&Stop";
inline constexpr std::string_view kClear =  // 116
    "&Clear";
inline constexpr std::string_view kExit =  // 117
    "&Exit";
inline constexpr std::string_view kStatusLabel =  // 118
    "Status";
inline constexpr std::string_view kCountLabel =  // 119
    "Log Records";
inline constexpr std::string_view kNoWorkingDirectory =  // 120
    "The executable (program) path name for this application cannot be determined.\n"
    "This application will be terminated.\nPlease contact Technical Support.";
inline constexpr std::string_view kErrorCodeLabel =  // 121
    "Error code:";
inline constexpr std::string_view kCredit =  // 122
    "Made for everyone who keeps an eye on a small router.";
inline constexpr std::string_view kFollowOn =  // 124
    "&Follow On";
inline constexpr std::string_view kFollowOff =  // 125
    "&Follow Off";
inline constexpr std::string_view kWindowTitle =  // 126
    "Velmora Norvane\u00ae Quellnet Cable/DSL Router Log Utility";
inline constexpr std::string_view kStartStopTip =  // 127
    "Starts or Stops logging SNMP messages";
inline constexpr std::string_view kClearTip =  // 128
    "Clears the log message window";
inline constexpr std::string_view kFollowTip =  // 129
    "Enables or Disables automatic log message window scrolling";
inline constexpr std::string_view kExitTip =  // 130
    "Terminates the program";
inline constexpr std::string_view kLogOpenFailed =  // 131
    "The log file \"%1\" could not be opened or created.\nReason code %2.\n"
    "Continuing without logging to file \"%1\".";
inline constexpr std::string_view kLogCloseFailed =  // 132
    "The log file \"%1\" would not close properly.\nReason code %2.";
inline constexpr std::string_view kCreateDirectoryFailed =  // 133
    "Unable to create directory \"%1\".\nReason code %2.";
inline constexpr std::string_view kSwitchDirectoryFailed =  // 134
    "Unable to switch to directory \"%1\".\nReason code %2.";
inline constexpr std::string_view kGetDirectoryFailed =  // 135
    "Unable to get current working directory.\nReason code %1.";
inline constexpr std::string_view kOptionsItem =  // 136
    "&Options...";
inline constexpr std::string_view kIncomingData =  // 137
    "Incoming Data";
inline constexpr std::string_view kOutgoingData =  // 138
    "Outgoing Data";
inline constexpr std::string_view kControlMessages =  // 139
    "Control Messages";
inline constexpr std::string_view kOk =  // 140
    "&Ok";
inline constexpr std::string_view kCancel =  // 141
    "&Cancel";
inline constexpr std::string_view kAboutCaption =  // 142
    "About Velmora";
inline constexpr std::string_view kOptionsCaption =  // 143
    "Velmora Options";
inline constexpr std::string_view kDisplayOptions =  // 144
    "Display Options";
inline constexpr std::string_view kLoggingOptions =  // 145
    "Logging Options";
inline constexpr std::string_view kNothingSelectedQuestion =  // 146
    "No display or logging options have been selected.\n"
    "The \"Stop\" button does the same thing temporarily.\nAre you sure you wish to do this?";
inline constexpr std::string_view kFirstRunQuestion =  // 147
    "No display or logging options have been set.\n"
    "If this is the first time you are starting Velmora,\nwould you like to set them now?";
inline constexpr std::string_view kHelpItem =  // 148
    "&Help\tF1";
inline constexpr std::string_view kMessageOptions =  // 149
    "Message Options";
inline constexpr std::string_view kLogFileOptions =  // 150
    "Log File Options";
inline constexpr std::string_view kFormatted =  // 151
    "Formatted";
inline constexpr std::string_view kUnformatted =  // 152
    "Unformatted";
inline constexpr std::string_view kCombined =  // 153
    "Combined";
inline constexpr std::string_view kSeparate =  // 154
    "Separate";
inline constexpr std::string_view kFlushLogsItem =  // 155
    "&Flush logs";
inline constexpr std::string_view kTrayTip =  // 156
    "Velmora %s - %s Records to view";
inline constexpr std::string_view kRunning =  // 157
    "Running";
inline constexpr std::string_view kStopped =  // 158
    "Stopped";
inline constexpr std::string_view kCopyItem =  // 159
    "&Copy\tCtrl+Ins";
inline constexpr std::string_view kSelectAllItem =  // 160
    "Select &All\tCtrl+A";
inline constexpr std::string_view kFirstMessageItem =  // 161
    "Firs&t Message\tCtrl+Home";
inline constexpr std::string_view kLastMessageItem =  // 162
    "&Last Message\tCtrl+End";
inline constexpr std::string_view kFindMessagesItem =  // 163
    "&Find Messages...\tCtrl+F";
inline constexpr std::string_view kFindCaption =  // 164
    "Find Messages";
inline constexpr std::string_view kFindPrompt =  // 165
    "Enter the message text to find";
inline constexpr std::string_view kFindOptions =  // 166
    "Find Options";
inline constexpr std::string_view kFindDirection =  // 167
    "Find Direction";
inline constexpr std::string_view kFindSelectAll =  // 168
    "Find and Select &All";
inline constexpr std::string_view kMatchCase =  // 169
    "&Match Case";
inline constexpr std::string_view kSearchDown =  // 170
    "Search &Down";
inline constexpr std::string_view kSearchUp =  // 171
    "Search &Up";
inline constexpr std::string_view kFind =  // 172
    "&Find";
inline constexpr std::string_view kEmptyFindText =  // 173
    "You have not entered any text to find.\n"
    "Enter all or part of the message text you wish to find.";
inline constexpr std::string_view kMatchesSelected =  // 174
    "%s messages matching your criteria selected.";
inline constexpr std::string_view kRepeatFindItem =  // 175
    "&Repeat Find\tCtrl+R";
inline constexpr std::string_view kEndOfListReached =  // 176
    "%s of list reached.\nNo more messages matching your criteria found.\n"
    "Find again will automatically start  from the %s of the list.";
inline constexpr std::string_view kUnselectAllItem =  // 177
    "&Unselect All\tCtrl+U";

// Not in the table: a profile that stays locked or cannot be written.
inline constexpr std::string_view kProfileNotSaved =
    "Your choices could not be saved to \"%s\".\n"
    "They apply until Velmora ends.";

// Not in the table: alert rules.
inline constexpr std::string_view kAlertsItem = "&Alerts...";
inline constexpr std::string_view kAlertsCaption = "Velmora Alerts";
inline constexpr std::string_view kAlertRuleCaption = "Alert Rule";
inline constexpr std::string_view kAlertNameTaken = "There is already a rule named \"%s\".";
inline constexpr std::string_view kAlertTestTitle = "Velmora test alert";
inline constexpr std::string_view kAlertTestBody = "This is how an alert will look.";
inline constexpr std::string_view kAlertsNotSaved =
    "The alert rules could not be saved to \"%s\".\nThe profile stays as it was.";
}  // namespace texts

}  // namespace receiver
