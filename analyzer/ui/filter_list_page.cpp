#include "analyzer/ui/filter_list_page.h"

#include <QPushButton>
#include <memory>

#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

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
                               std::string settingsFilePath, common_ui::DesktopPrompts& prompts,
                               QWidget* parent)
    : SheetPage(parent),
      section_(section),
      kind_(kind),
      settingsFilePath_(std::move(settingsFilePath)),
      prompts_(prompts),
      list_(new FilterCheckList(this)) {
    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &FilterListPage::addFilter);
    connect(remove, &QPushButton::clicked, this, &FilterListPage::deleteFilter);
    common_ui::PlaceControls(*this, QSize(kPageWidth, kPageHeight),
                             {{list_, kList}, {add, kAdd}, {remove, kDelete}});
}

void FilterListPage::load() {
    list_->loadSection(section_, settingsFilePath_);
}

void FilterListPage::save() {
    list_->saveSection();
}

void FilterListPage::addFilter() {
    std::unique_ptr<InputDialog> dialog;
    if (kind_ == FilterKind::kSourceIp) {
        dialog = std::make_unique<AddSourceIpDialog>(QString(), prompts_, this);
    } else {
        dialog = std::make_unique<AddTargetPortDialog>(QString(), prompts_, this);
    }
    if (prompts_.RunDialog(*dialog) == QDialog::Accepted) {
        list_->addItem(common_ui::ToFileText(dialog->text()), true);
    }
}

void FilterListPage::deleteFilter() {
    list_->deleteSelected();
}

}  // namespace analyzer_ui
