#include "storage/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace tw {

namespace {

// The text of a whole number of cents n (|n| < 10^14): its digits with the
// point before the last two, trailing zeros and point dropped.
void appendCents(std::string& out, long long n) {
    if (n < 0) out += '-';
    const auto u = static_cast<unsigned long long>(n < 0 ? -n : n);
    char buf[24];
    char* end = std::to_chars(buf, buf + sizeof buf, u / 100).ptr;
    out.append(buf, end);
    const unsigned cents = static_cast<unsigned>(u % 100);
    if (cents == 0) return;
    out += '.';
    out += static_cast<char>('0' + cents / 10);
    if (cents % 10 != 0) out += static_cast<char>('0' + cents % 10);
}

// Any finite number, through printf: 15 significant digits, then the
// trailing zeros dropped.
std::string printedDecimal(double x) {
    if (!std::isfinite(x)) return "0";
    if (x == 0.0) return "0";
    const int intDigits = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
    int decimals = 15 - intDigits;
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    std::string s(buf);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

}  // namespace

void appendPlainDecimal(std::string& out, double x) {
    // Nearly every amount the books hold is a whole number of cents: when x
    // is the double nearest to n/100 and has at most 12 integer digits, its
    // 15 significant digits are exactly those of n/100, so the digits of n
    // give the same text without formatting through printf.
    if (std::fabs(x) < 1e12) {
        const long long n = std::llround(x * 100);
        if (static_cast<double>(n) / 100 == x) {
            appendCents(out, n);
            return;
        }
    }
    out += printedDecimal(x);
}

std::string plainDecimal(double x) {
    std::string s;
    appendPlainDecimal(s, x);
    return s;
}

double roundCents(double x) {
    if (!std::isfinite(x)) return x;
    // The shortest decimal text that reads back as x: what was typed or meant
    // (2.675, held as 2.67499999…, reads "2.675").
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    if (res.ec != std::errc()) return x;
    std::string text(buf, res.ptr);
    const auto point = text.find('.');
    if (point == std::string::npos || text.size() - point <= 3) return x;  // cents at most
    const bool up = text[point + 3] >= '5';  // the first digit dropped decides
    text.resize(point + 3);
    if (up) {
        // Add one cent to the magnitude, carrying through the digits.
        int i = static_cast<int>(text.size()) - 1;
        for (; i >= 0; --i) {
            if (text[i] == '.') continue;
            if (text[i] == '-') break;
            if (text[i] != '9') {
                ++text[i];
                break;
            }
            text[i] = '0';
        }
        if (i < 0 || text[i] == '-') text.insert(static_cast<std::size_t>(i + 1), "1");
    }
    double r = 0;
    std::from_chars(text.data(), text.data() + text.size(), r);
    return r == 0 ? 0.0 : r;  // no -0
}

namespace {

// The whole number n with n / 100 == x, when x is such a double. x · 100 is
// a product rounded once more, off n by less than one above 2^45: n is it
// or a neighbour.
bool exactCents(double x, std::int64_t& n) {
    const std::int64_t near = std::llround(x * 100);
    for (const std::int64_t c : {near, near - 1, near + 1})
        if (static_cast<double>(c) / 100 == x) {
            n = c;
            return true;
        }
    return false;
}

}  // namespace

std::int64_t toCents(double x) {
    constexpr std::int64_t limit = std::int64_t{1} << 53;
    if (std::isnan(x)) return 0;
    if (!(std::fabs(x) < static_cast<double>(limit) / 100)) return x < 0 ? -limit : limit;
    std::int64_t n = 0;
    if (exactCents(x, n)) return n;
    const double r = roundCents(x);
    if (exactCents(r, n)) return n;
    return std::llround(r * 100);
}

std::string twoDecimals(double x) {
    char buf[512];
    double r = roundCents(x);
    if (r == 0.0) r = 0.0;  // no "-0.00"
    std::snprintf(buf, sizeof buf, "%.2f", r);
    return buf;
}

std::string groupedTwoDecimals(double x) {
    const std::string t = twoDecimals(x);
    const std::size_t point = t.find('.');
    if (point == std::string::npos) return t;  // not a finite number
    const std::size_t first = t[0] == '-' ? 1 : 0;
    std::string out = t.substr(0, first);
    for (std::size_t i = first; i < point; ++i) {
        if (i > first && (point - i) % 3 == 0) out += ',';
        out += t[i];
    }
    return out + t.substr(point);
}

std::string_view trimNumberBlanks(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

double parseNumber(std::string_view text) {
    text = trimNumberBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc()) return 0;
    return v;
}

bool parseAmount(std::string_view text, double& value) {
    text = trimNumberBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v,
                               std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

}  // namespace tw
