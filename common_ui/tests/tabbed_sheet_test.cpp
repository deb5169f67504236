#include "common_ui/tabbed_sheet.h"

#include <gtest/gtest.h>

#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

namespace {

// Writes down what the sheet asks of it, in one journal shared by all pages.
class JournalPage : public common_ui::SheetPage {
  public:
    JournalPage(std::string name, std::vector<std::string>& journal)
        : name_(std::move(name)), journal_(journal) {}

    void load() override { journal_.push_back(name_ + " load"); }
    void save() override { journal_.push_back(name_ + " save"); }
    void entered() override { journal_.push_back(name_ + " entered"); }
    void left() override { journal_.push_back(name_ + " left"); }

  private:
    std::string name_;
    std::vector<std::string>& journal_;
};

using Journal = std::vector<std::string>;

struct Sheet {
    explicit Sheet(Journal& journal)
        : sheet("Sheet"),
          first(new JournalPage("first", journal)),
          second(new JournalPage("second", journal)),
          third(new JournalPage("third", journal)) {
        sheet.addPage(first, "First");
        sheet.addPage(second, "Second");
        sheet.addPage(third, "Third");
    }
    common_ui::TabbedSheet sheet;
    JournalPage* first;
    JournalPage* second;
    JournalPage* third;
};

TEST(TabbedSheetTest, LoadsAPageWhenFirstShownAndOkSavesOnlyShownPagesInTabOrder) {
    Journal journal;
    Sheet s(journal);
    EXPECT_EQ(s.sheet.windowTitle(), "Sheet");
    EXPECT_EQ(s.sheet.tabs()->tabText(2), "Third");
    EXPECT_TRUE(journal.empty());
    s.sheet.show();
    EXPECT_EQ(journal, (Journal{"first load", "first entered"}));

    s.sheet.tabs()->setCurrentIndex(2);
    s.sheet.tabs()->setCurrentIndex(0);
    s.sheet.tabs()->setCurrentIndex(2);
    EXPECT_EQ(journal,
              (Journal{"first load", "first entered", "first left", "third load", "third entered",
                       "third left", "first entered", "first left", "third entered"}));
    EXPECT_TRUE(s.first->wasShown());
    EXPECT_FALSE(s.second->wasShown());

    journal.clear();
    s.sheet.accept();
    EXPECT_EQ(s.sheet.result(), QDialog::Accepted);
    // Hiding the sheet leaves the page in front after it has been saved.
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ((Journal{journal[0], journal[1]}), (Journal{"first save", "third save"}));
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "second save"), 0);
}

TEST(TabbedSheetTest, CancelEscapeAndTheCloseBoxSaveNothing) {
    for (int way = 0; way < 3; ++way) {
        Journal journal;
        Sheet s(journal);
        s.sheet.show();
        s.sheet.tabs()->setCurrentIndex(1);
        if (way == 0) {
            s.sheet.reject();
        } else if (way == 1) {
            QTest::keyClick(&s.sheet, Qt::Key_Escape);
        } else {
            s.sheet.close();
        }
        EXPECT_EQ(s.sheet.result(), QDialog::Rejected) << way;
        EXPECT_FALSE(s.sheet.isVisible()) << way;
        for (const std::string& entry : journal) {
            EXPECT_EQ(entry.find("save"), std::string::npos) << way << ": " << entry;
        }
        EXPECT_EQ(journal.front(), "first load") << way;
    }
}

TEST(TabbedSheetTest, ASecondShowDoesNotLoadAgain) {
    Journal journal;
    Sheet s(journal);
    s.sheet.show();
    s.sheet.hide();
    s.sheet.show();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "first load"), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "first entered"), 2);
}

}  // namespace
