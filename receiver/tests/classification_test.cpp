#include "receiver/core/classification.h"

#include <gtest/gtest.h>

namespace receiver {
namespace {

constexpr int kHidden = -1;

// The list compares the direction letter exactly and files the rest as control messages;
// the log files every non-"i" connection record as outgoing.
TEST(ClassificationTest, DisplayAndLogDecideByLeadingCharacters) {
    const struct {
        const char* text;
        KindFlags flags;  // used as both display and log flags
        int image;        // kHidden when the list leaves it out
        int logKind;      // kHidden when no log takes it
        const char* body;
    } cases[] = {
        {"@in a b c d", {1, 0, 0, 0}, kImageIncoming, kIncoming, "in a b c d"},
        {"@in a b c d", {0, 1, 1, 1}, kHidden, kHidden, ""},
        {"@out a b c d", {0, 1, 0, 0}, kImageOutgoing, kOutgoing, "out a b c d"},
        {"@out a b c d", {1, 0, 1, 1}, kHidden, kHidden, ""},
        {"@In a b c d", {0, 0, 1, 0}, kImageControl, kHidden, "In a b c d"},
        {"@In a b c d", {1, 1, 0, 0}, kHidden, kOutgoing, "In a b c d"},
        {"@Out x", {0, 0, 1, 0}, kImageControl, kHidden, "Out x"},
        {"@Out x", {0, 1, 0, 0}, kHidden, kOutgoing, "Out x"},
        {"@x", {1, 1, 1, 0}, kImageControl, kOutgoing, "x"},
        {"@", {0, 0, 1, 0}, kImageControl, kHidden, ""},
        {"@", {1, 1, 0, 0}, kHidden, kOutgoing, ""},
        {"cold start", {0, 0, 1, 0}, kImageControl, kMessages, "cold start"},
        {"cold start", {1, 1, 0, 1}, kHidden, kHidden, ""},
        {"in @a", {0, 0, 1, 0}, kImageControl, kMessages, "in @a"},
        {"", {0, 0, 1, 0}, kImageControl, kMessages, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" flags " << c.flags[0] << c.flags[1]
                                        << c.flags[2] << c.flags[3]);
        const auto display = ClassifyForDisplay(c.text, c.flags);
        ASSERT_EQ(display.has_value(), c.image != kHidden);
        if (display) {
            EXPECT_EQ(display->image, c.image);
            EXPECT_EQ(display->columnText, c.body);
        }
        const auto separate = ClassifyForLog(c.text, c.flags, false);
        const auto combined = ClassifyForLog(c.text, c.flags, true);
        ASSERT_EQ(separate.has_value(), c.logKind != kHidden);
        ASSERT_EQ(combined.has_value(), c.logKind != kHidden);
        if (separate) {
            EXPECT_EQ(separate->kind, c.logKind);
            EXPECT_EQ(separate->body, c.body);
            EXPECT_EQ(combined->kind, kCombined);
            EXPECT_EQ(combined->body, c.body);
        }
    }
}

}  // namespace
}  // namespace receiver
