// The once-only fill of a process-wide record: filled by one caller, retried
// after a failed fill, emptied again by an unload, and filled exactly once
// when threads race for it, the latecomers waiting until it is complete.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/first_fill.h"

namespace {

TEST(PlatformFirstFill, FillsOnceAndAnswersFilledAfterwards) {
    platform::FirstFill fill;
    int fills = 0;
    const auto count = [&]() noexcept {
        ++fills;
        return true;
    };
    EXPECT_FALSE(fill.Filled());
    EXPECT_TRUE(fill.Ensure(count));
    EXPECT_TRUE(fill.Ensure(count));
    EXPECT_TRUE(fill.Filled());
    EXPECT_EQ(1, fills);
}

TEST(PlatformFirstFill, FailedFillIsTriedAgainByTheNextCaller) {
    platform::FirstFill fill;
    int fills = 0;
    EXPECT_FALSE(fill.Ensure([&]() noexcept { return ++fills > 1; }));
    EXPECT_FALSE(fill.Filled());
    EXPECT_TRUE(fill.Ensure([&]() noexcept { return ++fills > 1; }));
    EXPECT_EQ(2, fills);
}

TEST(PlatformFirstFill, ForgetEmptiesOnlyAFilledRecord) {
    platform::FirstFill fill;
    EXPECT_FALSE(fill.Forget());
    fill.Ensure([]() noexcept { return true; });
    EXPECT_TRUE(fill.Forget());
    EXPECT_FALSE(fill.Filled());
    int fills = 0;
    fill.Ensure([&]() noexcept { return ++fills == 1; });
    EXPECT_EQ(1, fills);
}

TEST(PlatformFirstFill, RacingThreadsFillOnceAndSeeTheWholeRecord) {
    constexpr int kThreads = 8;
    for (int round = 0; round < 20; ++round) {
        platform::FirstFill fill;
        std::atomic<int> fills{0};
        int record[4] = {};
        std::atomic<bool> go{false};
        std::atomic<int> incomplete{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                while (!go.load()) {
                }
                fill.Ensure([&]() noexcept {
                    ++fills;
                    for (int& field : record) {
                        Sleep(1);  // a slow fill, so that others arrive during it
                        field = 7;
                    }
                    return true;
                });
                for (int field : record)
                    if (field != 7) ++incomplete;
            });
        go = true;
        for (auto& thread : threads) thread.join();
        ASSERT_EQ(1, fills.load()) << "round " << round;
        ASSERT_EQ(0, incomplete.load()) << "round " << round;
    }
}

}  // namespace
