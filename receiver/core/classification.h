#pragma once

#include <optional>
#include <string_view>

#include "receiver/core/log_kind.h"

namespace receiver {

// Images of the list's strip. Image 2 exists in the strip but no record uses it.
enum ListImage : int {
    kImageIncoming = 0,
    kImageOutgoing = 1,
    kImageInformation = 2,
    kImageControl = 3
};

struct DisplayChoice {
    int image;
    std::string_view columnText;
};

// Whether the list shows a record, and how: connection records ("@" first) by their
// direction letter, compared exactly; everything else as a control message.
std::optional<DisplayChoice> ClassifyForDisplay(std::string_view text,
                                                const KindFlags& displayFlags);

struct LogChoice {
    LogKind kind;
    std::string_view body;
};

// Which log file takes a record, and the text after the stamp. Unlike the list, every
// connection record whose letter is not "i" counts as outgoing.
std::optional<LogChoice> ClassifyForLog(std::string_view text, const KindFlags& logFlags,
                                        bool combined);

}  // namespace receiver
