#include "analyzer/core/filter_list.h"

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

void FilterList::LoadSection(std::string_view section, std::string settingsFilePath) {
    section_ = section;
    settingsFilePath_ = std::move(settingsFilePath);
    items_.clear();
    selected_.reset();
    // One read of the file, so names and values come from the same moment.
    const common::ProfileSnapshot settings = common::ProfileSnapshot::Load(settingsFilePath_);
    for (std::string& name : settings.ListKeys(section_, texts::kUnknownFilter)) {
        const bool checked = settings.ReadInt(section_, name, 0) != 0;
        AddItem(std::move(name), checked);
    }
}

void FilterList::Select(std::optional<std::size_t> item) {
    selected_ = item && *item < items_.size() ? item : std::nullopt;
}

void FilterList::SetChecked(std::size_t item, bool checked) {
    if (item < items_.size()) {
        items_[item].checked = checked;
    }
}

std::size_t FilterList::AddItem(std::string text, bool checked) {
    const auto at = std::upper_bound(items_.begin(), items_.end(), text,
                                     [](const std::string& value, const FilterItem& item) {
                                         return LessIgnoringCase(value, item.text);
                                     });
    const auto place = static_cast<std::size_t>(at - items_.begin());
    items_.insert(at, FilterItem{std::move(text), checked});
    if (selected_ && *selected_ >= place) {
        ++*selected_;
    }
    return place;
}

void FilterList::DeleteSelected() {
    if (!selected_) {
        return;
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*selected_));
    selected_.reset();
}

bool FilterList::SaveSection() const {
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
