#include "receiver/core/message_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace receiver {
namespace {

// Rows far past one arena block: every row still reads back as stored, and the views of
// early rows survive later appends.
TEST(MessageStoreTest, RowsReadBackAcrossBlocksAndStayPut) {
    MessageStore store;
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) {
        texts.push_back(std::string(i % 500, static_cast<char>('a' + i % 26)) + std::to_string(i));
    }
    store.Append("09/27/2002 19:48:38", texts[0], 0);
    const MessageRow first = store.Row(0);
    for (std::size_t i = 1; i < texts.size(); ++i) {
        store.Append("09/27/2002 19:48:" + std::to_string(i % 60), texts[i],
                     static_cast<int>(i % 4));
    }
    ASSERT_EQ(store.size(), texts.size());
    EXPECT_EQ(first.text, texts[0]);
    EXPECT_EQ(first.stamp, "09/27/2002 19:48:38");
    for (std::size_t i = 1; i < texts.size(); ++i) {
        const MessageRow row = store.Row(i);
        ASSERT_EQ(row.text, texts[i]) << i;
        ASSERT_EQ(row.stamp, "09/27/2002 19:48:" + std::to_string(i % 60)) << i;
        ASSERT_EQ(row.image, static_cast<int>(i % 4)) << i;
    }
}

TEST(MessageStoreTest, EmptyTextsAndOversizeTexts) {
    MessageStore store;
    store.Append("s", "", 3);
    store.Append("", "", 0);
    const std::string huge(70000, 'x');
    store.Append("s", huge, 1);
    EXPECT_EQ(store.Row(0).text, "");
    EXPECT_EQ(store.Row(0).image, 3);
    EXPECT_EQ(store.Row(1).stamp, "");
    EXPECT_EQ(store.Row(2).text, huge.substr(0, 65535));
    EXPECT_EQ(store.Row(2).stamp, "s");
}

TEST(MessageStoreTest, ClearLetsGoOfRowsAndMemory) {
    MessageStore store;
    for (int i = 0; i < 20000; ++i) {
        store.Append("09/27/2002 19:48:38", "in 203.0.113.45 4512 198.51.100.7 80", 0);
    }
    const std::size_t full = store.memoryBytes();
    store.Clear();
    EXPECT_TRUE(store.empty());
    EXPECT_LT(store.memoryBytes(), full / 10);
    store.Append("a", "after", 1);
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store.Row(0).text, "after");
    EXPECT_EQ(store.Row(0).stamp, "a");
}

}  // namespace
}  // namespace receiver
