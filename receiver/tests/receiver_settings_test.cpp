#include "receiver/core/receiver_settings.h"

#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

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

class ReceiverSettingsTest : public test_support::TempDirTest {
  protected:
    std::string Path() const { return TempDirTest::Path("r.ini"); }
    std::string FileText() const { return Get("r.ini"); }
};

TEST_F(ReceiverSettingsTest, LoadReportsWhetherTheProfileWasSetUp) {
    // The option-group flags map by key name; "formatted", "combined" and the find
    // options do not count as set-up.
    const struct {
        const char* content;  // nullptr: no file
        bool loaded;
        KindFlags display, log;
    } cases[] = {
        {nullptr, false, {}, {}},
        {"[Display Options]\ncombined=On\n", true, {0, 0, 0, 1}, {}},
        {"[Display Options]\nincoming=Off\n[Logging Options]\nmessages=Off\n", false, {}, {}},
        {"[Defaults]\ninitialized=Yes\n", true, {}, {}},
        {"[display options]\nOUTGOING=yes\n", true, {0, 1, 0, 0}, {}},
        {"[LOGGING OPTIONS]\nMessages=1\n", true, {}, {0, 0, 1, 0}},
        {"[Defaults]\nformatted=On\ncombined=On\n[Find Options]\nfind all=1\n", false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "(no file)");
        std::filesystem::remove(Path());
        if (c.content) {
            std::ofstream(Path()) << c.content;
        }
        ReceiverSettings s;
        EXPECT_EQ(s.LoadSettings(common::ProfileStore(Path())), c.loaded);
        EXPECT_EQ(s.displayFlags, c.display);
        EXPECT_EQ(s.logFlags, c.log);
    }
}

TEST_F(ReceiverSettingsTest, SaveWritesKeysInOrderAndReloads) {
    common::ProfileStore profile(Path());
    // Field order: display, logging, formatted, combined, searchUp, findAll, matchCase.
    const ReceiverSettings saved{{1, 0, 1, 0}, {0, 1, 1, 0}, 1, 0, 1, 1, 0, "link down"};
    saved.SaveOptions(profile);
    saved.SaveFindOptions(profile);
    // The option groups' "combined" keys are never written.
    EXPECT_EQ(FileText(),
              "[Display Options]\nincoming=On\noutgoing=Off\nmessages=On\n"
              "[Logging Options]\nincoming=Off\noutgoing=On\nmessages=On\n"
              "[Defaults]\nformatted=On\ncombined=Off\n"
              "[Find Options]\nlast find=link down\nfind all=1\nmatch case=0\ndirection=1\n");

    ReceiverSettings loaded;
    EXPECT_TRUE(loaded.LoadSettings(profile));
    EXPECT_EQ(std::tie(loaded.displayFlags, loaded.logFlags, loaded.formatted, loaded.combined,
                       loaded.searchUp, loaded.findAll, loaded.matchCase, loaded.lastFindText),
              std::tie(saved.displayFlags, saved.logFlags, saved.formatted, saved.combined,
                       saved.searchUp, saved.findAll, saved.matchCase, saved.lastFindText));
}

TEST_F(ReceiverSettingsTest, MarkInitializedWritesTheDefaultsKey) {
    common::ProfileStore profile(Path());
    MarkInitialized(profile);
    EXPECT_EQ(FileText(), "[Defaults]\ninitialized=Yes\n");
}

}  // namespace
}  // namespace receiver
