#pragma once

#include <QIcon>
#include <QPixmap>

namespace receiver_ui {

// The list's small images, 16 x 16 with a transparent background.
enum ListImage { kIncomingImage = 0, kOutgoingImage = 1, kInformationImage = 2, kEmptyImage = 3 };
constexpr int kListImageCount = 4;
constexpr int kListImageSize = 16;

QPixmap ListImagePixmap(int image);

// The program icon, drawn at 16 x 16 and 32 x 32.
QIcon ProgramIcon();

// The program icon drawn afresh at size x size, for the installed icon theme.
QPixmap ProgramIconPixmap(int size);

}  // namespace receiver_ui
