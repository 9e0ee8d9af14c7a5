#include <gtest/gtest.h>

#include <cstring>

#include "scratch.h"

namespace {

TEST(ScratchTest, CopiesFillLikeStrncpyAndAreTerminated) {
    char* copy = scratch_copy("ab", 5);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::memcmp(copy, "ab\0\0\0\0", 6), 0);
    EXPECT_STREQ(scratch_copy("abc", 0), "");
    EXPECT_STREQ(scratch_copy("abcdef", 3), "abc");
    scratch_free_all();
}

TEST(ScratchTest, DupOfNoTextRecordsNothing) {
    scratch_free_all();
    EXPECT_EQ(scratch_dup(nullptr), nullptr);
    EXPECT_TRUE(scratch_empty());
    EXPECT_STREQ(scratch_dup("x y"), "x y");
    EXPECT_FALSE(scratch_empty());
    scratch_free_all();
    EXPECT_TRUE(scratch_empty());
}

TEST(ScratchTest, AllocationsLiveUntilFreedTogether) {
    char* first = scratch_alloc(4);
    char* second = scratch_alloc(1000);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    std::memset(first, 'a', 4);
    std::memset(second, 'b', 1000);
    EXPECT_EQ(first[3], 'a');
    scratch_free_all();
    EXPECT_TRUE(scratch_empty());
}

}  // namespace
