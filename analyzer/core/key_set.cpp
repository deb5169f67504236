#include "analyzer/core/key_set.h"

#include "common/ascii.h"

#include <functional>
#include <utility>

namespace analyzer {
namespace {

// Keys this long are lowered on the stack; longer ones (never a filter key in practice)
// take a heap copy.
constexpr std::size_t kShortKey = 64;

template <typename Use>
auto WithLowerCase(std::string_view key, Use use) {
    char buffer[kShortKey];
    std::string longKey;
    char* lower = buffer;
    if (key.size() > kShortKey) {
        longKey.resize(key.size());
        lower = longKey.data();
    }
    for (std::size_t i = 0; i < key.size(); ++i) {
        lower[i] = common::AsciiLower(key[i]);
    }
    return use(std::string_view(lower, key.size()));
}

}  // namespace

std::uint64_t KeySet::Hash(std::string_view lowerKey) {
    return std::hash<std::string_view>{}(lowerKey);
}

void KeySet::Insert(std::string_view key) {
    if (key.empty() || Contains(key)) {
        return;
    }
    if ((count_ + 1) * 2 > slots_.size()) {
        Grow();
    }
    WithLowerCase(key, [&](std::string_view lower) {
        const std::uint64_t hash = Hash(lower);
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = hash & mask;
        while (!slots_[i].key.empty()) {
            i = (i + 1) & mask;
        }
        slots_[i] = {hash, std::string(lower)};
        return true;
    });
    ++count_;
}

bool KeySet::Contains(std::string_view key) const {
    if (count_ == 0 || key.empty()) {
        return false;
    }
    return WithLowerCase(key, [&](std::string_view lower) {
        const std::uint64_t hash = Hash(lower);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask; !slots_[i].key.empty(); i = (i + 1) & mask) {
            if (slots_[i].hash == hash && slots_[i].key == lower) {
                return true;
            }
        }
        return false;
    });
}

void KeySet::Grow() {
    std::vector<Slot> old =
        std::exchange(slots_, std::vector<Slot>(slots_.empty() ? 16 : slots_.size() * 2));
    const std::size_t mask = slots_.size() - 1;
    for (Slot& slot : old) {
        if (slot.key.empty()) {
            continue;
        }
        std::size_t i = slot.hash & mask;
        while (!slots_[i].key.empty()) {
            i = (i + 1) & mask;
        }
        slots_[i] = std::move(slot);
    }
}

}  // namespace analyzer
