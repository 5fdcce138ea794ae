#include "storage/amount_capitals.h"

namespace tw {

namespace {

const char* const kDigits[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
const char* const kPlaces[] = {"", "拾", "佰", "仟"};

// A group of four digits (0 < n < 10000), without its leading zeros; one 零
// for each run of zeros inside it, none for the zeros it ends with.
std::string group(std::uint64_t n) {
    std::string out;
    bool zero = false;
    for (int place = 3; place >= 0; --place) {
        std::uint64_t unit = 1;
        for (int i = 0; i < place; ++i) unit *= 10;
        const auto digit = static_cast<int>(n / unit % 10);
        if (digit == 0) {
            zero = !out.empty();
            continue;
        }
        if (zero) out += kDigits[0];
        zero = false;
        out += kDigits[digit];
        out += kPlaces[place];
    }
    return out;
}

// Below 10^8: the 万 group, then the units group, a 零 between them when the
// units group has a leading zero.
std::string belowHundredMillion(std::uint64_t n) {
    const std::uint64_t high = n / 10000, low = n % 10000;
    std::string out;
    if (high > 0) out = group(high) + "万";
    if (low > 0) {
        if (high > 0 && low < 1000) out += kDigits[0];
        out += group(low);
    }
    return out;
}

// Any whole number of yuan above zero: the part above 10^8 counted in 亿.
std::string yuan(std::uint64_t n) {
    constexpr std::uint64_t kYi = 100000000;
    if (n < kYi) return belowHundredMillion(n);
    const std::uint64_t high = n / kYi, low = n % kYi;
    std::string out = yuan(high) + "亿";
    if (low > 0) {
        if (low < kYi / 10) out += kDigits[0];
        out += belowHundredMillion(low);
    }
    return out;
}

}  // namespace

std::string amountInCapitals(std::int64_t cents) {
    // The magnitude in unsigned arithmetic: the most negative cents negate too.
    const std::uint64_t magnitude =
        cents < 0 ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    const std::uint64_t whole = magnitude / 100;
    const int jiao = static_cast<int>(magnitude / 10 % 10);
    const int fen = static_cast<int>(magnitude % 10);
    std::string out = cents < 0 ? "负" : "";
    if (whole > 0) out += yuan(whole) + "元";
    if (jiao == 0 && fen == 0) return out + (whole > 0 ? "" : "零元") + "整";
    if (jiao > 0) out += std::string(kDigits[jiao]) + "角";
    else if (whole > 0) out += kDigits[0];
    if (fen > 0) out += std::string(kDigits[fen]) + "分";
    return out;
}

}  // namespace tw
