#include "common_ui/qt_desktop_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>

#include "common_ui/file_text.h"

namespace common_ui {
namespace {

QMessageBox::Icon ToQtIcon(common::MessageIcon icon) {
    switch (icon) {
        case common::MessageIcon::kNone:
            return QMessageBox::NoIcon;
        case common::MessageIcon::kStop:
            return QMessageBox::Critical;
        case common::MessageIcon::kExclamation:
            return QMessageBox::Warning;
        case common::MessageIcon::kInformation:
            return QMessageBox::Information;
        case common::MessageIcon::kQuestion:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtDesktopPrompts::QtDesktopPrompts(QString programTitle, QWidget* fallbackParent)
    : programTitle_(std::move(programTitle)), fallbackParent_(fallbackParent) {}

QWidget* QtDesktopPrompts::Parent() const {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return fallbackParent_;
}

void QtDesktopPrompts::ShowMessage(common::MessageIcon icon, const std::string& text) {
    if (displayLost_) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    QMessageBox box(ToQtIcon(icon), programTitle_, FromFileText(text), QMessageBox::Ok, Parent());
    box.exec();
}

common::Answer QtDesktopPrompts::Ask(const std::string& question, common::AnswerChoices choices) {
    const bool withCancel = choices == common::AnswerChoices::kYesNoCancel;
    if (displayLost_) {
        std::fprintf(stderr, "%s\n", question.c_str());
        return withCancel ? common::Answer::kCancel : common::Answer::kNo;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) {
        buttons |= QMessageBox::Cancel;
    }
    QMessageBox box(QMessageBox::Question, programTitle_, FromFileText(question), buttons,
                    Parent());
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return common::Answer::kYes;
        case QMessageBox::No:
            return common::Answer::kNo;
        default:
            return withCancel ? common::Answer::kCancel : common::Answer::kNo;
    }
}

std::optional<QString> QtDesktopPrompts::ChooseFileToOpen(const OpenFileRequest& request) {
    const QString path =
        QFileDialog::getOpenFileName(Parent(), request.title, request.directory, request.filters);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QStringList> QtDesktopPrompts::ChooseFilesToOpen(const OpenFileRequest& request) {
    const QStringList paths =
        QFileDialog::getOpenFileNames(Parent(), request.title, request.directory, request.filters);
    if (paths.isEmpty()) {
        return std::nullopt;
    }
    return paths;
}

std::optional<SaveFileChoice> QtDesktopPrompts::ChooseFileToSave(const OpenFileRequest& request) {
    QString fileType;
    const QString path = QFileDialog::getSaveFileName(Parent(), request.title, request.directory,
                                                      request.filters, &fileType);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return SaveFileChoice{path, fileType};
}

int QtDesktopPrompts::RunDialog(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace common_ui
