// Plain decimal text takes a short way for whole cents; it must give exactly
// the text that 15 significant digits through printf give, for every amount.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "storage/number_text.h"

namespace tw {
namespace {

// The definition: 15 significant digits, trailing zeros and point dropped.
std::string printed(double x) {
    if (x == 0) return "0";
    const int intDigits = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(15 - intDigits, 0, 30), x);
    std::string s(buf);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

void expectSame(double x) {
    ASSERT_EQ(plainDecimal(x), printed(x)) << std::hexfloat << x;
    std::string appended = "前";
    appendPlainDecimal(appended, x);
    ASSERT_EQ(appended, "前" + printed(x));
}

TEST(PlainDecimal, WholeCentsReadAsPrintfWritesThem) {
    for (long long n = -200000; n <= 200000; ++n) expectSame(static_cast<double>(n) / 100);
    // Near every power of ten, where the count of integer digits changes.
    for (double p = 0.01; p < 1e15; p *= 10)
        for (long long d = -3; d <= 3; ++d) {
            expectSame(std::round(p * 100 + d) / 100);
            expectSame(-std::round(p * 100 + d) / 100);
        }
    std::mt19937_64 random(20130331);
    for (int i = 0; i < 200000; ++i) {
        const long long n = static_cast<long long>(random() % 100000000000000ULL) - 50000000000000LL;
        expectSame(static_cast<double>(n) / 100);
    }
}

TEST(PlainDecimal, OtherNumbersKeepTheirDigits) {
    for (double x : {0.1 + 0.2, 1.0 / 3, -2.675, 1e-9, 123456789.123456, 1e13, 9999999999999.99,
                     99999999999.995, 1e20, -0.0, 0.005, 1234.5678})
        expectSame(x);
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i) expectSame(wide(random));
    EXPECT_EQ(plainDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(plainDecimal(-50), "-50");
    EXPECT_EQ(plainDecimal(1234.5), "1234.5");
    EXPECT_EQ(plainDecimal(-0.05), "-0.05");
    EXPECT_EQ(plainDecimal(std::nan("")), "0");
}

// Every whole cent up to the books' limit comes back exactly, where
// llround(x * 100) is off by one for some four in ten amounts above 2^45;
// other numbers are rounded to cents as they read.
TEST(Cents, EveryWholeCentComesBackExactlyUpToTheLimit) {
    std::mt19937_64 random(46);
    for (int i = 0; i < 200000; ++i) {
        const auto n = static_cast<std::int64_t>(random() % (2 * kMaxBalanceCents + 1)) - kMaxBalanceCents;
        ASSERT_EQ(toCents(fromCents(n)), n) << n;
    }
    EXPECT_EQ(toCents(fromCents(kMaxBalanceCents)), kMaxBalanceCents);
    EXPECT_EQ(fromCents(kMaxBalanceCents), kMaxBalance);
    EXPECT_EQ(toCents(0.1 + 0.2), 30);
    EXPECT_EQ(toCents(2.675), 268);
    EXPECT_EQ(toCents(-2.675), -268);
    EXPECT_EQ(toCents(std::nan("")), 0);
    EXPECT_EQ(toCents(1e300), std::int64_t{1} << 53) << "out of range, not an overflow";
    EXPECT_EQ(toCents(-HUGE_VAL), -(std::int64_t{1} << 53));
    EXPECT_TRUE(centsInRange(-kMaxBalanceCents));
    EXPECT_FALSE(centsInRange(kMaxBalanceCents + 1));
}

}  // namespace
}  // namespace tw
