#include "receiver/core/receiver_strings.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace receiver {
namespace {

// Sorted by number, so a lookup is a binary search.
constexpr std::pair<int, std::string_view> kStrings[] = {
    {101, "&About Velmora..."},
    {103, "Windows sockets initialization failed."},
    {104, "Velmora\n\nCopyright \u00a9 2026 The Velmora developers."},
    {105, "Error: SNMP UDP socket"},
    {106, "Error: UDP Socket recvfrom"},
    {107, "SNMP UDP Receiver host found"},
    {109, "SNMP UDP Socket successfully opened."},
    {110, "SNMP UDP Socket successfully closed."},
    {111, "returned error code"},
    {112, "I/O Date & Time"},
    {113, "SNMP Message"},
    {114, "&Start"},
    {115, "&Stop"},
    {116, "&Clear"},
    {117, "&Exit"},
    {118, "Status"},
    {119, "Log Records"},
    {120,
     "The executable (program) path name for this application cannot be determined.\n"
     "This application will be terminated.\nPlease contact Technical Support."},
    {121, "Error code:"},
    {122, "Made for everyone who keeps an eye on a small router."},
    {124, "&Follow On"},
    {125, "&Follow Off"},
    {126, "Velmora Norvane\u00ae Quellnet Cable/DSL Router Log Utility"},
    {127, "Starts or Stops logging SNMP messages"},
    {128, "Clears the log message window"},
    {129, "Enables or Disables automatic log message window scrolling"},
    {130, "Terminates the program"},
    {131,
     "The log file \"%1\" could not be opened or created.\nReason code %2.\n"
     "Continuing without logging to file \"%1\"."},
    {132, "The log file \"%1\" would not close properly.\nReason code %2."},
    {133, "Unable to create directory \"%1\".\nReason code %2."},
    {134, "Unable to switch to directory \"%1\".\nReason code %2."},
    {135, "Unable to get current working directory.\nReason code %1."},
    {136, "&Options..."},
    {137, "Incoming Data"},
    {138, "Outgoing Data"},
    {139, "Control Messages"},
    {140, "&Ok"},
    {141, "&Cancel"},
    {142, "About Velmora"},
    {143, "Velmora Options"},
    {144, "Display Options"},
    {145, "Logging Options"},
    {146,
     "No display or logging options have been selected.\n"
     "The \"Stop\" button does the same thing temporarily.\nAre you sure you wish to do this?"},
    {147,
     "No display or logging options have been set.\n"
     "If this is the first time you are starting Velmora,\nwould you like to set them now?"},
    {148, "&Help\tF1"},
    {149, "Message Options"},
    {150, "Log File Options"},
    {151, "Formatted"},
    {152, "Unformatted"},
    {153, "Combined"},
    {154, "Separate"},
    {155, "&Flush logs"},
    {156, "Velmora %s - %s Records to view"},
    {157, "Running"},
    {158, "Stopped"},
    {159, "&Copy\tCtrl+Ins"},
    {160, "Select &All\tCtrl+A"},
    {161, "Firs&t Message\tCtrl+Home"},
    {162, "&Last Message\tCtrl+End"},
    {163, "&Find Messages...\tCtrl+F"},
    {164, "Find Messages"},
    {165, "Enter the message text to find"},
    {166, "Find Options"},
    {167, "Find Direction"},
    {168, "Find and Select &All"},
    {169, "&Match Case"},
    {170, "Search &Down"},
    {171, "Search &Up"},
    {172, "&Find"},
    {173,
     "You have not entered any text to find.\n"
     "Enter all or part of the message text you wish to find."},
    {174, "%s messages matching your criteria selected."},
    {175, "&Repeat Find\tCtrl+R"},
    {176,
     "%s of list reached.\nNo more messages matching your criteria found.\n"
     "Find again will automatically start  from the %s of the list."},
    {177, "&Unselect All\tCtrl+U"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

}  // namespace

std::string_view ReceiverString(int id) {
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                      [](const auto& entry, int key) { return entry.first < key; });
    return it != std::end(kStrings) && it->first == id ? it->second : std::string_view{};
}

}  // namespace receiver
