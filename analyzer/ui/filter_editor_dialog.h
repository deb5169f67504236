#pragma once

#include <QDialog>
#include <QTabWidget>
#include <memory>
#include <string>
#include <string_view>

#include "analyzer/ui/check_list.h"
#include "analyzer/ui/editor_dialogs.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// A page of the filter editor: one filter section as a check list, read when the page is
// first shown, with Add through the page's input dialog and Delete without asking.
class FilterPage : public QWidget {
  public:
    bool wasShown() const { return wasShown_; }
    CCheckList* checkList() const { return list_; }

    void OnAdd();
    void OnDelete();
    bool SaveSection() const { return list_->SaveSection(); }

  protected:
    FilterPage(std::string_view section, FilterKind kind, std::string settingsFilePath,
               EditorDialogs& dialogs, QWidget* parent);

    void showEvent(QShowEvent* event) override;

  private:
    std::string_view section_;
    FilterKind kind_;
    std::string settingsFilePath_;
    EditorDialogs& dialogs_;
    CCheckList* list_;
    bool wasShown_ = false;
};

// "Incoming Source IP": section SourceIPFilters.
class CConfigPage1 : public FilterPage {
  public:
    CConfigPage1(std::string settingsFilePath, EditorDialogs& dialogs, QWidget* parent = nullptr);
};

// "Incoming Target Port": section TargetPortFilters.
class CConfigPage2 : public FilterPage {
  public:
    CConfigPage2(std::string settingsFilePath, EditorDialogs& dialogs, QWidget* parent = nullptr);
};

// The "Edit Filters" sheet. OK writes the pages that were shown, each section in one
// change of the file; Cancel, Escape and the close box write nothing.
class CConfigure : public QDialog {
  public:
    CConfigure(const QString& settingsFilePath, common_ui::DesktopPrompts& prompts,
               QWidget* parent = nullptr);
    // With the input dialogs answered elsewhere (tests).
    CConfigure(const QString& settingsFilePath, EditorDialogs& dialogs, QWidget* parent = nullptr);
    ~CConfigure() override;

    void accept() override;

    QTabWidget* tabs() const { return tabs_; }
    CConfigPage1* page1() const { return page1_; }
    CConfigPage2* page2() const { return page2_; }

  private:
    CConfigure(const QString& settingsFilePath, std::unique_ptr<ModalEditorDialogs> ownDialogs,
               EditorDialogs* dialogs, QWidget* parent);

    std::unique_ptr<ModalEditorDialogs> ownDialogs_;
    QTabWidget* tabs_;
    CConfigPage1* page1_;
    CConfigPage2* page2_;
};

}  // namespace analyzer_ui
