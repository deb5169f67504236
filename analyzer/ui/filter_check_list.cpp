#include "analyzer/ui/check_list.h"

#include "analyzer/ui/row_models.h"
#include "analyzer/ui/selection.h"

namespace analyzer_ui {

CCheckList::CCheckList(QWidget* parent)
    : QListView(parent), model_(new FilterItemsModel(editor_, this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

CCheckList::~CCheckList() {
    // The model goes while the editor it listens to is still there.
    setModel(nullptr);
    delete model_;
}

void CCheckList::LoadSection(std::string_view section, const std::string& settingsFilePath) {
    editor_.LoadSection(section, settingsFilePath);
}

void CCheckList::AddItem(const std::string& text, bool checked) {
    editor_.AddItem(text, checked);
}

void CCheckList::DeleteSelected() {
    ApplySelection(*this, editor_.DeleteSelected(SelectedRow(*this)));
}

bool CCheckList::SaveSection() const {
    return editor_.SaveSection();
}

}  // namespace analyzer_ui
