#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
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

// A save-file chooser's answer: the path and the file type picked with it.
struct SaveFileChoice {
    QString path;
    QString fileType;
};

// The one seam through which windows show modal boxes, file choosers and their own modal
// dialogs, so tests answer all three by script.
class DesktopPrompts : public common::UserMessages {
  public:
    // The chosen file's path, or nothing when the chooser was cancelled.
    virtual std::optional<QString> ChooseFileToOpen(const OpenFileRequest& request) = 0;
    // One or more chosen files, or nothing when the chooser was cancelled.
    virtual std::optional<QStringList> ChooseFilesToOpen(const OpenFileRequest& request) = 0;
    // Where to save, asked with the same request; nothing when cancelled.
    virtual std::optional<SaveFileChoice> ChooseFileToSave(const OpenFileRequest& request) = 0;
    // Runs a window's own dialog modally; how it ended, QDialog::Accepted or Rejected.
    virtual int RunDialog(QDialog& dialog) = 0;
};

}  // namespace common_ui
