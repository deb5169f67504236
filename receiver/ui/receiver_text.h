#pragma once

#include <QString>

#include "receiver/core/receiver_strings.h"

namespace receiver_ui {

// String `id` of the receiver's table, as Qt text.
inline QString Text(int id) {
    const std::string_view text = receiver::ReceiverString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace receiver_ui
