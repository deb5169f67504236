#include "common_ui/file_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Shown {
    const char* name;
    std::string bytes;
    QString text;
};

class FileTextShownTest : public testing::TestWithParam<Shown> {};

TEST_P(FileTextShownTest, ShowsUtf8WhereValidElseLatin1AndKeepsUntouchedBytes) {
    const Shown& c = GetParam();
    EXPECT_EQ(common_ui::FromFileText(c.bytes), c.text);
    // Written back untouched, the value keeps every byte it had.
    EXPECT_EQ(common_ui::ToFileText(common_ui::FromFileText(c.bytes), c.bytes), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FileTextShownTest,
    testing::Values(Shown{"Ascii", "World Wide Web HTTP", QStringLiteral("World Wide Web HTTP")},
                    Shown{"Empty", "", QString()},
                    Shown{"Utf8", "f\xc3\xbcr", QStringLiteral("f\u00fcr")},
                    Shown{"Latin1", "f\xfcr", QStringLiteral("f\u00fcr")},
                    // A lead byte with its continuation cut off at the end of the value.
                    Shown{"TruncatedUtf8", "f\xc3", QStringLiteral("f\u00c3")},
                    Shown{"Overlong", "\xc0\xaf", QStringLiteral("\u00c0\u00af")},
                    Shown{"Surrogate", "\xed\xa0\x80", QStringLiteral("\u00ed\u00a0\u0080")},
                    Shown{"EmbeddedNul", std::string("a\0b", 3),
                          QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b")}),
    [](const testing::TestParamInfo<Shown>& param) { return param.param.name; });

TEST(FileTextTest, EditedValueIsWrittenAsUtf8) {
    EXPECT_EQ(common_ui::ToFileText(QStringLiteral("f\u00fcrs"), "f\xfcr"), "f\xc3\xbcrs");
    EXPECT_EQ(common_ui::ToFileText(QStringLiteral("\u20ac")), "\xe2\x82\xac");
    // The same text typed again over a Latin-1 value is no change: its bytes stay.
    EXPECT_EQ(common_ui::ToFileText(QStringLiteral("f\u00fcr"), "f\xfcr"), "f\xfcr");
}

}  // namespace
