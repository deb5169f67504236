#include "analyzer/core/port_table.h"
#include "analyzer/core/port_list_editor.h"
#include "common/testing/scripted_messages.h"
#include "common/testing/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace analyzer {
namespace {

using common::Answer;
using common::MessageIcon;
using Shown = std::vector<test_support::ScriptedMessages::Box>;
using RecordingMessages = test_support::ScriptedMessages;

using PortTableTest = test_support::TempDirTest;

TEST_F(PortTableTest, LookupLoadAndSave) {
    const std::string unknown = "Unknown or unassigned";
    const std::string longText(100, 'd');
    const std::string lf =
        "#80\told\n\n080\tzero\n80 web\n80\tweb\n80\tsecond\n81\t\n82\tweb\tproxy\n83\t" +
        longText + "\n";
    const std::string crlf = std::regex_replace(lf, std::regex("\n"), "\r\n");
    const std::pair<const char*, std::string> cases[] = {
        {"80", "web"},    {"080", "zero"},  {"81", ""},     {"82", "web\tproxy"},
        {"83", longText}, {"#80", unknown}, {"84", unknown}};
    for (const std::string& content : {lf, crlf}) {
        Put("ports", content);
        const PortTable table(Path("ports"));
        for (const auto& [port, description] : cases) {
            EXPECT_EQ(table.Lookup(port), description) << port;
        }
        const PortLines loaded = table.LoadLines();
        EXPECT_EQ(loaded.lines.size(), 9u);
        EXPECT_EQ(loaded.definitionCount, 7u);
    }
    Put("comments", "# 80\tweb\n");
    EXPECT_EQ(PortTable(Path("comments")).Lookup("80"), unknown);
    EXPECT_EQ(PortTable(Path("missing")).Lookup("80"), unknown);

    const std::vector<std::string> lines = {"# c", "", "80\t" + std::string(200, 'w'), "81\tx\r"};
    ASSERT_TRUE(PortTable(Path("saved")).SaveLines(lines));
    EXPECT_EQ(Get("saved"), "# c\n\n" + lines[2] + "\n81\tx\r\r\n");
    EXPECT_EQ(PortTable(Path("saved")).LoadLines().lines, lines);
}

TEST(PortTextTest, ValidPortsAndDefinitionFields) {
    RecordingMessages messages;
    for (const char* good : {"1", "65535", "00080", " 80"}) {
        EXPECT_TRUE(IsValidPort(good, messages)) << good;
    }
    EXPECT_TRUE(messages.shown.empty());
    for (const char* bad : {"0", "00000", "65536", "99999", "", "99999999999999999999"}) {
        EXPECT_FALSE(IsValidPort(bad, messages)) << bad;
        const RecordingMessages::Box invalid{MessageIcon::kStop,
                                             "Port " + std::string(bad) + " is invalid"};
        EXPECT_EQ(messages.shown.back(), invalid);
    }
    EXPECT_EQ(SplitDefinition("80\tweb\tproxy").description, "web\tproxy");
    EXPECT_EQ(SplitDefinition("# x\ty").port, "");
}

TEST_F(PortTableTest, EditorAnswersWhereTheSelectionGoes) {
    Put("ports", "80\tweb server\n# c\nFtp\tfiles\n;c\n80\tdup\n");
    RecordingMessages messages;
    PortListEditor editor(Path("ports"), messages);
    EXPECT_EQ(editor.Load(), SelectionAfter::Select(0));
    EXPECT_EQ(editor.definitionCount(), 3u);
    EXPECT_EQ(editor.FindPortLine("fTP"), 2u);
    EXPECT_EQ(editor.FindPortLine("80"), 4u);
    EXPECT_EQ(editor.Find("8"), SelectionAfter::Keep());
    EXPECT_EQ(editor.Add({"80", "other"}), SelectionAfter::Select(4));
    EXPECT_EQ(messages.shown, (Shown{{MessageIcon::kStop, "Port 8 not found"},
                                     {MessageIcon::kStop, "Port 80 already defined"}}));
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(editor.rows().size(), 5u);
    EXPECT_EQ(editor.Add({"080", "alt"}), SelectionAfter::Keep());
    EXPECT_EQ(editor.definitionCount(), 4u);
    EXPECT_TRUE(editor.modified());

    EXPECT_FALSE(editor.IsEditableRow(3));
    EXPECT_FALSE(editor.IsEditableRow(std::nullopt));
    EXPECT_FALSE(editor.IsEditableRow(6));
    EXPECT_EQ(editor.Edit(3, "x"), SelectionAfter::Keep());
    EXPECT_EQ(editor.Delete(1), SelectionAfter::Keep());
    ASSERT_TRUE(editor.IsEditableRow(2));
    EXPECT_EQ(editor.Edit(2, "file transfer"), SelectionAfter::Clear());
    EXPECT_EQ(editor.Delete(4), SelectionAfter::Clear());
    EXPECT_EQ(editor.definitionCount(), 3u);
    EXPECT_EQ(editor.Find("80"), SelectionAfter::Select(0));
    EXPECT_TRUE(editor.SaveChanges());
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(Get("ports"), "80\tweb server\n# c\nFtp\tfile transfer\n;c\n080\talt\n");

    Put("ports", "");
    EXPECT_EQ(editor.Load(), SelectionAfter::Clear());
    EXPECT_EQ(editor.FindPortLine("80"), std::nullopt);
}

TEST_F(PortTableTest, EditorSavesOnlyChangesAndAsksOnClose) {
    Put("ports", "80\tweb\r\n");
    const timespec times[2] = {{1000, 0}, {1000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Path("ports").c_str(), times, 0), 0);
    RecordingMessages messages;
    PortListEditor editor(Path("ports"), messages);
    editor.Load();
    EXPECT_TRUE(editor.SaveChanges());
    EXPECT_TRUE(editor.Close());
    struct stat st {};
    ASSERT_EQ(::stat(Path("ports").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_nsec, 5);

    // A regular file as the parent makes the write fail even for root.
    PortListEditor failing(Path("ports/sub"), messages);
    failing.Add({"81", "x"});
    EXPECT_FALSE(failing.SaveChanges());
    EXPECT_TRUE(failing.modified());
    EXPECT_EQ(messages.shown, (Shown{{MessageIcon::kInformation, "Unable to open port list"}}));
    EXPECT_TRUE(messages.asked.empty());
    // Yes with a failing save keeps the window open, so the changes are not lost.
    messages.answers = {Answer::kYes};
    EXPECT_FALSE(failing.Close());
    EXPECT_EQ(messages.shown.size(), 2u);

    for (const auto answer : {Answer::kCancel, Answer::kNo, Answer::kYes}) {
        PortListEditor another(Path("ports"), messages);
        another.Load();
        another.Add({"81", "x"});
        messages.answers = {answer};
        EXPECT_EQ(another.Close(), answer != Answer::kCancel);
        EXPECT_EQ(Get("ports"), answer == Answer::kYes ? "80\tweb\n81\tx\n" : "80\tweb\r\n");
    }
    EXPECT_EQ(messages.asked, std::vector<std::string>(4, "Save changes to port definitions?"));
}

}  // namespace
}  // namespace analyzer
