#pragma once

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

// One filter section of the settings file as an editable, sorted check list. The file
// changes only in SaveSection.
class FilterList {
  public:
    // Remembers the section and the file, then lists the section's keys (or the single
    // unticked item "Unknown" when the section does not exist). A value that reads as a
    // non-zero number shows as ticked, as it filters.
    void LoadSection(std::string_view section, std::string settingsFilePath);

    const std::vector<FilterItem>& items() const { return items_; }
    std::optional<std::size_t> selectedItem() const { return selected_; }
    void Select(std::optional<std::size_t> item);
    void SetChecked(std::size_t item, bool checked);

    // Inserts at the item's sorted place (letter case ignored), after equal texts, and
    // answers that place. The selected item stays selected.
    std::size_t AddItem(std::string text, bool checked);
    // Removes the selected item; nothing happens without a selection.
    void DeleteSelected();

    // Rewrites the section with exactly the list's items in list order, "1" for ticked
    // and "0" for clear; of two equal keys the later one's state stays.
    bool SaveSection() const;

  private:
    std::string section_;
    std::string settingsFilePath_;
    std::vector<FilterItem> items_;
    std::optional<std::size_t> selected_;
};

// The check of the source IP input: accepted when the dotted address converts to an
// address and back to exactly the same text.
bool IsValidSourceIp(std::string_view text);

}  // namespace analyzer
