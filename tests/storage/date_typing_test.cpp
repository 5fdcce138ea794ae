// Dates as a bookkeeper types them into a date box: year-month-day with or
// without leading zeros, "-" or "/". Anything else is refused, never guessed.
#include <gtest/gtest.h>

#include "storage/dates.h"

namespace tw {
namespace {

// The date the text names as "2012-3-1", or "refused".
std::string read(const std::string& text) {
    double days = -1;
    return parseDate(text, days) ? formatDate(days) : "refused";
}

TEST(TypedDates, YearMonthDayWithEitherSeparatorAndAnyLeadingZeros) {
    EXPECT_EQ(read("2012-3-1"), "2012-3-1");
    EXPECT_EQ(read("2012-03-01"), "2012-3-1");
    EXPECT_EQ(read("2012/3/1"), "2012-3-1");
    EXPECT_EQ(read("2012/03/1"), "2012-3-1");
    EXPECT_EQ(read("  2012-12-31 "), "2012-12-31");
    EXPECT_EQ(read("2012-2-29"), "2012-2-29");  // a leap year
}

TEST(TypedDates, TextThatIsNotPlainlyADateIsRefused) {
    for (const char* text :
         {"", "2012", "2012-3", "2012-3-", "2012-13-1", "2013-2-29", "2012-4-31", "2012-0-1",
          "2012-3-0", "12-3-1", "20120-3-1", "2012-003-1", "2012-3/1", "2012.3.1", "+2012-3-1",
          "2012- 3-1", "2012-3-1x", "2012-3-1-5", "1899-12-31", "2012年3月1日", "二〇一二-3-1"})
        EXPECT_EQ(read(text), "refused") << text;
}

TEST(TypedDates, ARefusalLeavesTheDayAsItWas) {
    double days = 41334;
    EXPECT_FALSE(parseDate("2012-13-1", days));
    EXPECT_EQ(days, 41334);
}

}  // namespace
}  // namespace tw
