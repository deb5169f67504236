#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/testing/file_text.h"

namespace test_support {

// A fresh directory under /tmp for each test, removed with everything in it afterwards.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(::mkdtemp(dir_.data()), nullptr); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Put(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Get(const std::string& name) const { return ReadFile(Path(name)); }

    std::string dir_ = "/tmp/velmora_test.XXXXXX";
};

}  // namespace test_support
