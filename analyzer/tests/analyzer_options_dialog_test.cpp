#include "analyzer/ui/analyzer_options_dialog.h"

#include <gtest/gtest.h>

#include <QTest>
#include <string>

#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/settings_file.h"
#include "analyzer/ui/viewer_launch.h"
#include "common/testing/temp_dir.h"
#include "common_ui/file_text.h"
#include "common_ui/testing/scripted_prompts.h"

namespace analyzer_ui {
namespace {

class AnalyzerOptionsDialogTest : public test_support::TempDirTest {
  protected:
    AnalyzerOptionsDialog& Open() {
        sheet_ = std::make_unique<AnalyzerOptionsDialog>(Path("cfg"), prompts_);
        sheet_->show();
        return *sheet_;
    }

    test_support::ScriptedPrompts prompts_;
    std::unique_ptr<AnalyzerOptionsDialog> sheet_;
};

TEST_F(AnalyzerOptionsDialogTest, OkWritesOnlyThePagesThatWereShown) {
    Put("cfg", "[Options]\nLogPath=/var/log/router\nMaskInboundTarget=1\n");
    AnalyzerOptionsDialog& sheet = Open();
    EXPECT_EQ(sheet.windowTitle(), "Options");
    EXPECT_EQ(sheet.tabs()->tabText(0), "Directories");
    EXPECT_EQ(sheet.tabs()->tabText(1), "Copy Options");
    EXPECT_EQ(sheet.directoriesPage()->logPathField()->text(), "/var/log/router");
    EXPECT_EQ(sheet.directoriesPage()->viewerField()->text(), "");
    sheet.accept();
    EXPECT_EQ(Get("cfg"), "[Options]\nLogPath=/var/log/router\nMaskInboundTarget=1\nViewer=\n");

    AnalyzerOptionsDialog& cancelled = Open();
    cancelled.directoriesPage()->logPathField()->setText("/elsewhere");
    cancelled.tabs()->setCurrentIndex(1);
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(Get("cfg"), "[Options]\nLogPath=/var/log/router\nMaskInboundTarget=1\nViewer=\n");
}

TEST_F(AnalyzerOptionsDialogTest, MaskFieldIsReadOnlyWhileTheSwitchIsClear) {
    AnalyzerOptionsDialog& sheet = Open();
    sheet.tabs()->setCurrentIndex(1);
    CopyOptionsPage& page = *sheet.copyOptionsPage();
    EXPECT_FALSE(page.maskSwitch()->isChecked());
    EXPECT_EQ(page.maskSwitch()->text(), "Hide Inbound WAN IP");
    EXPECT_EQ(page.maskField()->text(), "a.b.c");
    EXPECT_TRUE(page.maskField()->isReadOnly());

    QTest::mouseClick(page.maskSwitch(), Qt::LeftButton);
    EXPECT_FALSE(page.maskField()->isReadOnly());
    page.maskField()->setText("x.y.z");
    QTest::mouseClick(page.maskSwitch(), Qt::LeftButton);
    EXPECT_TRUE(page.maskField()->isReadOnly());
    EXPECT_EQ(page.maskField()->text(), "x.y.z");

    // Leaving the page and coming back shows what was there when it was left.
    sheet.tabs()->setCurrentIndex(0);
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_EQ(page.maskField()->text(), "x.y.z");
    QTest::mouseClick(page.maskSwitch(), Qt::LeftButton);
    sheet.accept();
    EXPECT_EQ(Get("cfg"), "[Options]\nLogPath=\nViewer=\nMaskInboundTarget=1\nIPMask=x.y.z\n");
}

TEST_F(AnalyzerOptionsDialogTest, BrowsingCutsTheChosenFileAndReloadsBothFields) {
    Put("cfg", "[Options]\nLogPath=/srv/logs\nViewer=less\n");
    AnalyzerOptionsDialog& sheet = Open();
    DirectoriesPage& page = *sheet.directoriesPage();
    page.viewerField()->setText("typed viewer");
    prompts_.chosenFiles = {QString("/home/u/router logs/Velmora-incoming-2026-12-06.log"),
                            std::nullopt, QString("/day.log")};
    page.browseLogPath();
    EXPECT_EQ(page.logPathField()->text(), "/home/u/router logs");
    EXPECT_EQ(page.viewerField()->text(), "less");
    const common_ui::OpenFileRequest& request = prompts_.fileRequests.front();
    EXPECT_EQ(request.title, "Default Log Directory");
    EXPECT_EQ(request.directory, "/srv/logs");
    EXPECT_EQ(request.filters, "Router Logs (Velmora*.log);;All files (*)");

    page.logPathField()->setText("/typed");
    page.browseLogPath();  // cancelled: nothing changes
    EXPECT_EQ(page.logPathField()->text(), "/typed");
    page.browseLogPath();
    EXPECT_EQ(page.logPathField()->text(), "/");
    // The browse started from the stored value, not from the typed text.
    EXPECT_EQ(prompts_.fileRequests[2].directory, "/home/u/router logs");

    page.logPathField()->setText("/typed again");
    prompts_.chosenFiles = {QString("/usr/bin/less")};
    page.browseViewer();
    EXPECT_EQ(page.viewerField()->text(), "/usr/bin/less");
    EXPECT_EQ(page.logPathField()->text(), "/");
    EXPECT_EQ(prompts_.fileRequests.back().title, "Select Log Viewer");
    EXPECT_EQ(prompts_.fileRequests.back().directory, "less");
    EXPECT_EQ(prompts_.fileRequests.back().filters, "Programs (*);;All files (*)");
    sheet.accept();
    EXPECT_EQ(Get("cfg"), "[Options]\nLogPath=/\nViewer=/usr/bin/less\n");
}

// A viewer chosen by browsing runs as that one program, however its path is spelt, with
// the log as its one argument.
TEST_F(AnalyzerOptionsDialogTest, BrowsedViewerIsStoredSoItRunsAsOneProgram) {
    const QString chosenPaths[] = {
        "/opt/log tools/view log",
        "/opt/tabbed\tname/view",
        "/opt/\"quoted\" dir/view\"",
        "/\"leading quote",
        QString::fromUtf8("/opt/f\u00fcr mich/view"),
        QString::fromUtf8("/opt/no\u00a0break/view"),
        "/usr/bin/less",
    };
    const QString logPath = "/home/u/router logs/Velmora-incoming-2026-12-07.log";
    for (const QString& chosen : chosenPaths) {
        Put("cfg", "[Options]\nViewer=less\n");
        AnalyzerOptionsDialog& sheet = Open();
        prompts_.chosenFiles = {chosen};
        sheet.directoriesPage()->browseViewer();
        sheet.accept();

        analyzer::SettingsFile settings(Path("cfg"));
        const std::string stored = analyzer::ViewerCommand(settings);
        const std::optional<ViewerLaunch> launch =
            ViewerLaunchFor(common_ui::FromFileText(stored), logPath);
        ASSERT_TRUE(launch.has_value()) << stored;
        EXPECT_EQ(launch->program, chosen) << stored;
        EXPECT_EQ(launch->arguments, QStringList{logPath}) << stored;
    }
    // A path that needs no quotes is stored as chosen.
    EXPECT_EQ(Get("cfg"), "[Options]\nViewer=/usr/bin/less\nLogPath=\n");
}

// Values shown as the file holds them and left alone keep their bytes at OK.
TEST_F(AnalyzerOptionsDialogTest, UntouchedValuesKeepTheirBytes) {
    const std::string original =
        "[Options]\nLogPath=/srv/f\xfcr\nViewer=f\xfcr -x\nMaskInboundTarget=1\n"
        "IPMask=f\xfcr\n";
    Put("cfg", original);
    AnalyzerOptionsDialog& sheet = Open();
    EXPECT_EQ(sheet.directoriesPage()->logPathField()->text(), QString::fromUtf8("/srv/f\u00fcr"));
    EXPECT_EQ(sheet.directoriesPage()->viewerField()->text(), QString::fromUtf8("f\u00fcr -x"));
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_EQ(sheet.copyOptionsPage()->maskField()->text(), QString::fromUtf8("f\u00fcr"));
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(Get("cfg"), original);

    // A changed value is written as UTF-8.
    AnalyzerOptionsDialog& edited = Open();
    edited.directoriesPage()->viewerField()->setText(QString::fromUtf8("f\u00fcr -y"));
    edited.accept();
    EXPECT_EQ(Get("cfg"),
              "[Options]\nLogPath=/srv/f\xfcr\nViewer=f\xc3\xbcr -y\nMaskInboundTarget=1\n"
              "IPMask=f\xfcr\n");
}

}  // namespace
}  // namespace analyzer_ui
