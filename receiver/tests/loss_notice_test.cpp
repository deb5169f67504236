#include "receiver/core/loss_notice.h"

#include <gtest/gtest.h>

namespace receiver {
namespace {

using namespace std::chrono_literals;

TEST(LossNoticeTest, SaysGrowthAtMostOnceASecond) {
    const auto t0 = std::chrono::steady_clock::time_point() + 100s;
    LossNotice notice;
    EXPECT_EQ(notice.Note(0, t0), std::nullopt);
    EXPECT_EQ(notice.Note(1234, t0),
              "1,234 datagrams lost so far: they came faster than they could be logged.");
    EXPECT_EQ(notice.Note(2000, t0 + 999ms), std::nullopt);
    EXPECT_EQ(notice.Note(2000, t0 + 1s), LossSoFarText(2000));
    EXPECT_EQ(notice.Note(2000, t0 + 5s), std::nullopt);
    EXPECT_EQ(LossInAllText(1), "1 datagrams lost in all.");
}

}  // namespace
}  // namespace receiver
