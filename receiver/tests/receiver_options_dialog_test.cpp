#include "receiver/ui/receiver_options_dialog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QPushButton>
#include <QTest>
#include <chrono>
#include <filesystem>

#include "receiver/tests/dialog_fixture.h"

namespace receiver_ui {
namespace {

namespace fs = std::filesystem;
using common::Answer;
using receiver::ReceiverSettings;

constexpr int kBoxes[] = {controls::kDisplayIncoming, controls::kDisplayOutgoing,
                          controls::kDisplayMessages, controls::kLogIncoming,
                          controls::kLogOutgoing,     controls::kLogMessages};

class OptionsDialogTest : public DialogFixture<ReceiverOptionsDialog> {
  protected:
    bool Checked(int id) const { return dialog_->controlAs<QAbstractButton>(id)->isChecked(); }
    void SetChecked(int id, bool on) { dialog_->controlAs<QAbstractButton>(id)->setChecked(on); }
    void Click(int id) { QTest::mouseClick(dialog_->controlAs<QPushButton>(id), Qt::LeftButton); }
};

TEST_F(OptionsDialogTest, SetUpShowsTextsAndTheSettings) {
    settings_.displayFlags = {1, 0, 1, 0};
    settings_.logFlags = {0, 1, 1, 1};
    settings_.formatted = 1;
    settings_.combined = 0;
    Open();
    EXPECT_EQ(dialog_->windowTitle(), "Velmora Options");
    const std::pair<int, const char*> texts[] = {
        {controls::kDisplayIncoming, "Incoming Data"},
        {controls::kLogMessages, "Control Messages"},
        {controls::kFormatted, "Formatted"},
        {controls::kSeparate, "Separate"},
        {controls::kOk, "&Ok"},
        {controls::kCancel, "&Cancel"},
    };
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(dialog_->controlAs<QAbstractButton>(id)->text(), text) << id;
    }
    const bool expected[] = {true, false, true, false, true, true};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Checked(kBoxes[i]), expected[i]) << kBoxes[i];
    }
    EXPECT_TRUE(Checked(controls::kFormatted));
    EXPECT_FALSE(Checked(controls::kUnformatted));
    EXPECT_FALSE(Checked(controls::kCombined));
    EXPECT_TRUE(Checked(controls::kSeparate));
    // Each pair excludes only its partner.
    QTest::mouseClick(dialog_->controlAs<QAbstractButton>(controls::kCombined), Qt::LeftButton);
    EXPECT_TRUE(Checked(controls::kCombined));
    EXPECT_FALSE(Checked(controls::kSeparate));
    EXPECT_TRUE(Checked(controls::kFormatted));
}

TEST_F(OptionsDialogTest, OkStoresFlagsAndWritesTheProfileInOrder) {
    Open();
    SetChecked(controls::kDisplayOutgoing, true);
    SetChecked(controls::kLogIncoming, true);
    SetChecked(controls::kLogMessages, true);
    SetChecked(controls::kCombined, true);
    Click(controls::kOk);

    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_TRUE(messages_.asked.empty());
    EXPECT_EQ(settings_.displayFlags, (receiver::KindFlags{0, 1, 0, 0}));
    EXPECT_EQ(settings_.logFlags, (receiver::KindFlags{1, 0, 1, 0}));
    EXPECT_EQ(settings_.formatted, 0);
    EXPECT_EQ(settings_.combined, 1);
    EXPECT_EQ(Get("velmora.ini"),
              "[Display Options]\nincoming=Off\noutgoing=On\nmessages=Off\n"
              "[Logging Options]\nincoming=On\noutgoing=Off\nmessages=On\n"
              "[Defaults]\nformatted=Off\ncombined=On\n");
}

// Another copy holds the profile's lock and never lets go: OK still ends, after a bounded
// wait, says the choices were not saved, and keeps them for this run.
TEST_F(OptionsDialogTest, OkWithTheProfileLockedSaysSoAndKeepsTheChoice) {
    const int holder = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    profile_->SetLockWait(std::chrono::milliseconds(100));
    Open();
    SetChecked(controls::kLogIncoming, true);
    Click(controls::kOk);
    ::close(holder);

    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(settings_.logFlags, (receiver::KindFlags{1, 0, 0, 0}));
    EXPECT_FALSE(fs::exists(Path("velmora.ini")));
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{"Your choices could not be saved to \"" +
                                                          Path("velmora.ini") +
                                                          "\".\nThey apply until Velmora ends."});
}

TEST_F(OptionsDialogTest, NothingChosenAsksAndNoKeepsTheDialogOpen) {
    settings_.displayFlags = {1, 0, 0, 0};
    Open();
    SetChecked(controls::kDisplayIncoming, false);
    messages_.answers = {Answer::kNo};
    // Enter is the OK button.
    QTest::keyClick(&*dialog_, Qt::Key_Return);
    ASSERT_EQ(messages_.asked.size(), 1u);
    EXPECT_EQ(messages_.asked[0],
              "No display or logging options have been selected.\n"
              "The \"Stop\" button does the same thing temporarily.\n"
              "Are you sure you wish to do this?");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(settings_.displayFlags, (receiver::KindFlags{1, 0, 0, 0}));
    EXPECT_FALSE(std::filesystem::exists(Path("velmora.ini")));

    messages_.answers = {Answer::kYes};
    Click(controls::kOk);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(settings_.displayFlags, (receiver::KindFlags{0, 0, 0, 0}));
    EXPECT_EQ(profile_->ReadString("Display Options", "incoming", "?"), "Off");
}

TEST_F(OptionsDialogTest, CancelAndEscapeChangeNothing) {
    Put("velmora.ini", "; mine\n[Defaults]\nformatted=On\n");
    settings_.formatted = 1;
    settings_.logFlags = {1, 1, 1, 0};
    const ReceiverSettings before = settings_;
    for (const bool useEscape : {false, true}) {
        Open();
        SetChecked(controls::kLogOutgoing, false);
        SetChecked(controls::kUnformatted, true);
        if (useEscape) {
            QTest::keyClick(&*dialog_, Qt::Key_Escape);
        } else {
            Click(controls::kCancel);
        }
        EXPECT_EQ(dialog_->result(), QDialog::Rejected);
        EXPECT_FALSE(dialog_->isVisible());
        EXPECT_EQ(settings_.logFlags, before.logFlags);
        EXPECT_EQ(settings_.formatted, 1);
        EXPECT_EQ(Get("velmora.ini"), "; mine\n[Defaults]\nformatted=On\n");
    }
}

}  // namespace
}  // namespace receiver_ui
