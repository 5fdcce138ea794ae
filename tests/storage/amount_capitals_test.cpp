// Amounts in Chinese capitals as a bookkeeper writes them on a voucher, and
// amounts printed with their thousands grouped.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "storage/amount_capitals.h"
#include "storage/number_text.h"

namespace tw {
namespace {

std::string capitals(std::int64_t yuan, int cents = 0) { return amountInCapitals(yuan * 100 + cents); }

TEST(AmountInCapitals, WholeYuanEndWithZheng) {
    EXPECT_EQ(capitals(117000), "壹拾壹万柒仟元整");
    // 拾 keeps its 壹, at the front too.
    EXPECT_EQ(capitals(10), "壹拾元整");
    EXPECT_EQ(capitals(1), "壹元整");
    EXPECT_EQ(capitals(0), "零元整");
}

TEST(AmountInCapitals, ZerosInsideAGroupAreOneLing) {
    EXPECT_EQ(capitals(1005, 20), "壹仟零伍元贰角");
    EXPECT_EQ(capitals(101), "壹佰零壹元整");
    EXPECT_EQ(capitals(1010), "壹仟零壹拾元整");
    // Zeros a group ends with are not written.
    EXPECT_EQ(capitals(1100), "壹仟壹佰元整");
}

// Where a zero crosses the boundary of 万 or 亿 it is said once; where the
// next group starts with its top digit, not at all.
TEST(AmountInCapitals, WanAndYiBoundaries) {
    EXPECT_EQ(capitals(100000), "壹拾万元整");
    EXPECT_EQ(capitals(100010), "壹拾万零壹拾元整");
    EXPECT_EQ(capitals(1001000), "壹佰万壹仟元整");
    EXPECT_EQ(capitals(1000100), "壹佰万零壹佰元整");
    EXPECT_EQ(capitals(10000000), "壹仟万元整");
    EXPECT_EQ(capitals(100000000), "壹亿元整");
    EXPECT_EQ(capitals(100010000), "壹亿零壹万元整");
    EXPECT_EQ(capitals(100000001), "壹亿零壹元整");
    EXPECT_EQ(capitals(110000000), "壹亿壹仟万元整");
    EXPECT_EQ(capitals(1000000000), "壹拾亿元整");
    EXPECT_EQ(capitals(1000000000000), "壹万亿元整");
    EXPECT_EQ(capitals(1000100000000), "壹万零壹亿元整");
    // The largest balance the books keep.
    EXPECT_EQ(amountInCapitals(kMaxBalanceCents), "柒拾万亿元整");
    EXPECT_EQ(capitals(99999999999999, 99),
              "玖拾玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分");
}

TEST(AmountInCapitals, CentsWithAndWithoutYuan) {
    EXPECT_EQ(capitals(100, 5), "壹佰元零伍分");
    EXPECT_EQ(capitals(10, 50), "壹拾元伍角");
    EXPECT_EQ(capitals(1, 23), "壹元贰角叁分");
    // Cents only: no 元 and no 零 before them.
    EXPECT_EQ(capitals(0, 5), "伍分");
    EXPECT_EQ(capitals(0, 50), "伍角");
    EXPECT_EQ(capitals(0, 55), "伍角伍分");
}

TEST(AmountInCapitals, NegativeAmountsStartWithFu) {
    EXPECT_EQ(capitals(-117000), "负壹拾壹万柒仟元整");
    EXPECT_EQ(amountInCapitals(-5), "负伍分");
    // The most negative number of cents has no positive twin in int64_t.
    EXPECT_EQ(amountInCapitals(std::numeric_limits<std::int64_t>::min()),
              "负玖亿贰仟贰佰叁拾叁万柒仟贰佰零叁亿陆仟捌佰伍拾肆万柒仟柒佰伍拾捌元零捌分");
}

TEST(GroupedTwoDecimals, ThousandsGroupedSignAndCentsKept) {
    EXPECT_EQ(groupedTwoDecimals(1234.5), "1,234.50");
    EXPECT_EQ(groupedTwoDecimals(117000), "117,000.00");
    EXPECT_EQ(groupedTwoDecimals(999.99), "999.99");
    EXPECT_EQ(groupedTwoDecimals(0.05), "0.05");
    EXPECT_EQ(groupedTwoDecimals(-1000000), "-1,000,000.00");
    EXPECT_EQ(groupedTwoDecimals(-100), "-100.00");
    EXPECT_EQ(groupedTwoDecimals(9999999999999.99), "9,999,999,999,999.99");
}

}  // namespace
}  // namespace tw
