#include "receiver/ui/first_run.h"

#include <gtest/gtest.h>

#include <QAbstractButton>

#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"

namespace receiver_ui {
namespace {

using common::Answer;

class FirstRunTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        profile_.emplace(Path("velmora.ini"));
    }

    std::optional<common::ProfileStore> profile_;
    test_support::ScriptedPrompts prompts_;
    receiver::ReceiverSettings settings_;
    int dialogsRun_ = 0;
};

TEST_F(FirstRunTest, NoLeavesEverythingOffAndAsksAgainNextTime) {
    prompts_.messages.answers = {Answer::kNo};
    prompts_.answerDialog([this](QDialog&) {
        ++dialogsRun_;
        return QDialog::Rejected;
    });
    AskForFirstOptions(settings_, *profile_, prompts_);
    ASSERT_EQ(prompts_.messages.asked.size(), 1u);
    EXPECT_EQ(prompts_.messages.asked[0],
              "No display or logging options have been set.\n"
              "If this is the first time you are starting Velmora,\n"
              "would you like to set them now?");
    EXPECT_EQ(dialogsRun_, 0);
    EXPECT_FALSE(std::filesystem::exists(Path("velmora.ini")));
    EXPECT_FALSE(receiver::ReceiverSettings().LoadSettings(*profile_));
}

TEST_F(FirstRunTest, YesThenCancelStillRecordsTheQuestion) {
    prompts_.messages.answers = {Answer::kYes};
    prompts_.answerDialog([this](QDialog& dialog) {
        ++dialogsRun_;
        EXPECT_EQ(dialog.windowTitle(), "Velmora Options");
        dialog.findChild<QAbstractButton*>("control1012")->setChecked(true);
        dialog.findChild<QAbstractButton*>("control2")->click();
        return dialog.result();
    });
    AskForFirstOptions(settings_, *profile_, prompts_);
    EXPECT_EQ(dialogsRun_, 1);
    EXPECT_EQ(Get("velmora.ini"), "[Defaults]\ninitialized=Yes\n");
    EXPECT_EQ(settings_.displayFlags, (receiver::KindFlags{0, 0, 0, 0}));
    EXPECT_TRUE(receiver::ReceiverSettings().LoadSettings(*profile_));
}

TEST_F(FirstRunTest, YesThenOkStoresTheChoiceAndReadsItBack) {
    prompts_.messages.answers = {Answer::kYes};
    prompts_.answerDialog([](QDialog& dialog) {
        dialog.findChild<QAbstractButton*>("control1016")->setChecked(true);
        dialog.findChild<QAbstractButton*>("control1023")->setChecked(true);
        dialog.findChild<QAbstractButton*>("control1")->click();
        return dialog.result();
    });
    AskForFirstOptions(settings_, *profile_, prompts_);
    EXPECT_EQ(settings_.logFlags, (receiver::KindFlags{1, 0, 0, 0}));
    EXPECT_EQ(settings_.formatted, 1);
    EXPECT_EQ(profile_->ReadString("Defaults", "initialized", ""), "Yes");
    EXPECT_EQ(profile_->ReadString("Logging Options", "incoming", ""), "On");
}

}  // namespace
}  // namespace receiver_ui
