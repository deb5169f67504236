#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <string>

#include "analyzer/core/option_pages.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// A page of the options sheet. Its values live in members: the fields show them each
// time the page is entered, and give them back when the page is left and at OK.
class OptionPage : public QWidget {
  public:
    bool wasShown() const { return wasShown_; }
    // The sheet's OK: takes the fields and writes the page's keys.
    virtual void OnOK() = 0;

  protected:
    OptionPage(std::string settingsFilePath, QWidget* parent);

    // Reads the settings the first time the page is entered.
    virtual void ReadSettings() = 0;
    virtual void FieldsFromMembers() = 0;
    virtual void MembersFromFields() = 0;

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    const std::string& settingsFilePath() const { return settingsFilePath_; }

  private:
    std::string settingsFilePath_;
    bool wasShown_ = false;
};

// "Directories": the default log path and the viewer, each with a browse button.
class COptionPage1 : public OptionPage {
  public:
    COptionPage1(std::string settingsFilePath, common_ui::DesktopPrompts& prompts,
                 QWidget* parent = nullptr);

    void OnBrowseLogPath();
    void OnBrowseViewer();
    void OnOK() override;

    QLineEdit* logPathField() const { return logPath_; }
    QLineEdit* viewerField() const { return viewer_; }

  protected:
    void ReadSettings() override;
    void FieldsFromMembers() override;
    void MembersFromFields() override;

  private:
    common_ui::DesktopPrompts& prompts_;
    analyzer::DirectoryOptions values_;
    QLineEdit* logPath_;
    QLineEdit* viewer_;
};

// "Copy Options": whether a copied entry hides the inbound WAN address, and the mask.
class COptionPage2 : public OptionPage {
  public:
    explicit COptionPage2(std::string settingsFilePath, QWidget* parent = nullptr);

    void OnMaskSwitchClicked();
    void OnOK() override;

    QCheckBox* maskSwitch() const { return maskSwitch_; }
    QLineEdit* maskField() const { return mask_; }

  protected:
    void ReadSettings() override;
    void FieldsFromMembers() override;
    void MembersFromFields() override;

  private:
    analyzer::CopyOptions values_;
    QCheckBox* maskSwitch_;
    QLineEdit* mask_;
};

// The "Options" sheet. OK runs the OK step of each page shown during this opening;
// Cancel, Escape and the close box write nothing.
class COptionsSheet : public QDialog {
  public:
    COptionsSheet(const QString& settingsFilePath, common_ui::DesktopPrompts& prompts,
                  QWidget* parent = nullptr);

    void accept() override;

    QTabWidget* tabs() const { return tabs_; }
    COptionPage1* page1() const { return page1_; }
    COptionPage2* page2() const { return page2_; }

  private:
    QTabWidget* tabs_;
    COptionPage1* page1_;
    COptionPage2* page2_;
};

}  // namespace analyzer_ui
