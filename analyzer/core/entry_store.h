#pragma once

#include "analyzer/core/entry_loader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace analyzer {

// The texts of the entry list: one arena of text in large blocks, and per entry only
// where its text lies. A million entries cost their text and twelve bytes each, and the
// arena never copies what it holds when it grows.
class EntryStore : public EntrySink {
  public:
    // Most text the list takes before it refuses a line.
    static constexpr std::size_t kDefaultTextLimit = std::size_t{1} << 31;

    explicit EntryStore(std::size_t textLimit = kDefaultTextLimit);

    void ClearEntries() override;
    // False, and nothing stored, once the text limit would be passed.
    bool AppendEntry(std::string_view text) override;

    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::string_view Entry(std::size_t index) const;

  private:
    struct Span {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct Block {
        std::unique_ptr<char[]> text;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };

    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    std::size_t textLimit_;
    std::size_t textSize_ = 0;
    std::vector<Block> blocks_;
    std::vector<Span> spans_;
};

}  // namespace analyzer
