#include "analyzer/ui/configure.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/ui/dialog_layout.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {
namespace {

// Page layout in dialog units.
constexpr int kPageWidth = 212;
constexpr int kPageHeight = 150;
constexpr common_ui::DialogRect kList{7, 7, 140, 136};
constexpr common_ui::DialogRect kAdd{155, 7, 50, 14};
constexpr common_ui::DialogRect kDelete{155, 25, 50, 14};

}  // namespace

FilterPage::FilterPage(std::string_view section, FilterKind kind, std::string settingsFilePath,
                       EditorDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      section_(section),
      kind_(kind),
      settingsFilePath_(std::move(settingsFilePath)),
      dialogs_(dialogs),
      list_(new CCheckList(this)) {
    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &FilterPage::OnAdd);
    connect(remove, &QPushButton::clicked, this, &FilterPage::OnDelete);
    ApplyLayout(*this, kPageWidth, kPageHeight, {{list_, kList}, {add, kAdd}, {remove, kDelete}});
}

void FilterPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!wasShown_ && !event->spontaneous()) {
        wasShown_ = true;
        list_->LoadSection(section_, settingsFilePath_);
    }
}

void FilterPage::OnAdd() {
    if (const auto text = dialogs_.RunFilterInput(kind_, this)) {
        list_->AddItem(ToStdString(*text), true);
    }
}

void FilterPage::OnDelete() {
    list_->DeleteSelected();
}

CConfigPage1::CConfigPage1(std::string settingsFilePath, EditorDialogs& dialogs, QWidget* parent)
    : FilterPage(analyzer::kSourceIpFilters, FilterKind::kSourceIp, std::move(settingsFilePath),
                 dialogs, parent) {}

CConfigPage2::CConfigPage2(std::string settingsFilePath, EditorDialogs& dialogs, QWidget* parent)
    : FilterPage(analyzer::kTargetPortFilters, FilterKind::kTargetPort, std::move(settingsFilePath),
                 dialogs, parent) {}

CConfigure::CConfigure(const QString& settingsFilePath, common_ui::DesktopPrompts& prompts,
                       QWidget* parent)
    : CConfigure(settingsFilePath, std::make_unique<ModalEditorDialogs>(prompts), nullptr, parent) {
}

CConfigure::CConfigure(const QString& settingsFilePath, EditorDialogs& dialogs, QWidget* parent)
    : CConfigure(settingsFilePath, nullptr, &dialogs, parent) {}

CConfigure::CConfigure(const QString& settingsFilePath,
                       std::unique_ptr<ModalEditorDialogs> ownDialogs, EditorDialogs* dialogs,
                       QWidget* parent)
    : QDialog(parent),
      ownDialogs_(std::move(ownDialogs)),
      tabs_(new QTabWidget(this)),
      page1_(new CConfigPage1(ToStdString(settingsFilePath), dialogs ? *dialogs : *ownDialogs_)),
      page2_(new CConfigPage2(ToStdString(settingsFilePath), dialogs ? *dialogs : *ownDialogs_)) {
    UseDialogFrame(*this);
    setWindowTitle(ToQString(analyzer::AnalyzerString(analyzer::ids::kEditFiltersTitle)));
    tabs_->addTab(page1_, QStringLiteral("Incoming Source IP"));
    tabs_->addTab(page2_, QStringLiteral("Incoming Target Port"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CConfigure::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CConfigure::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CConfigure::~CConfigure() = default;

void CConfigure::accept() {
    for (const FilterPage* page :
         {static_cast<FilterPage*>(page1_), static_cast<FilterPage*>(page2_)}) {
        if (page->wasShown()) {
            page->SaveSection();
        }
    }
    QDialog::accept();
}

}  // namespace analyzer_ui
