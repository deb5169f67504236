#include "receiver/core/receiver_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace receiver {
namespace {

TEST(IsTrueValueTest, AcceptsOnYesTrueOneInAnyCase) {
    for (const char* t : {"On", "on", "ON", "yes", "YES", "True", "true", "1"}) {
        EXPECT_TRUE(IsTrueValue(t)) << t;
    }
    for (const char* f : {"Off", "No", "0", "2", "y", "enabled", "", " On"}) {
        EXPECT_FALSE(IsTrueValue(f)) << '"' << f << '"';
    }
}

class ReceiverSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/receiver_settings_test.XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        dir_ = dir;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path() const { return dir_ + "/velmora.ini"; }
    void Put(const std::string& content) const { std::ofstream(Path()) << content; }
    std::string FileText() const {
        std::ostringstream text;
        text << std::ifstream(Path()).rdbuf();
        return text.str();
    }

    std::string dir_;
};

TEST_F(ReceiverSettingsTest, LoadReportsWhetherTheProfileWasSetUp) {
    const struct {
        bool loaded;
        KindFlags display, log;
        int formatted;
        const char* content;  // nullptr: no file
    } cases[] = {
        {false, {}, {}, 0, nullptr},
        {true, {0, 0, 0, 1}, {}, 0, "[Display Options]\ncombined=On\n"},
        {false,
         {},
         {},
         0,
         "[Display Options]\nincoming=Off\noutgoing=Off\nmessages=Off\ncombined=Off\n"
         "[Logging Options]\nincoming=Off\noutgoing=Off\nmessages=Off\ncombined=Off\n"},
        {true, {}, {}, 0, "[Defaults]\ninitialized=Yes\n"},
        {false, {}, {}, 1, "[Defaults]\nformatted=On\n"},
        {true, {1, 0, 0, 0}, {}, 0, "[display options]\nINCOMING=yes\n"},
        {true, {}, {0, 0, 1, 0}, 0, "[LOGGING OPTIONS]\nMessages=1\n"},
        {false, {}, {}, 0, "[Defaults]\ncombined=On\n[Find Options]\nfind all=1\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Path());
        if (c.content) {
            Put(c.content);
        }
        SCOPED_TRACE(c.content ? c.content : "(no file)");
        ReceiverSettings s;
        EXPECT_EQ(s.LoadSettings(common::ProfileStore(Path())), c.loaded);
        EXPECT_EQ(s.displayFlags, c.display);
        EXPECT_EQ(s.logFlags, c.log);
        EXPECT_EQ(s.formatted, c.formatted);
    }
}

TEST_F(ReceiverSettingsTest, SaveWritesOptionKeysInOrderAndReloads) {
    common::ProfileStore profile(Path());
    ReceiverSettings saved;
    // Saved twice so that the second save has to replace every value.
    saved.displayFlags = saved.logFlags = {0, 1, 0, 1};
    saved.combined = 1;
    saved.SaveOptions(profile);
    saved.displayFlags = {1, 0, 1, 0};
    saved.logFlags = {0, 1, 1, 0};
    saved.formatted = 1;
    saved.combined = 0;
    saved.SaveOptions(profile);
    // No "combined" key in either option group.
    EXPECT_EQ(FileText(),
              "[Display Options]\nincoming=On\noutgoing=Off\nmessages=On\n"
              "[Logging Options]\nincoming=Off\noutgoing=On\nmessages=On\n"
              "[Defaults]\nformatted=On\ncombined=Off\n");

    saved.lastFindText = "link down";
    saved.findAll = 1;
    saved.matchCase = 0;
    saved.searchUp = 1;
    saved.SaveFindOptions(profile);
    EXPECT_NE(FileText().find("[Find Options]\nlast find=link down\nfind all=1\nmatch case=0\n"
                              "direction=1\n"),
              std::string::npos)
        << FileText();

    ReceiverSettings loaded;
    EXPECT_TRUE(loaded.LoadSettings(profile));
    EXPECT_EQ(loaded.displayFlags, saved.displayFlags);
    EXPECT_EQ(loaded.logFlags, saved.logFlags);
    EXPECT_EQ(loaded.formatted, 1);
    EXPECT_EQ(loaded.combined, 0);
    EXPECT_EQ(loaded.lastFindText, "link down");
    EXPECT_EQ(loaded.findAll, 1);
    EXPECT_EQ(loaded.matchCase, 0);
    EXPECT_EQ(loaded.searchUp, 1);
}

TEST_F(ReceiverSettingsTest, MarkInitializedAloneMakesLoadSucceed) {
    common::ProfileStore profile(Path());
    MarkInitialized(profile);
    EXPECT_EQ(FileText(), "[Defaults]\ninitialized=Yes\n");
    ReceiverSettings s;
    EXPECT_TRUE(s.LoadSettings(profile));
    EXPECT_EQ(s.displayFlags, (KindFlags{}));
}

}  // namespace
}  // namespace receiver
