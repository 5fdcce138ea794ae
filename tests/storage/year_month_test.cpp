// Months as every layer counts and writes them: their days, their order
// across a year end, their two texts and the month a user types.
#include <gtest/gtest.h>

#include "storage/dates.h"

namespace tw {
namespace {

TEST(Months, HoldTheirDaysLeapYearsIncluded) {
    EXPECT_EQ(YearMonth::of(dayNumber(2012, 2, 29)), (YearMonth{2012, 2}));
    EXPECT_EQ(YearMonth::of(dayNumber(2012, 3, 1) - 0.5), (YearMonth{2012, 2}));  // the whole day counts
    EXPECT_EQ((YearMonth{2012, 2}).firstDay(), dayNumber(2012, 2, 1));
    EXPECT_EQ((YearMonth{2012, 2}).lastDay(), dayNumber(2012, 2, 29));
    EXPECT_EQ((YearMonth{2013, 2}).lastDay(), dayNumber(2013, 2, 28));
    EXPECT_EQ((YearMonth{2013, 12}).lastDay(), dayNumber(2013, 12, 31));
}

TEST(Months, CountOnAcrossTheYearEnd) {
    EXPECT_EQ((YearMonth{2012, 12}).next(), (YearMonth{2013, 1}));
    EXPECT_EQ((YearMonth{2013, 1}).previous(), (YearMonth{2012, 12}));
    // Every month of a stretch follows the one before it by one, in index and in order.
    YearMonth m{2011, 11};
    for (int i = 0; i < 30; ++i) {
        const YearMonth after = m.next();
        EXPECT_EQ(after.index(), m.index() + 1) << m.text();
        EXPECT_LT(m, after) << m.text();
        EXPECT_EQ(after.previous(), m) << m.text();
        EXPECT_EQ(YearMonth::fromIndex(m.index()), m) << m.text();
        EXPECT_EQ(after.firstDay(), m.lastDay() + 1) << m.text();
        m = after;
    }
    EXPECT_EQ(m, (YearMonth{2014, 5}));
}

TEST(Months, WriteThemselvesAsCodeAndAsText) {
    EXPECT_EQ((YearMonth{2013, 3}).code(), "2013-03");
    EXPECT_EQ((YearMonth{2013, 12}).code(), "2013-12");
    EXPECT_EQ((YearMonth{2013, 3}).text(), "2013年3月");
    EXPECT_EQ((YearMonth{2013, 12}).text(), "2013年12月");
}

TEST(Months, TypedAsYearDashMonthOnly) {
    YearMonth m;
    EXPECT_TRUE(parseYearMonth("2013-03", m));
    EXPECT_EQ(m, (YearMonth{2013, 3}));
    EXPECT_TRUE(parseYearMonth("2014-3", m));
    EXPECT_EQ(m, (YearMonth{2014, 3}));
    for (const char* text : {"", "2013", "2013-", "2013-13", "2013-0", "2013-00", "1899-12",
                             "13-03", "2013/03", "2013-03x", " 2013-03", "2013-+3", "2013-003"}) {
        EXPECT_FALSE(parseYearMonth(text, m)) << text;
        EXPECT_EQ(m, (YearMonth{2014, 3})) << text;
    }
}

}  // namespace
}  // namespace tw
