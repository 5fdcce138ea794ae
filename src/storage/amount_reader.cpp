#include "storage/amount_reader.h"

#include <algorithm>
#include <cmath>

#include "storage/number_text.h"

namespace tw {

namespace {
// `text` without its thousands separators ("," or the full-width "，"):
// "-1,234,567.5" gives "-1234567.5". False when a separator stands anywhere
// but between groups of three digits before the point, after a first group
// that does not start with 0 ("1,00", "12,3456", "0,5", ",5", "1.000,5"):
// read as a decimal comma such a text would be another amount, so it is no
// number at all. Other characters are left for the caller to judge.
bool withoutGroupSeparators(std::string_view text, std::string& plain) {
    static constexpr std::string_view kWideComma = "，";
    plain.clear();
    std::size_t groupDigits = 0;  // digits since the start or the last separator
    bool grouped = false, point = false, leadingZero = false;
    for (std::size_t i = 0; i < text.size();) {
        const bool comma = text[i] == ',';
        if (comma || text.substr(i, kWideComma.size()) == kWideComma) {
            const bool fits =
                grouped ? groupDigits == 3 : groupDigits >= 1 && groupDigits <= 3 && !leadingZero;
            if (point || !fits) return false;
            grouped = true;
            groupDigits = 0;
            i += comma ? 1 : kWideComma.size();
            continue;
        }
        const char c = text[i++];
        if (c == '.' && !point) {
            if (grouped && groupDigits != 3) return false;
            point = true;
        } else if (!point && c >= '0' && c <= '9') {
            if (!grouped && groupDigits == 0) leadingZero = c == '0';
            ++groupDigits;
        }
        plain += c;
    }
    return !grouped || point || groupDigits == 3;
}
}  // namespace

std::string readAmount(std::string_view text, double& value) {
    text = trimNumberBlanks(text);
    if (text.empty()) {
        value = 0;
        return {};
    }
    std::string plain;
    if (!withoutGroupSeparators(text, plain)) return kAmountNotANumber;
    std::string_view number = plain;
    if (number.front() == '+' || number.front() == '-') number.remove_prefix(1);
    std::size_t significant = 0, decimals = 0;
    std::size_t zerosAtEnd = 0;  // zeros ending the decimals: not significant
    bool point = false, anyDigit = false, leading = true;
    for (const char c : number) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return kAmountNotANumber;
        anyDigit = true;
        if (point) {
            ++decimals;
            zerosAtEnd = c == '0' ? zerosAtEnd + 1 : 0;
        }
        if (leading && c == '0') continue;
        leading = false;
        ++significant;
    }
    if (!anyDigit) return kAmountNotANumber;
    if (decimals - zerosAtEnd > static_cast<std::size_t>(kMaxDecimals)) return kAmountTooManyDecimals;
    // Zeros ending the decimals after the first significant digit counted.
    const std::size_t trailing = std::min(zerosAtEnd, significant);
    if (significant - trailing > static_cast<std::size_t>(kMaxSignificantDigits))
        return kAmountTooManyDigits;
    double v = 0;
    if (!parseAmount(plain, v)) return kAmountNotANumber;
    if (std::string refusal = checkAmount(v); !refusal.empty()) return refusal;
    value = v;
    return {};
}

std::string checkAmount(double value) {
    if (!std::isfinite(value)) return kAmountNotANumber;
    const std::string text = plainDecimal(value);
    const auto point = text.find('.');
    if (point != std::string::npos && text.size() - point - 1 > static_cast<std::size_t>(kMaxDecimals))
        return kAmountTooManyDecimals;
    if (std::fabs(value) > kMaxAmount) return kAmountTooLarge;
    return {};
}

std::string beyondCentsMessage(const std::string& what) {
    return what + "将超过±" + twoDecimals(kMaxBalance) + "，无法再精确到分，不能继续！";
}

}  // namespace tw
