#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver/core/about_text.h"
#include "receiver/core/clipboard_text.h"
#include "receiver/core/find_messages.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/core/row_selection.h"

namespace receiver {
namespace {

struct Entry {
    std::string_view stamp;
    std::string_view text;
};

// Rows as the list shows them, numbered in their text.
struct Rows {
    std::vector<std::string> texts;
    std::string stamp = "12/31/2002 23:59:58";
    std::size_t size() const { return texts.size(); }
    Entry Row(std::size_t i) const { return {stamp, texts[i]}; }
};

Rows Numbered(int count, const std::string& what = "TCP") {
    Rows rows;
    for (int i = 0; i < count; ++i) {
        rows.texts.push_back("in " + what + " row " + std::to_string(i));
    }
    return rows;
}

TEST(RowSelectionTest, MergesRangesAndAnswersQueries) {
    RowSelection selection;
    selection.Select(5);
    selection.Select(2);
    selection.Select(3, 5);  // fills the gap: one range 2..5
    selection.Select(9);
    EXPECT_EQ(selection.ranges(), (std::vector<RowSelection::Range>{{2, 6}, {9, 10}}));
    EXPECT_EQ(selection.Count(), 5u);
    EXPECT_TRUE(selection.IsSelected(2));
    EXPECT_FALSE(selection.IsSelected(6));
    EXPECT_EQ(selection.HighestBelow(9), 5u);
    EXPECT_EQ(selection.HighestBelow(100), 9u);
    EXPECT_EQ(selection.HighestBelow(2), std::nullopt);
    EXPECT_EQ(selection.LowestFrom(3), 3u);
    EXPECT_EQ(selection.LowestFrom(6), 9u);
    EXPECT_EQ(selection.LowestFrom(10), std::nullopt);

    selection.SelectAll(1'000'000);
    EXPECT_EQ(selection.ranges().size(), 1u);
    EXPECT_EQ(selection.Count(), 1'000'000u);
}

TEST(RowSelectionTest, ExtendsFromTheLowestSelectedRow) {
    struct Case {
        std::vector<RowSelection::Range> before;
        bool toTop;
        std::vector<RowSelection::Range> after;
    };
    const Case cases[] = {
        {{}, true, {}},
        {{{0, 1}}, true, {{0, 1}}},
        {{{3, 4}, {7, 8}}, true, {{0, 4}, {7, 8}}},
        {{}, false, {}},
        {{{9, 10}}, false, {{9, 10}}},  // the last row of ten
        {{{3, 4}, {7, 8}}, false, {{3, 10}}},
    };
    for (const Case& c : cases) {
        RowSelection selection = RowSelection::FromRanges(c.before);
        if (c.toTop) {
            ExtendSelectionToTop(selection);
        } else {
            ExtendSelectionToBottom(selection, 10);
        }
        EXPECT_EQ(selection.ranges(), c.after) << c.toTop << " " << c.before.size();
    }
}

TEST(ClipboardTextTest, JoinsSelectedRowsInOrderWithoutFinalLineEnd) {
    const Rows rows = Numbered(10);
    EXPECT_EQ(BuildClipboardText(rows, RowSelection::FromRanges({{4, 5}})),
              "12/31/2002 23:59:58 in TCP row 4");
    EXPECT_EQ(BuildClipboardText(rows, RowSelection::FromRanges({{9, 10}, {2, 3}, {5, 6}})),
              "12/31/2002 23:59:58 in TCP row 2\r\n"
              "12/31/2002 23:59:58 in TCP row 5\r\n"
              "12/31/2002 23:59:58 in TCP row 9");
    EXPECT_EQ(BuildClipboardText(rows, RowSelection()), "");
}

TEST(FindStartPointTest, SkipsTheEndRowOfTheDirection) {
    struct Case {
        std::vector<RowSelection::Range> selected;
        bool upward;
        std::ptrdiff_t start;
    };
    const Case cases[] = {
        {{}, false, -1},
        {{}, true, 10},
        {{{9, 10}}, false, -1},  // only the last row: down starts over at row 0
        {{{0, 1}}, true, 10},    // only row 0: up starts over at the last row
        {{{0, 1}}, false, 0},
        {{{9, 10}}, true, 9},
        {{{2, 4}, {8, 10}}, false, 8},
        {{{0, 1}, {3, 6}}, true, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindStartPoint(RowSelection::FromRanges(c.selected), 10, c.upward), c.start)
            << c.upward << " " << c.selected.size();
    }
    EXPECT_EQ(FindStartPoint(RowSelection::FromRanges({{0, 1}}), 1, false), -1);
}

TEST(MessageMatcherTest, SearchesStampBlankAndMessage) {
    struct Case {
        const char* search;
        bool matchCase;
        bool matches;
    };
    const Case cases[] = {
        {"tcp", false, true},     {"tcp", true, false},
        {"TCP", true, true},      {"12/31/2002", true, true},  // a date in the stamp
        {":58 @in", true, true},  // across the end of the stamp and the message start
        {"58  @in", true, false}, {"udp", false, false},
    };
    for (const Case& c : cases) {
        MessageMatcher matcher(c.search, c.matchCase);
        EXPECT_EQ(matcher.Matches("12/31/2002 23:59:58", "@in TCP 1.2.3.4"), c.matches) << c.search;
    }
}

TEST(FindMessagesTest, WalksMatchesOneAtATimeAndSelectsAllBeyondTheStart) {
    Rows rows = Numbered(6);
    rows.texts[1] = "in UDP row 1";
    rows.texts[4] = "in UDP row 4";

    FindRequest down{"udp", false, false, false};
    FindOutcome first = FindMessages(rows, RowSelection(), down);
    EXPECT_EQ(first.count, 1u);
    EXPECT_EQ(first.lastMatch, 1u);
    FindOutcome second = FindMessages(rows, first.selected, down);
    EXPECT_EQ(second.lastMatch, 4u);
    FindOutcome third = FindMessages(rows, second.selected, down);
    EXPECT_EQ(third.count, 0u);
    EXPECT_TRUE(third.selected.empty());

    FindRequest upAll{"TCP", true, true, true};
    FindOutcome all = FindMessages(rows, RowSelection::FromRanges({{3, 4}}), upAll);
    EXPECT_EQ(all.count, 2u);  // rows 2 and 0, only beyond the start
    EXPECT_EQ(all.selected.ranges(), (std::vector<RowSelection::Range>{{0, 1}, {2, 3}}));
    EXPECT_EQ(all.lastMatch, 0u);

    FindRequest downAll{"row", false, true, false};
    FindOutcome every = FindMessages(rows, RowSelection(), downAll);
    EXPECT_EQ(every.count, 6u);
    EXPECT_EQ(every.selected.ranges().size(), 1u);
}

TEST(FindReportTest, NamesTheCountOrTheEndReached) {
    EXPECT_EQ(ReportFindResult(1, false), std::nullopt);
    const auto two = ReportFindResult(2, true);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->icon, common::MessageIcon::kInformation);
    EXPECT_EQ(two->text, "2 messages matching your criteria selected.");
    EXPECT_EQ(ReportFindResult(1234, false)->text,
              "1,234 messages matching your criteria selected.");
    const auto bottom = ReportFindResult(0, false);
    EXPECT_EQ(bottom->icon, common::MessageIcon::kNone);
    EXPECT_EQ(bottom->text,
              "Bottom of list reached.\nNo more messages matching your criteria found.\n"
              "Find again will automatically start  from the top of the list.");
    EXPECT_EQ(ReportFindResult(0, true)->text,
              "Top of list reached.\nNo more messages matching your criteria found.\n"
              "Find again will automatically start  from the bottom of the list.");
}

TEST(AboutTextTest, ListsNonEmptyValuesOrFallsBack) {
    VersionValues values{"Router Log Utility", "1.2.3", "Copyright 2026", "", ""};
    EXPECT_EQ(BuildAboutText(values, "fallback", "credit"),
              "Router Log Utility\nVersion: 1.2.3\n\nCopyright 2026\n\ncredit\n");
    values.legalTrademarks = "TM";
    values.companyName = "Company";
    EXPECT_EQ(BuildAboutText(values, "fallback", "credit"),
              "Router Log Utility\nVersion: 1.2.3\n\nCopyright 2026\nTM\nCompany\ncredit\n");
    EXPECT_EQ(BuildAboutText(std::nullopt, texts::kAboutFallback, "credit"),
              std::string(texts::kAboutFallback) + "\ncredit\n");
}

}  // namespace
}  // namespace receiver
