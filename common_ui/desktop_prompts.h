#pragma once

#include <QString>
#include <optional>

#include "common/user_messages.h"

namespace common_ui {

// What an open-file chooser is asked: its title, the directory it starts in and the
// filters in Qt's form ("Log files (*.log);;All files (*)").
struct OpenFileRequest {
    QString title;
    QString directory;
    QString filters;
};

// The one seam through which windows show modal boxes and file choosers, so tests
// answer both by script.
class DesktopPrompts : public common::UserMessages {
  public:
    // The chosen file's path, or nothing when the chooser was cancelled.
    virtual std::optional<QString> ChooseFileToOpen(const OpenFileRequest& request) = 0;
};

}  // namespace common_ui
