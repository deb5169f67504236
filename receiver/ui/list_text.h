#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace receiver_ui {

// The list shows the datagrams' bytes as they came, one character per byte, so what is
// copied, searched for and found is byte for byte what was received.
inline QString ListText(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Text typed to match the list's, as the bytes it stands for.
inline std::string ListBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

}  // namespace receiver_ui
