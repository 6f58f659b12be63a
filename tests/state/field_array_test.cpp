// The field-array type: one contiguous zero-filled block, last index fastest,
// views that alias the block, and allocations that fail cleanly.
#include <gtest/gtest.h>

#include "engine/state/field_array.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

TEST(FieldArray, IsEmptyUntilAllocated)
{
    Field3 a;
    EXPECT_FALSE(a);
    EXPECT_EQ(a.size(), 0u);
}

TEST(FieldArray, OneZeroFilledBlockWithLastIndexFastest)
{
    test::CaseFolder folder;
    Field3 a;
    long bytes = 0;
    ASSERT_TRUE(allocate_field(a, {4, 3, 5}, bytes));
    EXPECT_EQ(bytes, 4 * 3 * 5 * 8);
    EXPECT_EQ(a.size(), 60u);
    const double* base = a.data();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 5; ++k) {
                EXPECT_EQ(a[i][j][k], 0.0);
                EXPECT_EQ(&a[i][j][k], base + (i * 3 + j) * 5 + k);
            }
}

TEST(FieldArray, SlabViewsAliasTheBlock)
{
    test::CaseFolder folder;
    Field4 c;
    long bytes = 0;
    ASSERT_TRUE(allocate_field(c, {3, 4, 4, 6}, bytes));
    Field3 size2 = c[2];  // the way the solver points at one component
    size2[1][2][3] = 7.5;
    EXPECT_EQ(c[2][1][2][3], 7.5);
    Field3 alias = size2;
    alias[0][0][0] = -1.0;
    EXPECT_EQ(c[2][0][0][0], -1.0);
    c[1].fill(2.0);
    EXPECT_EQ(c[1][3][3][5], 2.0);
    EXPECT_EQ(c[0][3][3][5], 0.0);
    EXPECT_EQ(c[2][0][0][0], -1.0);
}

TEST(FieldArray, ImpossibleSizesFailWithoutAllocating)
{
    test::CaseFolder folder;
    Field3 a;
    long bytes = 0;
    EXPECT_FALSE(allocate_field(a, {-1, 4, 4}, bytes));
    EXPECT_FALSE(allocate_field(a, {2000000000L, 2000000000L, 2000000000L}, bytes));
    EXPECT_FALSE(a);
    EXPECT_EQ(bytes, 0);
    // No index values at all: nothing to hold, and no failure.
    EXPECT_TRUE(allocate_field(a, {0, 4, 4}, bytes));
    EXPECT_FALSE(a);
}

TEST(FieldArray, ResetFreesAndEmptiesEveryAllocatedArray)
{
    Field2 a;
    {
        test::CaseFolder folder;
        long bytes = 0;
        ASSERT_TRUE(allocate_field(a, {3, 3}, bytes));
        a[2][2] = 1.0;
    }
    EXPECT_FALSE(a);
}

}  // namespace
}  // namespace zefra
