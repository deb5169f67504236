#pragma once

#include <QIcon>
#include <QPixmap>

#include "receiver/core/classification.h"

namespace receiver_ui {

// The list's small images (receiver::ListImage), 16 x 16 with a transparent background;
// a control message has none.
constexpr int kListImageCount = 4;
constexpr int kListImageSize = 16;

QPixmap ListImagePixmap(int image);

// The program icon, drawn at 16, 32, 48 and 64 pixels square.
QIcon ProgramIcon();

// The program icon drawn afresh at size x size, for the installed icon theme.
QPixmap ProgramIconPixmap(int size);

}  // namespace receiver_ui
