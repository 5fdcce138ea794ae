#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "storage/amount_reader.h"
#include "storage/dates.h"
#include "storage/gbk.h"
#include "storage/number_text.h"

namespace tw {
namespace {

TEST(NumberText, PlainDecimalIsShortAndExact) {
    EXPECT_EQ(plainDecimal(1234.5), "1234.5");
    EXPECT_EQ(plainDecimal(80), "80");
    EXPECT_EQ(plainDecimal(-50), "-50");
    EXPECT_EQ(plainDecimal(0.1 + 0.2), "0.3");  // totals compare as text
    EXPECT_EQ(plainDecimal(0.3), plainDecimal(0.1 + 0.2));
    EXPECT_EQ(plainDecimal(-0.0), "0");
    EXPECT_EQ(plainDecimal(123456789012.34), "123456789012.34");
    EXPECT_EQ(plainDecimal(1e20), "100000000000000000000");  // never an exponent
    EXPECT_EQ(plainDecimal(0.000012), "0.000012");
}

TEST(NumberText, TwoDecimalsRoundHalfAwayFromZero) {
    EXPECT_EQ(twoDecimals(1234.5), "1234.50");
    EXPECT_EQ(twoDecimals(2.675), "2.68");
    EXPECT_EQ(twoDecimals(-2.675), "-2.68");
    EXPECT_EQ(twoDecimals(-0.001), "0.00");
    EXPECT_DOUBLE_EQ(roundCents(0.125), 0.13);
}

TEST(NumberText, CentsAreRoundedAsTheNumberReadsInDecimals) {
    // Only the first digit dropped decides: 0.0049999999 is below half a cent.
    EXPECT_EQ(roundCents(0.0049999999), 0.0);
    EXPECT_EQ(twoDecimals(0.0049999999), "0.00");
    EXPECT_EQ(roundCents(-0.0049999999), 0.0);
    EXPECT_FALSE(std::signbit(roundCents(-0.004)));  // no "-0"
    EXPECT_EQ(roundCents(0.005), 0.01);
    EXPECT_EQ(roundCents(1.005), 1.01);   // held as 1.00499999999999989…
    EXPECT_EQ(roundCents(1.115), 1.12);
    EXPECT_EQ(roundCents(-2.675), -2.68);
    EXPECT_EQ(roundCents(9.995), 10.0);   // the carry runs through every digit
    EXPECT_EQ(roundCents(-99.999), -100.0);
    EXPECT_EQ(roundCents(0.1 + 0.2), 0.3);
    EXPECT_EQ(roundCents(12.3), 12.3);
    EXPECT_EQ(roundCents(999999999999.99), 999999999999.99);
    EXPECT_EQ(roundCents(123456789012345678.0), 123456789012345678.0);  // nothing to round
}

// The one reader of typed amounts: exact in cents or refused, never rounded.
TEST(AmountReader, AmountsBeyondWhatIsKeptExactlyAreRefused) {
    double v = -1;
    EXPECT_EQ(readAmount(" 123.45 ", v), "");
    EXPECT_EQ(v, 123.45);
    EXPECT_EQ(readAmount("-999999999999.99", v), "");
    EXPECT_EQ(v, -999999999999.99);
    EXPECT_EQ(readAmount("+0.5", v), "");
    EXPECT_EQ(v, 0.5);
    EXPECT_EQ(readAmount("100.500000000000000", v), "");  // zeros ending the decimals do not count
    EXPECT_EQ(v, 100.5);
    EXPECT_EQ(readAmount("  ", v), "");  // an empty box is 0
    EXPECT_EQ(v, 0);
    v = 7;
    // More than two decimals would be rounded: 1.234 against 1.2349 would balance.
    for (const char* text : {"1.234", "1.2349", "0.001", "0.000000000000001", "123456789012.345",
                             "-999999999999.995", "1.0000000000000001"})
        EXPECT_EQ(readAmount(text, v), "金额最多只能有两位小数！") << text;
    // More than 15 significant digits would be kept changed.
    EXPECT_EQ(readAmount("123456789012345678", v), "金额最多只能有15位有效数字！");
    EXPECT_EQ(readAmount("100000000000000000000", v), "金额最多只能有15位有效数字！");
    EXPECT_EQ(readAmount("1" + std::string(400, '0'), v), "金额最多只能有15位有效数字！");
    EXPECT_EQ(readAmount("1" + std::string(400, '0') + ".0", v), "金额最多只能有15位有效数字！");
    // Larger than the program keeps, either way.
    EXPECT_EQ(readAmount("1000000000000", v), "金额的绝对值不能超过999999999999.99！");
    EXPECT_EQ(readAmount("-1000000000000.0", v), "金额的绝对值不能超过999999999999.99！");
    for (const char* text : {"abc", "1e5", "12.5元", "1,00", "-", ".", "1.2.3", "--5"})
        EXPECT_EQ(readAmount(text, v), "金额必须是数字！") << text;
    EXPECT_EQ(v, 7) << "a refused text leaves the value alone";
    // The same rules for an amount that arrives as a number.
    EXPECT_EQ(checkAmount(1e13), "金额的绝对值不能超过999999999999.99！");
    EXPECT_EQ(checkAmount(-1e13), "金额的绝对值不能超过999999999999.99！");
    EXPECT_EQ(checkAmount(1.234), "金额最多只能有两位小数！");
    EXPECT_EQ(checkAmount(0.1 + 0.2), "");
    EXPECT_EQ(checkAmount(999999999999.99), "");
}

// Bookkeepers type 1,000 for a thousand. A separator anywhere but between
// groups of three digits may be meant as a decimal comma ("12,50"): reading
// it either way could change the amount, so such a text is refused.
TEST(AmountReader, ThousandsSeparatorsGroupTheDigitsByThree) {
    double v = -1;
    EXPECT_EQ(readAmount("1,000", v), "");
    EXPECT_EQ(v, 1000);
    EXPECT_EQ(readAmount(" -1,234,567.89 ", v), "");
    EXPECT_EQ(v, -1234567.89);
    EXPECT_EQ(readAmount("1，000", v), "");  // the full-width comma of a Chinese input method
    EXPECT_EQ(v, 1000);
    EXPECT_EQ(readAmount("+12，345,678.5", v), "");
    EXPECT_EQ(v, 12345678.5);
    EXPECT_EQ(readAmount("999,999,999,999.99", v), "");
    EXPECT_EQ(v, 999999999999.99);
    EXPECT_EQ(readAmount("1,234.560", v), "");  // a zero third decimal changes nothing
    EXPECT_EQ(v, 1234.56);
    v = 7;
    for (const char* text : {"1,00", "12,50", "1,0000", "1234,567", "0,500", ",100", "-,100", "1,",
                             "1,,000", "1.000,5", "1,000.00,0", "1,000，", "1,00.5"})
        EXPECT_EQ(readAmount(text, v), "金额必须是数字！") << text;
    EXPECT_EQ(v, 7) << "a refused text leaves the value alone";
    // The other rules count the digits, never the separators.
    EXPECT_EQ(readAmount("1,234.567", v), "金额最多只能有两位小数！");
    EXPECT_EQ(readAmount("12.345", v), "金额最多只能有两位小数！");
    EXPECT_EQ(readAmount("1,000,000,000,000", v), "金额的绝对值不能超过999999999999.99！");
    EXPECT_EQ(readAmount("123,456,789,012,345,678", v), "金额最多只能有15位有效数字！");
    EXPECT_EQ(v, 7);
}

TEST(NumberText, ParsingAmounts) {
    double v = 0;
    EXPECT_TRUE(parseAmount(" 12.5 ", v));
    EXPECT_EQ(v, 12.5);
    EXPECT_FALSE(parseAmount("12.5元", v));
    EXPECT_FALSE(parseAmount("", v));
    EXPECT_FALSE(parseAmount("1e5", v));
    EXPECT_EQ(parseNumber(""), 0);
    EXPECT_EQ(parseNumber("-300"), -300);
}

TEST(Dates, DayNumbersMatchSpreadsheets) {
    EXPECT_EQ(dayNumber(1900, 1, 1), 2);
    EXPECT_EQ(dayNumber(2013, 3, 1), 41334);
    EXPECT_EQ(formatDate(dayNumber(2013, 3, 1)), "2013-3-1");
    EXPECT_EQ(chineseDate(dayNumber(2012, 12, 31)), "2012年12月31日");
    EXPECT_EQ(formatDate(lastDayOfMonth(dayNumber(2012, 2, 10))), "2012-2-29");
    EXPECT_TRUE(YearMonth::of(dayNumber(2012, 3, 1)) == YearMonth::of(dayNumber(2012, 3, 31)));
    EXPECT_FALSE(YearMonth::of(dayNumber(2012, 3, 1)) == YearMonth::of(dayNumber(2013, 3, 1)));
    double d = 0;
    EXPECT_TRUE(parseDate("2013-02-28", d));
    EXPECT_FALSE(parseDate("2013-02-29", d));
}

TEST(Gbk, RepertoireLengthAndOrder) {
    EXPECT_EQ(gbkLength("银行存款"), 8u);
    EXPECT_EQ(gbkLength("abc"), 3u);
    EXPECT_FALSE(gbkLength("😀"));
    EXPECT_FALSE(gbkLength("\xff\xfe"));  // not UTF-8 at all
    EXPECT_LT(gbkCompare("啊", "阿"), 0);
    EXPECT_LT(gbkCompare("阿", "埃"), 0);
    EXPECT_EQ(trimBlanks("  公司 \t"), "公司");
    EXPECT_EQ(trimBlanks("\xE3\x80\x80公司"), "公司");
}

}  // namespace
}  // namespace tw
