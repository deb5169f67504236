#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// A set of names compared without regard to ASCII case, built once and asked often: the
// parser asks it twice for every inbound line of a log.
class KeySet {
  public:
    void Insert(std::string_view key);
    bool Contains(std::string_view key) const;
    bool empty() const { return count_ == 0; }

  private:
    struct Slot {
        std::uint64_t hash = 0;
        std::string key;  // lower case; empty marks a free slot
    };

    static std::uint64_t Hash(std::string_view lowerKey);
    void Grow();

    std::vector<Slot> slots_;  // open addressing; the size is a power of two
    std::size_t count_ = 0;
};

}  // namespace analyzer
