#include "receiver/core/classification.h"

namespace receiver {
namespace {

bool IsConnectionRecord(std::string_view text) {
    return text.starts_with('@');
}

// The character after "@"; the terminator when there is none.
char DirectionLetter(std::string_view text) {
    return text.size() > 1 ? text[1] : '\0';
}

}  // namespace

std::optional<DisplayChoice> ClassifyForDisplay(std::string_view text,
                                                const KindFlags& displayFlags) {
    if (!IsConnectionRecord(text)) {
        if (!displayFlags[kMessages]) {
            return std::nullopt;
        }
        return DisplayChoice{kImageControl, text};
    }
    const std::string_view body = text.substr(1);
    switch (DirectionLetter(text)) {
        case 'i':
            return displayFlags[kIncoming] ? std::optional(DisplayChoice{kImageIncoming, body})
                                           : std::nullopt;
        case 'o':
            return displayFlags[kOutgoing] ? std::optional(DisplayChoice{kImageOutgoing, body})
                                           : std::nullopt;
        default:
            return displayFlags[kMessages] ? std::optional(DisplayChoice{kImageControl, body})
                                           : std::nullopt;
    }
}

std::optional<LogChoice> ClassifyForLog(std::string_view text, const KindFlags& logFlags,
                                        bool combined) {
    LogKind kind;
    std::string_view body = text;
    if (IsConnectionRecord(text)) {
        kind = DirectionLetter(text) == 'i' ? kIncoming : kOutgoing;
        body = text.substr(1);
    } else {
        kind = kMessages;
    }
    if (!logFlags[kind]) {
        return std::nullopt;
    }
    return LogChoice{combined ? kCombined : kind, body};
}

}  // namespace receiver
