#include "common/text_format.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(FormatTextTest, FillsTextAndNumberPlaceholdersInOrder) {
    EXPECT_EQ(FormatText("Velmora %s - %s Records to view", {"Running", "1,234"}),
              "Velmora Running - 1,234 Records to view");
    EXPECT_EQ(FormatText("%s falied with error %d", {"Lookup", -3}), "Lookup falied with error -3");
    EXPECT_EQ(FormatText("%s (%s %d).", {"a", "Error code:", 2}), "a (Error code: 2).");
    EXPECT_EQ(FormatText("100%% of %d", {7}), "100% of 7");
}

// An argument is never read as a placeholder, and missing ones leave the text as it was.
TEST(FormatTextTest, ArgumentsAndMissingArgumentsAreLeftAlone) {
    EXPECT_EQ(FormatText("%s and %s", {"%s%d%n"}), "%s%d%n and %s");
    EXPECT_EQ(FormatText("%d%", {}), "%d%");
    EXPECT_EQ(FormatText("%x %1 %s", {"y"}), "%x %1 y");
}

}  // namespace
}  // namespace common
