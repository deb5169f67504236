#pragma once

#include <QString>

#include "receiver/core/receiver_texts.h"

namespace receiver_ui {

namespace texts = receiver::texts;

// One of the receiver's texts, as Qt text.
inline QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace receiver_ui
