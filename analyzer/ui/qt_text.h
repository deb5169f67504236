#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace analyzer_ui {

// Files and settings hold 8-bit text; the windows show it as UTF-8, the usual form here.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace analyzer_ui
