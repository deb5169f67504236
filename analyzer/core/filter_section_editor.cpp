#include "analyzer/core/filter_section_editor.h"

#include "analyzer/core/analyzer_strings.h"
#include "common/ascii.h"
#include "common/profile_snapshot.h"
#include "common/profile_store.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <utility>

namespace analyzer {
namespace {

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(common::AsciiLower(x)) <
               static_cast<unsigned char>(common::AsciiLower(y));
    });
}

}  // namespace

void FilterSectionEditor::LoadSection(std::string_view section, std::string settingsFilePath) {
    section_ = section;
    settingsFilePath_ = std::move(settingsFilePath);
    if (listener_) {
        listener_->BeforeReset();
    }
    items_.clear();
    // One read of the file, so names and values come from the same moment.
    const common::ProfileSnapshot settings = common::ProfileSnapshot::Load(settingsFilePath_);
    for (std::string& name : settings.ListKeys(section_, texts::kUnknownFilter)) {
        const bool checked = settings.ReadInt(section_, name, 0) != 0;
        const auto place = static_cast<std::ptrdiff_t>(SortedPlace(name));
        items_.insert(items_.begin() + place, FilterItem{std::move(name), checked});
    }
    if (listener_) {
        listener_->AfterReset();
    }
}

std::size_t FilterSectionEditor::SortedPlace(std::string_view text) const {
    const auto at = std::upper_bound(items_.begin(), items_.end(), text,
                                     [](std::string_view value, const FilterItem& item) {
                                         return LessIgnoringCase(value, item.text);
                                     });
    return static_cast<std::size_t>(at - items_.begin());
}

void FilterSectionEditor::SetChecked(std::size_t item, bool checked) {
    if (item < items_.size() && items_[item].checked != checked) {
        items_[item].checked = checked;
        if (listener_) {
            listener_->Changed(item);
        }
    }
}

std::size_t FilterSectionEditor::AddItem(std::string text, bool checked) {
    const std::size_t place = SortedPlace(text);
    if (listener_) {
        listener_->BeforeInsert(place);
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(place),
                  FilterItem{std::move(text), checked});
    if (listener_) {
        listener_->AfterInsert();
    }
    return place;
}

SelectionAfter FilterSectionEditor::DeleteSelected(std::optional<std::size_t> selected) {
    if (!selected || *selected >= items_.size()) {
        return SelectionAfter::Keep();
    }
    if (listener_) {
        listener_->BeforeRemove(*selected);
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*selected));
    if (listener_) {
        listener_->AfterRemove();
    }
    return SelectionAfter::Clear();
}

bool FilterSectionEditor::SaveSection() const {
    std::vector<common::ProfileStore::KeyValue> entries;
    entries.reserve(items_.size());
    for (const FilterItem& item : items_) {
        entries.emplace_back(item.text, item.checked ? "1" : "0");
    }
    return common::ProfileStore(settingsFilePath_).ReplaceSection(section_, entries);
}

bool IsValidSourceIp(std::string_view text) {
    const std::string typed(text);
    in_addr address{};
    address.s_addr = ::inet_addr(typed.c_str());
    return typed == ::inet_ntoa(address);
}

}  // namespace analyzer
