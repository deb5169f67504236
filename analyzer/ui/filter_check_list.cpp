#include "analyzer/ui/filter_check_list.h"

#include "analyzer/ui/filter_items_model.h"
#include "analyzer/ui/selection.h"

namespace analyzer_ui {

FilterCheckList::FilterCheckList(QWidget* parent)
    : QListView(parent), model_(new FilterItemsModel(editor_, this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

FilterCheckList::~FilterCheckList() {
    // The model goes while the editor it listens to is still there.
    setModel(nullptr);
    delete model_;
}

void FilterCheckList::loadSection(std::string_view section, const std::string& settingsFilePath) {
    editor_.LoadSection(section, settingsFilePath);
}

void FilterCheckList::addItem(const std::string& text, bool checked) {
    editor_.AddItem(text, checked);
}

void FilterCheckList::deleteSelected() {
    ApplySelection(*this, editor_.DeleteSelected(SelectedRow(*this)));
}

bool FilterCheckList::saveSection() const {
    return editor_.SaveSection();
}

}  // namespace analyzer_ui
