#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/entry_copy.h"
#include "analyzer/core/filter_section_editor.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace analyzer {
namespace {

using Items = std::vector<std::string>;

class FilterSectionTest : public test_support::TempDirTest {
  protected:
    // "+text" for a ticked item, "-text" for a clear one.
    static Items Shown(const FilterSectionEditor& list) {
        Items shown;
        for (const FilterItem& item : list.items()) {
            shown.push_back((item.checked ? "+" : "-") + item.text);
        }
        return shown;
    }
    FilterSectionEditor Loaded(std::string_view section) {
        FilterSectionEditor list;
        list.LoadSection(section, Path("cfg"));
        return list;
    }
};

TEST_F(FilterSectionTest, SortsIgnoringCaseAndSavesOneKeyPerText) {
    Put("cfg",
        "[SourceIPFilters]\n9.0.0.1=2\n192.0.2.1=0\nBeta=0\n10.0.0.2=1\nalpha=1\n"
        "[TargetPortFilters]\n80=1\n137=0\n1024=1\n");
    EXPECT_EQ(Shown(Loaded("TargetPortFilters")), (Items{"+1024", "-137", "+80"}));
    FilterSectionEditor list = Loaded("SourceIPFilters");
    EXPECT_EQ(Shown(list), (Items{"+10.0.0.2", "-192.0.2.1", "+9.0.0.1", "+alpha", "-Beta"}));
    EXPECT_EQ(list.AddItem("192.0.2.1", true), 2u);
    EXPECT_EQ(list.DeleteSelected(4), SelectionAfter::Clear());  // "alpha"
    EXPECT_EQ(list.DeleteSelected(0), SelectionAfter::Clear());
    ASSERT_TRUE(list.SaveSection());
    EXPECT_EQ(Get("cfg"),
              "[SourceIPFilters]\n192.0.2.1=1\n9.0.0.1=1\nBeta=0\n"
              "[TargetPortFilters]\n80=1\n137=0\n1024=1\n");
}

TEST_F(FilterSectionTest, KeepsEveryKeyAndEmptiesWhenAllAreDeleted) {
    EXPECT_EQ(Shown(Loaded("TargetPortFilters")), Items{"-Unknown"});
    ASSERT_TRUE(Loaded("TargetPortFilters").SaveSection());
    EXPECT_EQ(Get("cfg"), "[TargetPortFilters]\nUnknown=0\n");
    std::string text = "[TargetPortFilters]\n";
    for (int port = 1000; port < 1300; ++port) {
        text += std::to_string(port) + "=1\n";
    }
    Put("cfg", text);
    FilterSectionEditor list = Loaded("TargetPortFilters");
    ASSERT_TRUE(list.SaveSection());
    EXPECT_EQ(Get("cfg"), text);
    EXPECT_EQ(list.DeleteSelected(std::nullopt), SelectionAfter::Keep());
    EXPECT_EQ(list.DeleteSelected(300), SelectionAfter::Keep());
    EXPECT_EQ(list.items().size(), 300u);
    while (!list.items().empty()) {
        list.DeleteSelected(0);
    }
    ASSERT_TRUE(list.SaveSection());
    EXPECT_EQ(Get("cfg"), "[TargetPortFilters]\n");
    EXPECT_TRUE(Loaded("TargetPortFilters").items().empty());
}

TEST(SourceIpTest, AcceptsOnlyCanonicalDottedAddresses) {
    for (const char* good : {"192.168.1.1", "0.0.0.0", "255.255.255.255"}) {
        EXPECT_TRUE(IsValidSourceIp(good)) << good;
    }
    for (const char* bad : {"192.168.001.1", "10.1", "1.2.3.4.5", "1.2.3.4 ", " 1.2.3.4",
                            "1.2.3. 4", "", "256.1.1.1", "0x1.2.3.4"}) {
        EXPECT_FALSE(IsValidSourceIp(bad)) << bad;
    }
}

TEST_F(FilterSectionTest, CopyMasksOnlyTheTarget) {
    const std::string mask40(40, 'm');
    const std::tuple<std::string, const char*, std::string> cases[] = {
        {"", "198.51.100.7", "198.51.100.7"},
        {"MaskInboundTarget=0\nIPMask=a.b.c\n", "198.51.100.7", "198.51.100.7"},
        {"MaskInboundTarget=1\n", "198.51.100.7", ".7"},
        {"maskinboundtarget=1\nipmask=a.b.c\n", "198.51.100.7", "a.b.c.7"},
        {"MaskInboundTarget=1\nIPMask=" + mask40, "198.51.100.7", mask40.substr(0, 31) + ".7"},
        {"MaskInboundTarget=1\nIPMask=a.b.c\n", "gateway", "a.b.c"}};
    for (const auto& [options, target, masked] : cases) {
        Put("cfg", "[Options]\n" + options);
        SettingsFile settings(Path("cfg"));
        EXPECT_EQ(MaskTarget(target, settings), masked) << options;
    }
    SettingsFile settings(Path("cfg"));
    const LogEntry entry{"09/27/2002", "19:48:40",     "in", "203.0.113.45",
                         "4512",       "198.51.100.7", "80"};
    EXPECT_EQ(CopyText(entry, settings),
              "09/27/2002 19:48:40 in 203.0.113.45[4512] ==> a.b.c.7[80]");
}

// Each reader has its own default; a key present with an empty value is not missing.
TEST_F(FilterSectionTest, OptionsReadWithTheirUsersDefaults) {
    SettingsFile settings(Path("cfg"));
    EXPECT_EQ(LogPath(settings), "");
    EXPECT_EQ(ViewerCommand(settings), "xdg-open");
    EXPECT_FALSE(IsMaskingOn(settings));
    EXPECT_EQ(CopyMask(settings), "");
    EXPECT_EQ(OptionsPageMask(settings), "a.b.c");
    EXPECT_FALSE(IsLookupOnSelection(settings));
    const std::string longPath = "/" + std::string(300, 'p');
    Put("cfg", "[Options]\nViewer=\nLookupSource=1\nLogPath=" + longPath +
                   "\nIPMask=" + std::string(70, 'm') + "\n");
    EXPECT_EQ(ViewerCommand(settings), "");
    EXPECT_TRUE(IsLookupOnSelection(settings));
    EXPECT_EQ(LogPath(settings), longPath);
    EXPECT_EQ(CopyMask(settings), std::string(31, 'm'));
    EXPECT_EQ(OptionsPageMask(settings), std::string(63, 'm'));
}

}  // namespace
}  // namespace analyzer
