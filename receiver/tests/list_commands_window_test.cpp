#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "receiver/tests/window_fixture.h"
#include "receiver/ui/find_messages_dialog.h"

namespace receiver_ui {
namespace {

using Ranges = std::vector<receiver::RowSelection::Range>;

class ListCommandsTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // Shortcuts act only while the main window is active.
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&*window_));
    }

    void Command(QAction* ReceiverActions::*action) { (actions().*action)->trigger(); }
    ReceiverActions& actions() { return window_->receiverActions(); }
    Ranges Selected() {
        Ranges ranges;
        for (const QItemSelectionRange& range : window_->list().selectionModel()->selection()) {
            ranges.emplace_back(range.top(), range.bottom() + 1);
        }
        return receiver::RowSelection::FromRanges(ranges).ranges();
    }
    void SelectRows(const Ranges& ranges) {
        window_->list().selectionModel()->clear();
        for (const auto& [first, last] : ranges) {
            window_->list().selectionModel()->select(
                QItemSelection(window_->model().index(first, 0),
                               window_->model().index(last - 1, 1)),
                QItemSelectionModel::Select);
        }
    }
    // Queues how the next dialog is worked; it ends as the work leaves it.
    void Answer(std::function<void(QDialog&)> work) {
        prompts_.answerDialog([work = std::move(work)](QDialog& dialog) {
            work(dialog);
            return dialog.result();
        });
    }
    // Answers the next Find dialog with this text (empty: Cancel).
    void FindWith(const std::string& text, bool selectAll = false, bool upward = false) {
        Answer([=](QDialog& dialog) {
            auto& find = dynamic_cast<FindMessagesDialog&>(dialog);
            if (text.empty()) {
                find.reject();
                return;
            }
            find.controlAs<QLineEdit>(1028)->setText(QString::fromStdString(text));
            find.controlAs<QAbstractButton>(1029)->setChecked(selectAll);
            find.controlAs<QAbstractButton>(upward ? 1032 : 1031)->setChecked(true);
            find.accept();
        });
        Command(&ReceiverActions::findMessages);
    }
    bool RepeatFindEnabled() {
        // As the context menu greys it while it is up.
        QMenu& menu = window_->contextMenu();
        emit menu.aboutToShow();
        const bool enabled =
            menu.actions().contains(actions().repeatFind) && actions().repeatFind->isEnabled();
        emit menu.aboutToHide();
        return enabled;
    }
    QString Follow() const { return window_->controlAs<QPushButton>(1006)->text(); }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& box : prompts_.messages.shown) {
            texts.push_back(box.text);
        }
        return texts;
    }
};

TEST_F(ListCommandsTest, SelectAllUnselectAllAndTheHeaderClick) {
    Receive({"@in 1", "@in 2", "@out 3", "four"});
    Command(&ReceiverActions::selectAll);
    EXPECT_EQ(Selected(), (Ranges{{0, 4}}));
    QHeaderView* header = window_->list().horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(Selected(), Ranges{});
    EXPECT_FALSE(window_->list().selectionModel()->currentIndex().isValid());
    // A manual change does not count: the next click acts by the remembered state.
    SelectRows({{1, 2}});
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(Selected(), (Ranges{{0, 4}}));
    SelectRows({{2, 3}});
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(Selected(), Ranges{});
}

// The list shows new rows in bursts; a command given before the next burst still acts on
// every row received.
TEST_F(ListCommandsTest, CommandsRightAfterTheFirstRowActOnIt) {
    ReceiveUnshown({"@in 1"});
    EXPECT_TRUE(actions().selectAll->isEnabled());
    QTest::keyClick(&*window_, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (Ranges{{0, 1}}));

    ReceiveUnshown({"link down"});
    FindWith("link");
    EXPECT_EQ(Selected(), (Ranges{{1, 2}}));
}

TEST_F(ListCommandsTest, ShiftHomeAndEndExtendFromTheLowestSelectedRow) {
    Receive({"a", "b", "c", "d", "e", "f"});
    SelectRows({{3, 4}});
    QTest::keyClick(&window_->list(), Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Ranges{{0, 4}}));
    SelectRows({{2, 3}, {4, 5}});
    QTest::keyClick(&window_->list(), Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Ranges{{2, 6}}));
    SelectRows({{0, 1}});
    Command(&ReceiverActions::extendToTop);
    EXPECT_EQ(Selected(), (Ranges{{0, 1}}));
}

TEST_F(ListCommandsTest, CopyPutsSelectedRowsOnTheClipboardAsTheListShowsThem) {
    Receive({"@in 203.0.113.45 4512 198.51.100.7 80", "@msg two", "caf\xe9"});
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText("before");
    Command(&ReceiverActions::copy);  // nothing selected
    EXPECT_EQ(clipboard->text(), "before");

    SelectRows({{0, 1}, {2, 3}});
    Command(&ReceiverActions::copy);
    const QStringList lines = clipboard->text().split("\r\n");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(" " + window_->model().index(0, 1).data().toString()));
    EXPECT_EQ(lines[0].left(19), window_->model().index(0, 0).data().toString().left(19));
    EXPECT_TRUE(lines[1].endsWith(QString::fromLatin1(" caf\xe9"))) << lines[1].toStdString();
}

TEST_F(ListCommandsTest, FindThenRepeatFindWalksMatchesAndWraps) {
    Receive({"@in tcp 1", "@in udp 2", "@in TCP 3", "@in udp 4", "@in tcp 5", "@in end 6"});
    FindWith("tcp");
    EXPECT_EQ(Selected(), (Ranges{{0, 1}}));
    // A match at row 0 leaves nothing to repeat from, and Repeat Find greyed.
    EXPECT_EQ(window_->listPane().lastFindIndex(), 0);
    EXPECT_FALSE(RepeatFindEnabled());
    EXPECT_EQ(Follow(), "&Follow On");
    Command(&ReceiverActions::repeatFind);
    EXPECT_EQ(Selected(), (Ranges{{0, 1}}));

    SelectRows({{1, 2}});
    FindWith("tcp");
    EXPECT_EQ(Selected(), (Ranges{{2, 3}}));
    EXPECT_TRUE(RepeatFindEnabled());
    Command(&ReceiverActions::repeatFind);
    EXPECT_EQ(Selected(), (Ranges{{4, 5}}));
    EXPECT_TRUE(prompts_.messages.shown.empty());
    Command(&ReceiverActions::repeatFind);
    EXPECT_EQ(Selected(), Ranges{});
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Bottom of list reached.\nNo more messages matching your criteria "
                           "found.\nFind again will automatically start  from the top of the "
                           "list."}));
    EXPECT_EQ(window_->listPane().lastFindIndex(), 4);
    Command(&ReceiverActions::repeatFind);  // starts over at the top
    EXPECT_EQ(Selected(), (Ranges{{0, 1}}));

    SelectRows({{2, 3}});
    FindWith("udp", true, true);
    EXPECT_EQ(Selected(), (Ranges{{1, 2}}));  // only above the selected row
    SelectRows({});
    FindWith("udp", true, true);
    EXPECT_EQ(Selected(), (Ranges{{1, 2}, {3, 4}}));
    EXPECT_EQ(Shown().back(), "2 messages matching your criteria selected.");
}

TEST_F(ListCommandsTest, FindSwitchesFollowOffOnlyOnOk) {
    Receive({"one", "two"});
    FindWith("");
    EXPECT_EQ(Follow(), "&Follow Off");
    EXPECT_EQ(Get("velmora.ini").find("last find"), std::string::npos);
    FindWith("nothing like it");
    EXPECT_EQ(Follow(), "&Follow On");
    EXPECT_EQ(window_->listPane().lastFindIndex(), 0);
    EXPECT_NE(Get("velmora.ini").find("last find=nothing like it"), std::string::npos);
    EXPECT_EQ(session_->engine().settings().lastFindText, "nothing like it");
}

TEST_F(ListCommandsTest, KeysTypedIntoTheFindDialogStayThere) {
    Receive({"one", "two"});
    Answer([&](QDialog& dialog) {
        auto& find = dynamic_cast<FindMessagesDialog&>(dialog);
        auto* text = find.controlAs<QLineEdit>(1028);
        find.setModal(true);
        find.show();
        QApplication::setActiveWindow(&find);
        ASSERT_EQ(QApplication::activeWindow(), &find);
        text->setText("tw");
        text->deselect();
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(text->selectedText(), "tw");
        EXPECT_EQ(Selected(), Ranges{});
        // Repeat Find would switch following off.
        QTest::keyClick(text, Qt::Key_R, Qt::ControlModifier);
        EXPECT_EQ(Follow(), "&Follow Off");
        find.reject();
    });
    Command(&ReceiverActions::findMessages);
}

TEST_F(ListCommandsTest, AnEmptyListIgnoresEveryListCommand) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText("kept");
    bool dialogRan = false;
    Answer([&](QDialog&) { dialogRan = true; });
    for (QAction* command : actions().listCommands()) {
        command->trigger();
    }
    EXPECT_FALSE(dialogRan);
    EXPECT_EQ(clipboard->text(), "kept");
    EXPECT_EQ(Follow(), "&Follow Off");
}

}  // namespace
}  // namespace receiver_ui
