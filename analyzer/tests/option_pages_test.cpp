#include "analyzer/core/option_pages.h"
#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/settings_file.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace analyzer {
namespace {

using OptionPagesTest = test_support::TempDirTest;

TEST_F(OptionPagesTest, PagesReadTheirOwnDefaultsAndWriteExactlyAsTyped) {
    EXPECT_EQ(ReadDirectoryOptions(Path("cfg")), (DirectoryOptions{"", ""}));
    EXPECT_EQ(ReadCopyOptions(Path("cfg")), (CopyOptions{false, "a.b.c"}));

    ASSERT_TRUE(WriteDirectoryOptions(Path("cfg"), {" /var/log ", ""}));
    ASSERT_TRUE(WriteCopyOptions(Path("cfg"), {true, "x.y.z"}));
    EXPECT_EQ(Get("cfg"),
              "[Options]\nLogPath= /var/log \nViewer=\nMaskInboundTarget=1\nIPMask=x.y.z\n");
    // A present, empty viewer is what the viewer command reads, not its default.
    SettingsFile settings(Path("cfg"));
    EXPECT_EQ(ViewerCommand(settings), "");
    EXPECT_EQ(CopyMask(settings), "x.y.z");
    ASSERT_TRUE(WriteCopyOptions(Path("cfg"), {false, ""}));
    EXPECT_EQ(ReadCopyOptions(Path("cfg")), (CopyOptions{false, ""}));

    EXPECT_FALSE(WriteDirectoryOptions(Path("cfg/sub"), {"a", "b"}));
}

TEST(OptionPagesPathTest, ChosenFileCutAtItsLastSeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/u/logs/day.log", "/home/u/logs"},
        {"/day.log", "/"},
        {"/a b/c.d/e", "/a b/c.d"},
        {"day.log", ""},
    };
    for (const auto& [chosen, directory] : cases) {
        EXPECT_EQ(DirectoryOfChosenFile(chosen), directory) << chosen;
    }
}

TEST(OptionPagesPathTest, ChosenViewerQuotedOnlyWhereItsPathNeedsIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/bin/less", "/usr/bin/less"},
        {"/opt/log tools/view", "/opt/\"log tools\"/view"},
        {"/opt/tab\tbed/my view", "/opt/\"tab\tbed\"/\"my view\""},
        {"/opt/\"q\"/v", "/opt/\"\"\"\"q\"\"\"\"/v"},
        {"/opt/f\xc3\xbcr/v", "/opt/\"f\xc3\xbcr\"/v"},
        {"a b/c d", "./\"a b\"/\"c d\""},
        {"", ""},
    };
    for (const auto& [chosen, stored] : cases) {
        EXPECT_EQ(ViewerTextOfProgram(chosen), stored) << chosen;
    }
}

TEST(OptionPagesPathTest, FileFiltersInQtForm) {
    EXPECT_EQ(ToQtFileFilters("Router Logs|Velmora*.log|All files (*.*)|*.*||"),
              "Router Logs (Velmora*.log);;All files (*)");
    EXPECT_EQ(ToQtFileFilters("Programs (*.exe)|*.exe|All files (*.*)|*.*||"),
              "Programs (*);;All files (*)");
    EXPECT_EQ(ToQtFileFilters("Text|*.txt;*.log;*.*|"), "Text (*.txt *.log *)");
    EXPECT_EQ(ToQtFileFilters(""), "");
}

}  // namespace
}  // namespace analyzer
