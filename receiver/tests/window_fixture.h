#pragma once

// The main window over a real engine that has not started listening, with rows put
// straight into the engine as if the socket had read them, and every dialog answered by
// a script.

#include <optional>
#include <string>
#include <vector>

#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"
#include "receiver/app/receiver_session.h"
#include "receiver/ui/receiver_window.h"

namespace receiver_ui {

class WindowFixture : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        profile_.emplace(Path("velmora.ini"));
        options_.settings.displayFlags = {1, 1, 1, 0};
        options_.logDirectory = Path("logs");
        window_.emplace(*profile_, prompts_, false);
        session_.emplace(options_, *window_, prompts_);
        window_->setUp(session_->engine());
        window_->show();
    }
    void TearDown() override {
        session_->finish();
        session_.reset();
        window_.reset();
        TempDirTest::TearDown();
    }

    // Rows the list has not been told of yet, as in the moment after a datagram arrives.
    void ReceiveUnshown(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            session_->engine().ReceiveMessage({0, std::string(73, 'h') + text});
        }
    }
    void Receive(const std::vector<std::string>& texts) {
        ReceiveUnshown(texts);
        window_->flushRows();
    }

    std::optional<common::ProfileStore> profile_;
    test_support::ScriptedPrompts prompts_;
    receiver::SessionOptions options_;
    std::optional<ReceiverWindow> window_;
    std::optional<receiver::ReceiverSession> session_;
};

}  // namespace receiver_ui
