#include "receiver/io/gzip_compressor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/testing/file_text.h"
#include "common/testing/temp_dir.h"

namespace receiver {
namespace {

namespace fs = std::filesystem;

std::string Gunzip(const fs::path& path) {
    gzFile gz = ::gzopen(path.c_str(), "rb");
    EXPECT_NE(gz, nullptr) << path;
    std::string text;
    char buffer[4096];
    for (int n; gz != nullptr && (n = ::gzread(gz, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    if (gz != nullptr) {
        ::gzclose(gz);
    }
    return text;
}

class GzipCompressorTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fd_ = ::open(Dir().c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(fd_, 0);
    }
    void TearDown() override {
        ::close(fd_);
        TempDirTest::TearDown();
    }
    int fd_ = -1;
    GzipCompressor compressor_;
};

TEST_F(GzipCompressorTest, ReplacesTheFileWithItsGzipKeepingEveryByteAndTheTime) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "12/06/2026 23:59:" + std::to_string(10 + i % 50) + " in 203.0.113." +
                std::to_string(i % 256) + "[4512] ==> 198.51.100.7[80]\r\n";
    }
    const std::string name = "Velmora-incoming-2026-12-06.log";
    Put(name, text);
    const timespec times[2] = {{1'700'000'000, 0}, {1'700'000'000, 0}};
    ASSERT_EQ(::utimensat(fd_, name.c_str(), times, 0), 0);

    ASSERT_EQ(compressor_.Compress(fd_, name), 0);
    EXPECT_FALSE(fs::exists(Dir() / name));
    EXPECT_FALSE(fs::exists(Dir() / (name + ".gz.partial")));
    EXPECT_EQ(Gunzip(Dir() / (name + ".gz")), text);
    EXPECT_LT(fs::file_size(Dir() / (name + ".gz")), text.size() / 4);
    struct stat info {};
    ASSERT_EQ(::stat((Dir() / (name + ".gz")).c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1'700'000'000);
}

TEST_F(GzipCompressorTest, LeavesALockedOrMissingFileAndNothingHalfWritten) {
    const std::string name = "Velmora-messages-2026-12-06.log";
    Put(name, "line\n");
    const int held = ::open((Dir() / name).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(compressor_.Compress(fd_, name), EWOULDBLOCK);
    ::close(held);
    EXPECT_TRUE(fs::exists(Dir() / name));
    EXPECT_FALSE(fs::exists(Dir() / (name + ".gz")));
    EXPECT_FALSE(fs::exists(Dir() / (name + ".gz.partial")));
    EXPECT_EQ(compressor_.Compress(fd_, "Velmora-messages-2026-12-05.log"), ENOENT);

    // A symlink is never followed.
    fs::create_symlink(Dir() / name, Dir() / "Velmora-messages-2026-12-04.log");
    EXPECT_EQ(compressor_.Compress(fd_, "Velmora-messages-2026-12-04.log"), ELOOP);
    EXPECT_EQ(test_support::ReadFile(Dir() / name), "line\n");
}

}  // namespace
}  // namespace receiver
