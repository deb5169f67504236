#pragma once

#include <QPointer>
#include <QWidget>

#include "common_ui/desktop_prompts.h"

namespace common_ui {

// Real message boxes, file choosers and dialogs. Boxes and choosers are titled with the
// program's name and owned by the window that is active when they open (or by
// `fallbackParent`).
class QtDesktopPrompts : public DesktopPrompts {
  public:
    QtDesktopPrompts(QString programTitle, QWidget* fallbackParent = nullptr);

    void ShowMessage(common::MessageIcon icon, const std::string& text) override;
    common::Answer Ask(const std::string& question, common::AnswerChoices choices) override;
    std::optional<QString> ChooseFileToOpen(const OpenFileRequest& request) override;
    std::optional<QStringList> ChooseFilesToOpen(const OpenFileRequest& request) override;
    std::optional<SaveFileChoice> ChooseFileToSave(const OpenFileRequest& request) override;
    int RunDialog(QDialog& dialog) override;

    void SetFallbackParent(QWidget* parent) { fallbackParent_ = parent; }
    // The display is gone: boxes are written to stderr and questions take their safe
    // answer (No, or Cancel), as nobody could see them.
    void setDisplayLost() { displayLost_ = true; }

  private:
    QWidget* Parent() const;

    QString programTitle_;
    QPointer<QWidget> fallbackParent_;
    bool displayLost_ = false;
};

}  // namespace common_ui
