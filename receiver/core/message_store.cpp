#include "receiver/core/message_store.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace receiver {

char* MessageStore::Reserve(std::size_t bytes, std::uint32_t& block, std::uint32_t& offset) {
    if (blocks_.empty() || used_ + bytes > blockSizes_.back()) {
        const std::size_t size = std::max(kBlockSize, bytes);
        blocks_.push_back(std::make_unique<char[]>(size));
        blockSizes_.push_back(size);
        used_ = 0;
    }
    block = static_cast<std::uint32_t>(blocks_.size() - 1);
    offset = static_cast<std::uint32_t>(used_);
    used_ += bytes;
    return blocks_.back().get() + offset;
}

void MessageStore::Append(std::string_view stamp, std::string_view text, int image) {
    stamp = stamp.substr(0, std::numeric_limits<std::uint8_t>::max());
    text = text.substr(0, std::numeric_limits<std::uint16_t>::max());
    Entry entry{};
    char* at = Reserve(stamp.size() + text.size(), entry.block, entry.offset);
    std::memcpy(at, stamp.data(), stamp.size());
    std::memcpy(at + stamp.size(), text.data(), text.size());
    entry.stampLength = static_cast<std::uint8_t>(stamp.size());
    entry.textLength = static_cast<std::uint16_t>(text.size());
    entry.image = static_cast<std::int8_t>(image);
    rows_.push_back(entry);
}

void MessageStore::Clear() {
    rows_.clear();
    rows_.shrink_to_fit();
    if (blocks_.size() > 1 || (!blocks_.empty() && blockSizes_.front() != kBlockSize)) {
        blocks_.clear();
        blockSizes_.clear();
    }
    used_ = 0;
}

MessageRow MessageStore::Row(std::size_t i) const {
    const Entry& entry = rows_[i];
    const char* at = blocks_[entry.block].get() + entry.offset;
    return {std::string_view(at, entry.stampLength),
            std::string_view(at + entry.stampLength, entry.textLength), entry.image};
}

std::size_t MessageStore::memoryBytes() const {
    std::size_t bytes = rows_.size() * sizeof(Entry);
    for (std::size_t size : blockSizes_) {
        bytes += size;
    }
    return bytes;
}

}  // namespace receiver
