#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

namespace receiver {

// One row of the message list as the window, find and the console read it. The views
// stay valid until the store is cleared.
struct MessageRow {
    std::string_view stamp;
    std::string_view text;
    int image;
};

// The message list's rows in arrival order: every row's stamp and text in one arena of
// fixed blocks, and a small index entry per row. Appending never moves what is stored,
// so it costs the same whether the list holds ten rows or ten million.
class MessageStore {
  public:
    MessageStore() = default;
    MessageStore(const MessageStore&) = delete;
    MessageStore& operator=(const MessageStore&) = delete;

    // A text longer than a row can hold (65,535 bytes) is cut; records are far shorter.
    void Append(std::string_view stamp, std::string_view text, int image);
    // Lets go of every row; the memory goes back, but for one block kept for the next.
    void Clear();

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    MessageRow Row(std::size_t i) const;

    // Bytes held for the rows, index and arena together.
    std::size_t memoryBytes() const;

  private:
    struct Entry {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint16_t textLength;
        std::uint8_t stampLength;
        std::int8_t image;
    };
    static constexpr std::size_t kBlockSize = 1 << 16;

    char* Reserve(std::size_t bytes, std::uint32_t& block, std::uint32_t& offset);

    std::deque<Entry> rows_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::size_t> blockSizes_;
    std::size_t used_ = 0;  // bytes taken in the last block
};

}  // namespace receiver
