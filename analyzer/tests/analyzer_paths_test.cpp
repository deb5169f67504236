#include "analyzer/core/analyzer_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include "common/testing/temp_dir.h"

namespace analyzer {
namespace {

namespace fs = std::filesystem;

TEST(AnalyzerPathsTest, NamedAfterTheProgramFile) {
    // A dot in a directory name or leading the file name starts no extension.
    for (const std::string stem :
         {"/opt/tools/corvix", "/opt/other", "/x.d/corvix", "/x/.corvix"}) {
        EXPECT_EQ(AnalyzerPathsFor(stem).portsFilePath, stem + ".ports");
        EXPECT_EQ(AnalyzerPathsFor(stem).settingsFilePath, stem + ".cfg");
    }
    EXPECT_EQ(AnalyzerPathsFor("/x/corvix.bin").settingsFilePath, "/x/corvix.cfg");
}

TEST(AnalyzerPathsTest, FilesLieBesideAWritableProgramElseInTheConfigHome) {
    struct Case {
        const char* program;
        bool beside;
        const char* ports;
        const char* settings;
    };
    const Case cases[] = {
        {"/opt/tools/corvix", true, "/opt/tools/corvix.ports", "/opt/tools/corvix.cfg"},
        {"/usr/bin/corvix", false, "/home/u/.config/corvix.ports", "/home/u/.config/corvix.cfg"},
        // A copy of another name keeps files of its own name, wherever they are.
        {"/usr/bin/other.bin", false, "/home/u/.config/other.ports", "/home/u/.config/other.cfg"},
        {"/opt/.hidden/.corvix", true, "/opt/.hidden/.corvix.ports", "/opt/.hidden/.corvix.cfg"},
    };
    for (const Case& c : cases) {
        const AnalyzerPaths paths = AnalyzerPathsFor(c.program, c.beside, "/home/u/.config");
        EXPECT_EQ(paths.portsFilePath, c.ports) << c.program;
        EXPECT_EQ(paths.settingsFilePath, c.settings) << c.program;
    }
}

TEST(AnalyzerPathsTest, ShippedPortsLieInTheShareDirectoryOfThePrefix) {
    EXPECT_EQ(ShippedPortsFilePath("/usr/bin/corvix"), "/usr/bin/../share/corvix/corvix.ports");
}

class ProvidePortsFileTest : public test_support::TempDirTest {
  protected:
    // Names left in the directory other than the ones given: a leftover temporary file.
    int OtherFiles(std::initializer_list<std::string> expected) const {
        int others = 0;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            others += std::find(expected.begin(), expected.end(), name) == expected.end();
        }
        return others;
    }
};

TEST_F(ProvidePortsFileTest, CopiesTheShippedFileWhenTheUserHasNone) {
    Put("shipped", "80\thttp\n443\thttps\n");
    EXPECT_TRUE(ProvidePortsFile(Path("shipped"), Path("corvix.ports")));
    EXPECT_EQ(Get("corvix.ports"), "80\thttp\n443\thttps\n");
    EXPECT_EQ(OtherFiles({"shipped", "corvix.ports"}), 0);
}

TEST_F(ProvidePortsFileTest, NeverReplacesTheUsersFileEvenAnEmptyOne) {
    Put("shipped", "80\thttp\n");
    for (const std::string mine : {"80\tmy proxy\n", ""}) {
        Put("corvix.ports", mine);
        EXPECT_FALSE(ProvidePortsFile(Path("shipped"), Path("corvix.ports")));
        EXPECT_EQ(Get("corvix.ports"), mine);
    }
    // A dangling link is the user's too: it is not followed and not replaced.
    fs::remove(Path("corvix.ports"));
    fs::create_symlink(Path("gone"), Path("corvix.ports"));
    EXPECT_FALSE(ProvidePortsFile(Path("shipped"), Path("corvix.ports")));
    EXPECT_TRUE(fs::is_symlink(Path("corvix.ports")));
    EXPECT_FALSE(fs::exists(Path("gone")));
}

TEST_F(ProvidePortsFileTest, WithoutAShippedFileOrAPlaceNothingIsLeftBehind) {
    EXPECT_FALSE(ProvidePortsFile(Path("missing"), Path("corvix.ports")));
    EXPECT_FALSE(fs::exists(Path("corvix.ports")));
    Put("shipped", "80\thttp\n");
    EXPECT_FALSE(ProvidePortsFile(Path("shipped"), Path("no/such/dir/corvix.ports")));
    EXPECT_EQ(OtherFiles({"shipped"}), 0);
}

// An installed layout: PREFIX/bin/corvix and PREFIX/share/corvix/corvix.ports.
class LocateAnalyzerFilesTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directories(Path("prefix/bin"));
        fs::create_directories(Path("prefix/share/corvix"));
        Put("prefix/share/corvix/corvix.ports", "80\thttp\n443\thttps\n");
        program_ = Path("prefix/bin/corvix");
        Put("prefix/bin/corvix", "");
    }

    // Runs `check` as a user who may not write the program's directory: root passes every
    // permission check, so as root it runs as nobody in a child process.
    void AsUserWhoCannotWriteTheProgramDirectory(const std::function<void()>& check) {
        ::chmod(dir_.c_str(), 0777);
        ::chmod(Path("prefix/bin").c_str(), 0555);
        if (::geteuid() != 0) {
            check();
            return;
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                ::_exit(3);
            }
            check();
            ::_exit(testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }

    std::string program_;
};

TEST_F(LocateAnalyzerFilesTest, AWritableProgramDirectoryKeepsTheFilesBesideTheProgram) {
    const AnalyzerPaths paths = LocateAnalyzerFiles(program_, Path("xdg").c_str(), Path("home"));
    EXPECT_EQ(paths.settingsFilePath, Path("prefix/bin/corvix.cfg"));
    EXPECT_EQ(paths.portsFilePath, Path("prefix/bin/corvix.ports"));
    EXPECT_EQ(Get("prefix/bin/corvix.ports"), "80\thttp\n443\thttps\n");
    EXPECT_FALSE(fs::exists(Path("xdg")));
}

TEST_F(LocateAnalyzerFilesTest, AReadOnlyInstallPutsTheFilesInTheConfigHomeOnFirstUse) {
    const std::string xdg = Path("xdg/nested");
    AsUserWhoCannotWriteTheProgramDirectory([&] {
        const AnalyzerPaths paths = LocateAnalyzerFiles(program_, xdg.c_str(), Path("home"));
        EXPECT_EQ(paths.settingsFilePath, xdg + "/corvix.cfg");
        EXPECT_EQ(paths.portsFilePath, xdg + "/corvix.ports");
        EXPECT_EQ(Get("xdg/nested/corvix.ports"), "80\thttp\n443\thttps\n");
        // Later starts leave the user's edits alone.
        Put("xdg/nested/corvix.ports", "80\tmine\n");
        LocateAnalyzerFiles(program_, xdg.c_str(), Path("home"));
        EXPECT_EQ(Get("xdg/nested/corvix.ports"), "80\tmine\n");
        EXPECT_FALSE(fs::exists(Path("prefix/bin/corvix.ports")));
    });
}

}  // namespace
}  // namespace analyzer
