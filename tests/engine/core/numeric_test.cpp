#include "engine/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(SaturatingCast, TruncatesAndClampsToTheTargetRange)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();

    EXPECT_EQ(vek::SaturatingCast<uint32_t>(3.99f), 3u);
    EXPECT_EQ(vek::SaturatingCast<uint32_t>(-0.5f), 0u);
    EXPECT_EQ(vek::SaturatingCast<uint32_t>(-1e30f), 0u);
    EXPECT_EQ(vek::SaturatingCast<uint32_t>(4294967296.0f), UINT32_MAX);
    EXPECT_EQ(vek::SaturatingCast<uint32_t>(4294967040.0f), 4294967040u);  // largest float below 2^32
    EXPECT_EQ(vek::SaturatingCast<uint32_t>(inf), UINT32_MAX);
    EXPECT_EQ(vek::SaturatingCast<uint32_t>(nan), 0u);

    EXPECT_EQ(vek::SaturatingCast<int32_t>(-3.99f), -3);
    EXPECT_EQ(vek::SaturatingCast<int32_t>(2147483648.0f), INT32_MAX);
    EXPECT_EQ(vek::SaturatingCast<int32_t>(-2147483648.0f), INT32_MIN);
    EXPECT_EQ(vek::SaturatingCast<int32_t>(-inf), INT32_MIN);
    EXPECT_EQ(vek::SaturatingCast<int32_t>(nan), 0);
}

TEST(WholeCount, NothingFitsWithoutASizeOrRoom)
{
    EXPECT_EQ(vek::WholeCount(100.0f, 30.0f), 3u);
    EXPECT_EQ(vek::WholeCount(100.0f, 0.0f), 0u);
    EXPECT_EQ(vek::WholeCount(100.0f, -5.0f), 0u);
    EXPECT_EQ(vek::WholeCount(-100.0f, 5.0f), 0u);
    EXPECT_EQ(vek::WholeCount(std::nanf(""), 5.0f), 0u);
    EXPECT_EQ(vek::WholeCount(1e30f, 1e-30f), UINT32_MAX);
}
