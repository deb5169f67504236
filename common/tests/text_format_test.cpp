#include "common/text_format.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFormatTest, FillsNumberedPlaceholders) {
    EXPECT_EQ(common::FillPlaceholders("\"%1\" code %2, again %1", {"a.log", "5"}),
              "\"a.log\" code 5, again a.log");
    EXPECT_EQ(common::FillPlaceholders("%1 %3", {"x"}), "x %3");
}

TEST(TextFormatTest, FillsPrintfPlaceholdersInTurn) {
    struct Case {
        const char* pattern;
        std::initializer_list<std::string_view> args;
        const char* expected;
    };
    const Case cases[] = {
        {"%s of list reached, from the %s.",
         {"Bottom", "top"},
         "Bottom of list reached, from the top."},
        {"%s %s %d.", {"Error:", "returned error code", "98"}, "Error: returned error code 98."},
        {"100%% of %s", {"rows"}, "100% of rows"},
        {"%s and %s", {"one"}, "one and %s"},  // a missing argument is not read
        {"%x %", {"a"}, "%x %"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(common::FillPrintfPlaceholders(c.pattern, c.args), c.expected) << c.pattern;
    }
}

}  // namespace
