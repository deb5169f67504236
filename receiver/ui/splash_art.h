#pragma once

#include <QPixmap>

namespace receiver_ui {

constexpr int kSplashWidth = 400;
constexpr int kSplashHeight = 300;

// The start-up picture, 400 x 300: the program's name over a stylised stream of records.
QPixmap SplashPicture();

}  // namespace receiver_ui
