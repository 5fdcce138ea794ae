#include "storage/amount_reader.h"

#include <algorithm>
#include <cmath>

#include "storage/number_text.h"

namespace tw {

std::string readAmount(std::string_view text, double& value) {
    text = trimNumberBlanks(text);
    if (text.empty()) {
        value = 0;
        return {};
    }
    std::string_view number = text;
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
    if (!parseAmount(text, v)) return kAmountNotANumber;
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
