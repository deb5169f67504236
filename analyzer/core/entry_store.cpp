#include "analyzer/core/entry_store.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace analyzer {

EntryStore::EntryStore(std::size_t textLimit)
    : textLimit_(std::min<std::size_t>(textLimit, std::numeric_limits<std::uint32_t>::max())) {}

void EntryStore::ClearEntries() {
    blocks_.clear();
    spans_.clear();
    spans_.shrink_to_fit();
    textSize_ = 0;
}

bool EntryStore::AppendEntry(std::string_view text) {
    if (text.size() > textLimit_ - textSize_ ||
        spans_.size() == std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < text.size()) {
        // An entry never straddles two blocks; one longer than a block gets its own.
        const std::size_t capacity = std::max(kBlockSize, text.size());
        blocks_.push_back({std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    std::memcpy(block.text.get() + block.used, text.data(), text.size());
    spans_.push_back({static_cast<std::uint32_t>(blocks_.size() - 1),
                      static_cast<std::uint32_t>(block.used),
                      static_cast<std::uint32_t>(text.size())});
    block.used += text.size();
    textSize_ += text.size();
    return true;
}

std::string_view EntryStore::Entry(std::size_t index) const {
    const Span& span = spans_.at(index);
    return {blocks_[span.block].text.get() + span.offset, span.length};
}

}  // namespace analyzer
