#pragma once

#include "analyzer/core/editor_rows.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

struct FilterItem {
    std::string text;
    bool checked = false;
};

// One filter section of the settings file as an editable check list, sorted by text with
// letter case ignored. The window owns the selection; the file changes only in
// SaveSection.
class FilterSectionEditor {
  public:
    // The listener hears of every item change from then on; nullptr silences it.
    void SetListener(RowListener* listener) { listener_ = listener; }

    // Remembers the section and the file, then lists the section's keys (or the single
    // unticked item "Unknown" when the section does not exist). A value that reads as a
    // non-zero number shows as ticked, as it filters.
    void LoadSection(std::string_view section, std::string settingsFilePath);

    const std::vector<FilterItem>& items() const { return items_; }
    void SetChecked(std::size_t item, bool checked);

    // Inserts at the item's sorted place, after equal texts, and answers that place.
    std::size_t AddItem(std::string text, bool checked);
    // Removes the selected item; nothing happens without a selection. Afterwards no
    // item is selected.
    SelectionAfter DeleteSelected(std::optional<std::size_t> selected);

    // Rewrites the section with exactly the list's items in list order, "1" for ticked
    // and "0" for clear, in one change of the file; of two equal keys the later one's
    // state stays.
    bool SaveSection() const;

  private:
    // After the items of equal text, letter case ignored.
    std::size_t SortedPlace(std::string_view text) const;

    RowListener* listener_ = nullptr;
    std::string section_;
    std::string settingsFilePath_;
    std::vector<FilterItem> items_;
};

// The check of the source IP input: accepted when the dotted address converts to an
// address and back to exactly the same text.
bool IsValidSourceIp(std::string_view text);

}  // namespace analyzer
