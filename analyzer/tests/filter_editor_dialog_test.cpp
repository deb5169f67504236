#include "analyzer/ui/filter_editor_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QTest>
#include <string>
#include <vector>

#include "analyzer/tests/scripted_editor_prompts.h"
#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"

namespace analyzer_ui {
namespace {

using common::MessageIcon;
using Box = test_support::ScriptedMessages::Box;
using Items = std::vector<std::string>;

class FilterEditorDialogTest : public test_support::TempDirTest {
  protected:
    FilterEditorDialog& Open() {
        sheet_ = std::make_unique<FilterEditorDialog>(Path("cfg"), dialogs_);
        testers_.clear();
        for (const FilterListPage* page :
             {sheet_->sourceFiltersPage(), sheet_->portFiltersPage()}) {
            testers_.push_back(std::make_unique<QAbstractItemModelTester>(
                page->checkList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal));
        }
        sheet_->show();
        return *sheet_;
    }
    // "+text" for a ticked item, "-text" for a clear one, as the list shows them.
    static Items Shown(const FilterListPage& page) {
        const QAbstractItemModel& model = *page.checkList()->model();
        Items shown;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex item = model.index(row, 0);
            const bool ticked = item.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            shown.push_back((ticked ? "+" : "-") + item.data().toString().toStdString());
        }
        return shown;
    }
    static void Select(const FilterListPage& page, int row) {
        page.checkList()->setCurrentIndex(page.checkList()->model()->index(row, 0));
    }

    ScriptedEditorPrompts dialogs_;
    std::unique_ptr<FilterEditorDialog> sheet_;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

TEST_F(FilterEditorDialogTest, ANeverWrittenSectionShowsUnknownAndOkStoresIt) {
    Put("cfg", "[TargetPortFilters]\r\n137=1\r\n");
    FilterEditorDialog& sheet = Open();
    EXPECT_EQ(sheet.windowTitle(), "Edit Filters");
    EXPECT_EQ(sheet.tabs()->tabText(0), "Incoming Source IP");
    EXPECT_EQ(sheet.tabs()->tabText(1), "Incoming Target Port");
    EXPECT_EQ(Shown(*sheet.sourceFiltersPage()), Items{"-Unknown"});
    EXPECT_FALSE(sheet.portFiltersPage()->wasShown());
    EXPECT_EQ(sheet.portFiltersPage()->checkList()->model()->rowCount(), 0);
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    // The second page was never shown: its section keeps its bytes.
    EXPECT_EQ(Get("cfg"), "[TargetPortFilters]\r\n137=1\r\n[SourceIPFilters]\r\nUnknown=0\r\n");
    EXPECT_EQ(Shown(*Open().sourceFiltersPage()), Items{"-Unknown"});
}

TEST_F(FilterEditorDialogTest, PagesSortIgnoringCaseAndTickWithTheSpaceBar) {
    Put("cfg",
        "[SourceIPFilters]\n9.0.0.1=1\n192.0.2.1=0\n10.0.0.2=1\n"
        "[TargetPortFilters]\n80=1\n137=0\n1024=1\n");
    FilterEditorDialog& sheet = Open();
    EXPECT_EQ(Shown(*sheet.sourceFiltersPage()), (Items{"+10.0.0.2", "-192.0.2.1", "+9.0.0.1"}));
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_EQ(Shown(*sheet.portFiltersPage()), (Items{"+1024", "-137", "+80"}));

    Select(*sheet.portFiltersPage(), 1);
    QTest::keyClick(sheet.portFiltersPage()->checkList(), Qt::Key_Space);
    Select(*sheet.portFiltersPage(), 0);
    QTest::keyClick(sheet.portFiltersPage()->checkList(), Qt::Key_Space);
    EXPECT_EQ(Shown(*sheet.portFiltersPage()), (Items{"-1024", "+137", "+80"}));
    sheet.accept();
    EXPECT_EQ(Get("cfg"),
              "[SourceIPFilters]\n10.0.0.2=1\n192.0.2.1=0\n9.0.0.1=1\n"
              "[TargetPortFilters]\n1024=0\n137=1\n80=1\n");
}

TEST_F(FilterEditorDialogTest, AddTicksDuplicatesKeepTheLaterStateAndDeleteAsksNothing) {
    Put("cfg", "[SourceIPFilters]\n10.0.0.1=0\n10.0.0.9=1\n");
    FilterEditorDialog& sheet = Open();
    FilterListPage& page = *sheet.sourceFiltersPage();
    Select(page, 1);
    dialogs_.inputAnswers = {QString("10.0.0.1"), std::nullopt};
    page.addFilter();
    page.addFilter();
    EXPECT_EQ(Shown(page), (Items{"-10.0.0.1", "+10.0.0.1", "+10.0.0.9"}));
    // The selection follows its item down.
    EXPECT_EQ(page.checkList()->selectionModel()->selectedRows().front().row(), 2);
    EXPECT_EQ(dialogs_.opened.size(), 2u);
    EXPECT_EQ(dialogs_.opened.front().what, "ip");

    page.deleteFilter();
    EXPECT_EQ(Shown(page), (Items{"-10.0.0.1", "+10.0.0.1"}));
    EXPECT_TRUE(page.checkList()->selectionModel()->selectedRows().isEmpty());
    page.deleteFilter();  // nothing selected
    EXPECT_EQ(Shown(page).size(), 2u);
    sheet.accept();
    EXPECT_EQ(Get("cfg"), "[SourceIPFilters]\n10.0.0.1=1\n");
}

TEST_F(FilterEditorDialogTest, DeletingEveryItemLeavesNoKeysAndCancelWritesNothing) {
    Put("cfg", "[SourceIPFilters]\n10.0.0.1=1\n[TargetPortFilters]\n80=1\n");
    FilterEditorDialog& cancelled = Open();
    Select(*cancelled.sourceFiltersPage(), 0);
    cancelled.sourceFiltersPage()->deleteFilter();
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(Get("cfg"), "[SourceIPFilters]\n10.0.0.1=1\n[TargetPortFilters]\n80=1\n");

    FilterEditorDialog& sheet = Open();
    sheet.tabs()->setCurrentIndex(1);
    for (const FilterListPage* page : {sheet.sourceFiltersPage(), sheet.portFiltersPage()}) {
        Select(*page, 0);
        page->checkList()->deleteSelected();
    }
    dialogs_.inputAnswers = {QString("00080")};
    sheet.portFiltersPage()->addFilter();
    EXPECT_EQ(dialogs_.opened.back().what, "port");
    sheet.accept();
    EXPECT_EQ(Get("cfg"), "[SourceIPFilters]\n[TargetPortFilters]\n00080=1\n");
}

TEST(FilterInputTest, SourceIpRefusesAllButCanonicalAddresses) {
    const char* const refused[] = {"192.168.001.1", "10.1",    "1.2.3.4.5", "1.2.3.4 ",
                                   " 1.2.3.4",      "",        "256.1.1.1", "1.2.3.-4",
                                   "0x7f.0.0.1",    "1. 2.3.4"};
    for (const char* text : refused) {
        test_support::ScriptedPrompts prompts;
        AddSourceIpDialog dialog(QString(text), prompts);
        dialog.show();
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << text;
        EXPECT_EQ(dialog.text(), text);
        EXPECT_EQ(prompts.messages.shown,
                  (std::vector<Box>{{MessageIcon::kStop, "Please enter a valid IP"}}))
            << text;
    }
    for (const char* text : {"192.168.1.1", "255.255.255.255", "0.0.0.0"}) {
        test_support::ScriptedPrompts prompts;
        AddSourceIpDialog dialog(QString(), prompts);
        EXPECT_EQ(dialog.windowTitle(), "Add Incoming Source IP");
        dialog.show();
        QTest::keyClicks(dialog.field(), text);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << text;
        EXPECT_EQ(dialog.text(), text);
        EXPECT_TRUE(prompts.messages.shown.empty());
    }
}

TEST(FilterInputTest, TargetPortRefusesEmptyAndZeroAndKeepsTheTextAsTyped) {
    struct Case {
        const char* preset;
        bool accepted;
    };
    for (const Case c : {Case{"", false}, Case{"0", false}, Case{"80", true}, Case{"00080", true},
                         Case{"65536", false}}) {
        test_support::ScriptedPrompts prompts;
        AddTargetPortDialog dialog(QString(c.preset), prompts);
        EXPECT_EQ(dialog.windowTitle(), "Add Incoming Destination Port");
        dialog.show();
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.preset;
        EXPECT_EQ(dialog.text(), c.preset);
        const std::vector<Box> expected =
            c.accepted ? std::vector<Box>{}
                       : std::vector<Box>{
                             {MessageIcon::kStop, "Port " + std::string(c.preset) + " is invalid"}};
        EXPECT_EQ(prompts.messages.shown, expected) << c.preset;
    }
    test_support::ScriptedPrompts prompts;
    AddTargetPortDialog typed(QString(), prompts);
    typed.show();
    QTest::keyClicks(typed.field(), "-8a0123");
    EXPECT_EQ(typed.text(), "80123");
}

TEST(FilterInputTest, BlocksAndRangesAreTypedAndMalformedOnesRefused) {
    for (const auto& [text, accepted] : {std::pair{"255.255.255.255/32", true},
                                         {"203.0.113.0/24", true},
                                         {"203.0.113.0/33", false},
                                         {"203.0.113.0/", false}}) {
        test_support::ScriptedPrompts prompts;
        AddSourceIpDialog dialog(QString(), prompts);
        dialog.show();
        QTest::keyClicks(dialog.field(), text);
        EXPECT_EQ(dialog.text(), text);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, accepted) << text;
        EXPECT_EQ(prompts.messages.shown.size(), accepted ? 0u : 1u) << text;
    }
    for (const auto& [text, accepted] : {std::pair{"6000-6063", true},
                                         {"1-65535", true},
                                         {"6063-6000", false},
                                         {"0-80", false},
                                         {"80-", false}}) {
        test_support::ScriptedPrompts prompts;
        AddTargetPortDialog dialog(QString(), prompts);
        dialog.show();
        QTest::keyClicks(dialog.field(), text);
        EXPECT_EQ(dialog.text(), text);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, accepted) << text;
        const std::vector<Box> expected =
            accepted ? std::vector<Box>{}
                     : std::vector<Box>{
                           {MessageIcon::kStop, "Port " + std::string(text) + " is invalid"}};
        EXPECT_EQ(prompts.messages.shown, expected) << text;
    }
    // One dash, five digits each side.
    test_support::ScriptedPrompts prompts;
    AddTargetPortDialog typed(QString(), prompts);
    typed.show();
    QTest::keyClicks(typed.field(), "1--2-3456789");
    EXPECT_EQ(typed.text(), "1-23456");
}

}  // namespace
}  // namespace analyzer_ui
