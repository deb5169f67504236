#include "analyzer/ui/filter_list_page.h"

#include <QPushButton>

#include "analyzer/ui/dialog_layout.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {
namespace {

// Layout in dialog units.
constexpr int kPageWidth = 212;
constexpr int kPageHeight = 150;
constexpr common_ui::DialogRect kList{7, 7, 140, 136};
constexpr common_ui::DialogRect kAdd{155, 7, 50, 14};
constexpr common_ui::DialogRect kDelete{155, 25, 50, 14};

}  // namespace

FilterListPage::FilterListPage(std::string_view section, FilterKind kind,
                               std::string settingsFilePath, EditorDialogs& dialogs,
                               QWidget* parent)
    : SheetPage(parent),
      section_(section),
      kind_(kind),
      settingsFilePath_(std::move(settingsFilePath)),
      dialogs_(dialogs),
      list_(new FilterCheckList(this)) {
    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &FilterListPage::addFilter);
    connect(remove, &QPushButton::clicked, this, &FilterListPage::deleteFilter);
    ApplyLayout(*this, kPageWidth, kPageHeight, {{list_, kList}, {add, kAdd}, {remove, kDelete}});
}

void FilterListPage::load() {
    list_->loadSection(section_, settingsFilePath_);
}

void FilterListPage::save() {
    list_->saveSection();
}

void FilterListPage::addFilter() {
    if (const auto text = dialogs_.RunFilterInput(kind_, this)) {
        list_->addItem(ToStdString(*text), true);
    }
}

void FilterListPage::deleteFilter() {
    list_->deleteSelected();
}

}  // namespace analyzer_ui
