#pragma once

// A settings dialog of the receiver (Options, Find), opened over settings and a profile
// of the test's own, its message boxes answered by a script.

#include <optional>

#include "common/profile_store.h"
#include "common/testing/scripted_messages.h"
#include "common/testing/temp_dir.h"
#include "receiver/core/receiver_settings.h"

namespace receiver_ui {

template <typename Dialog>
class DialogFixture : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        profile_.emplace(Path("velmora.ini"));
    }
    Dialog& Open() {
        dialog_.emplace(settings_, *profile_, messages_);
        dialog_->show();
        return *dialog_;
    }

    receiver::ReceiverSettings settings_;
    std::optional<common::ProfileStore> profile_;
    test_support::ScriptedMessages messages_;
    std::optional<Dialog> dialog_;
};

}  // namespace receiver_ui
