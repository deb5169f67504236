#include "analyzer/ui/directories_page.h"

#include <QLabel>
#include <QPushButton>

#include "analyzer/core/analyzer_strings.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

// Layout in dialog units.
constexpr int kPageWidth = 212;
constexpr int kPageHeight = 72;
constexpr common_ui::DialogRect kLogPathLabel{7, 7, 100, 8};
constexpr common_ui::DialogRect kLogPath{7, 17, 178, 12};
constexpr common_ui::DialogRect kBrowseLogPath{189, 16, 16, 14};
constexpr common_ui::DialogRect kViewerLabel{7, 37, 100, 8};
constexpr common_ui::DialogRect kViewer{7, 47, 178, 12};
constexpr common_ui::DialogRect kBrowseViewer{189, 46, 16, 14};

QPushButton* MakeBrowseButton(QWidget* page, const QString& accessibleName) {
    auto* button = new QPushButton(QStringLiteral("..."), page);
    button->setAutoDefault(false);
    button->setAccessibleName(accessibleName);
    return button;
}

QLabel* MakeLabel(const QString& text, QLineEdit* buddy, QWidget* page) {
    auto* label = new QLabel(text, page);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

DirectoriesPage::DirectoriesPage(std::string settingsFilePath, common_ui::DesktopPrompts& prompts,
                                 QWidget* parent)
    : SheetPage(parent),
      settingsFilePath_(std::move(settingsFilePath)),
      prompts_(prompts),
      logPath_(new QLineEdit(this)),
      viewer_(new QLineEdit(this)) {
    QPushButton* browseLogPathButton =
        MakeBrowseButton(this, QStringLiteral("Browse for the default log path"));
    QPushButton* browseViewerButton =
        MakeBrowseButton(this, QStringLiteral("Browse for the log viewer"));
    connect(browseLogPathButton, &QPushButton::clicked, this, &DirectoriesPage::browseLogPath);
    connect(browseViewerButton, &QPushButton::clicked, this, &DirectoriesPage::browseViewer);
    common_ui::PlaceControls(
        *this, QSize(kPageWidth, kPageHeight),
        {{MakeLabel(QStringLiteral("Default Log Path:"), logPath_, this), kLogPathLabel},
         {logPath_, kLogPath},
         {browseLogPathButton, kBrowseLogPath},
         {MakeLabel(QStringLiteral("Log Viewer:"), viewer_, this), kViewerLabel},
         {viewer_, kViewer},
         {browseViewerButton, kBrowseViewer}});
}

void DirectoriesPage::load() {
    values_ = analyzer::ReadDirectoryOptions(settingsFilePath_);
}

void DirectoriesPage::entered() {
    logPath_->setText(common_ui::FromFileText(values_.logPath));
    viewer_->setText(common_ui::FromFileText(values_.viewer));
}

void DirectoriesPage::left() {
    values_.logPath = common_ui::ToFileText(logPath_->text(), values_.logPath);
    values_.viewer = common_ui::ToFileText(viewer_->text(), values_.viewer);
}

void DirectoriesPage::browseLogPath() {
    const auto chosen = prompts_.ChooseFileToOpen(
        {common_ui::FromFileText(analyzer::AnalyzerString(analyzer::ids::kLogDirectoryTitle)),
         common_ui::FromFileText(values_.logPath),
         common_ui::FromFileText(analyzer::ToQtFileFilters(analyzer::texts::kLogFileFilter))});
    if (!chosen) {
        return;
    }
    values_.logPath = analyzer::DirectoryOfChosenFile(common_ui::ToFileText(*chosen));
    entered();
}

void DirectoriesPage::browseViewer() {
    const auto chosen = prompts_.ChooseFileToOpen(
        {common_ui::FromFileText(analyzer::AnalyzerString(analyzer::ids::kViewerTitle)),
         common_ui::FromFileText(values_.viewer),
         common_ui::FromFileText(analyzer::ToQtFileFilters(analyzer::texts::kViewerFileFilter))});
    if (!chosen) {
        return;
    }
    values_.viewer = analyzer::ViewerTextOfProgram(common_ui::ToFileText(*chosen));
    entered();
}

void DirectoriesPage::save() {
    left();
    analyzer::WriteDirectoryOptions(settingsFilePath_, values_);
}

}  // namespace analyzer_ui
