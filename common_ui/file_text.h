#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace common_ui {

// Files, profiles and logs hold 8-bit text of no declared encoding. Every window shows it
// through this one conversion: UTF-8 where the bytes are valid UTF-8, otherwise Latin-1,
// which maps every byte to a character and so loses nothing.
QString FromFileText(std::string_view bytes);

// Text the user typed, as UTF-8 bytes.
std::string ToFileText(const QString& text);

// A value shown from `original` and written back: the original bytes when the user left it
// as shown (so a Latin-1 byte is not rewritten as UTF-8), otherwise the edited text as UTF-8.
std::string ToFileText(const QString& edited, std::string_view original);

}  // namespace common_ui
