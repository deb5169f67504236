#include "analyzer/ui/options_sheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/ui/dialog_layout.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {
namespace {

// Page layouts in dialog units.
constexpr int kPageWidth = 212;
constexpr int kPageHeight = 72;
namespace directories {
constexpr common_ui::DialogRect kLogPathLabel{7, 7, 100, 8};
constexpr common_ui::DialogRect kLogPath{7, 17, 178, 12};
constexpr common_ui::DialogRect kBrowseLogPath{189, 16, 16, 14};
constexpr common_ui::DialogRect kViewerLabel{7, 37, 100, 8};
constexpr common_ui::DialogRect kViewer{7, 47, 178, 12};
constexpr common_ui::DialogRect kBrowseViewer{189, 46, 16, 14};
}  // namespace directories
namespace copy_options {
constexpr common_ui::DialogRect kMaskSwitch{7, 7, 120, 10};
constexpr common_ui::DialogRect kMask{7, 21, 120, 12};
}  // namespace copy_options

QPushButton* MakeBrowseButton(QWidget* page) {
    auto* button = new QPushButton(QStringLiteral("..."), page);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(const QString& text, QLineEdit* buddy, QWidget* page) {
    auto* label = new QLabel(text, page);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

OptionPage::OptionPage(std::string settingsFilePath, QWidget* parent)
    : QWidget(parent), settingsFilePath_(std::move(settingsFilePath)) {}

void OptionPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (!wasShown_) {
        wasShown_ = true;
        ReadSettings();
    }
    FieldsFromMembers();
}

void OptionPage::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous() && wasShown_) {
        MembersFromFields();
    }
}

COptionPage1::COptionPage1(std::string settingsFilePath, common_ui::DesktopPrompts& prompts,
                           QWidget* parent)
    : OptionPage(std::move(settingsFilePath), parent),
      prompts_(prompts),
      logPath_(new QLineEdit(this)),
      viewer_(new QLineEdit(this)) {
    QPushButton* browseLogPath = MakeBrowseButton(this);
    QPushButton* browseViewer = MakeBrowseButton(this);
    browseLogPath->setAccessibleName(QStringLiteral("Browse for the default log path"));
    browseViewer->setAccessibleName(QStringLiteral("Browse for the log viewer"));
    connect(browseLogPath, &QPushButton::clicked, this, &COptionPage1::OnBrowseLogPath);
    connect(browseViewer, &QPushButton::clicked, this, &COptionPage1::OnBrowseViewer);
    using namespace directories;
    ApplyLayout(*this, kPageWidth, kPageHeight,
                {{MakeLabel(QStringLiteral("Default Log Path:"), logPath_, this), kLogPathLabel},
                 {logPath_, kLogPath},
                 {browseLogPath, kBrowseLogPath},
                 {MakeLabel(QStringLiteral("Log Viewer:"), viewer_, this), kViewerLabel},
                 {viewer_, kViewer},
                 {browseViewer, kBrowseViewer}});
}

void COptionPage1::ReadSettings() {
    values_ = analyzer::ReadDirectoryOptions(settingsFilePath());
}

void COptionPage1::FieldsFromMembers() {
    logPath_->setText(ToQString(values_.logPath));
    viewer_->setText(ToQString(values_.viewer));
}

void COptionPage1::MembersFromFields() {
    values_.logPath = ToStdString(logPath_->text());
    values_.viewer = ToStdString(viewer_->text());
}

void COptionPage1::OnBrowseLogPath() {
    const auto chosen = prompts_.ChooseFileToOpen(
        {ToQString(analyzer::AnalyzerString(analyzer::ids::kLogDirectoryTitle)),
         ToQString(values_.logPath),
         ToQString(analyzer::ToQtFileFilters(analyzer::texts::kLogFileFilter))});
    if (!chosen) {
        return;
    }
    values_.logPath = analyzer::DirectoryOfChosenFile(ToStdString(*chosen));
    FieldsFromMembers();
}

void COptionPage1::OnBrowseViewer() {
    const auto chosen = prompts_.ChooseFileToOpen(
        {ToQString(analyzer::AnalyzerString(analyzer::ids::kViewerTitle)),
         ToQString(values_.viewer),
         ToQString(analyzer::ToQtFileFilters(analyzer::texts::kViewerFileFilter))});
    if (!chosen) {
        return;
    }
    values_.viewer = ToStdString(*chosen);
    FieldsFromMembers();
}

void COptionPage1::OnOK() {
    MembersFromFields();
    analyzer::WriteDirectoryOptions(settingsFilePath(), values_);
}

COptionPage2::COptionPage2(std::string settingsFilePath, QWidget* parent)
    : OptionPage(std::move(settingsFilePath), parent),
      maskSwitch_(new QCheckBox(QStringLiteral("Hide Inbound WAN IP"), this)),
      mask_(new QLineEdit(this)) {
    mask_->setAccessibleName(QStringLiteral("Mask"));
    connect(maskSwitch_, &QCheckBox::clicked, this, &COptionPage2::OnMaskSwitchClicked);
    using namespace copy_options;
    ApplyLayout(*this, kPageWidth, kPageHeight, {{maskSwitch_, kMaskSwitch}, {mask_, kMask}});
}

void COptionPage2::ReadSettings() {
    values_ = analyzer::ReadCopyOptions(settingsFilePath());
}

void COptionPage2::FieldsFromMembers() {
    maskSwitch_->setChecked(values_.maskInboundTarget);
    mask_->setText(ToQString(values_.ipMask));
    mask_->setReadOnly(!values_.maskInboundTarget);
}

void COptionPage2::MembersFromFields() {
    values_.maskInboundTarget = maskSwitch_->isChecked();
    values_.ipMask = ToStdString(mask_->text());
}

void COptionPage2::OnMaskSwitchClicked() {
    MembersFromFields();
    mask_->setReadOnly(!values_.maskInboundTarget);
}

void COptionPage2::OnOK() {
    MembersFromFields();
    analyzer::WriteCopyOptions(settingsFilePath(), values_);
}

COptionsSheet::COptionsSheet(const QString& settingsFilePath, common_ui::DesktopPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent),
      tabs_(new QTabWidget(this)),
      page1_(new COptionPage1(ToStdString(settingsFilePath), prompts)),
      page2_(new COptionPage2(ToStdString(settingsFilePath))) {
    UseDialogFrame(*this);
    setWindowTitle(ToQString(analyzer::AnalyzerString(analyzer::ids::kOptionsTitle)));
    tabs_->addTab(page1_, QStringLiteral("Directories"));
    tabs_->addTab(page2_, QStringLiteral("Copy Options"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void COptionsSheet::accept() {
    for (OptionPage* page : {static_cast<OptionPage*>(page1_), static_cast<OptionPage*>(page2_)}) {
        if (page->wasShown()) {
            page->OnOK();
        }
    }
    QDialog::accept();
}

}  // namespace analyzer_ui
