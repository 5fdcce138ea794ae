#include "accounts/pinyin.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "accounts/pinyin_table.h"
#include "storage/gbk.h"

namespace tw {

namespace {

// The first GBK code of each initial in GB2312 level 1 (i, u and v start no
// syllable); the level ends at D7F9.
struct Start {
    unsigned code;
    char letter;
};
constexpr Start kLevelOne[] = {
    {0xB0A1, 'a'}, {0xB0C5, 'b'}, {0xB2C1, 'c'}, {0xB4EE, 'd'}, {0xB6EA, 'e'}, {0xB7A2, 'f'},
    {0xB8C1, 'g'}, {0xB9FE, 'h'}, {0xBBF7, 'j'}, {0xBFA6, 'k'}, {0xC0AC, 'l'}, {0xC2E8, 'm'},
    {0xC4C3, 'n'}, {0xC5B6, 'o'}, {0xC5BE, 'p'}, {0xC6DA, 'q'}, {0xC8BB, 'r'}, {0xC8F6, 's'},
    {0xCBFA, 't'}, {0xCDDA, 'w'}, {0xCEF4, 'x'}, {0xD1B9, 'y'}, {0xD4D1, 'z'}};
constexpr unsigned kLevelOneEnd = 0xD7F9;

std::uint32_t bit(char letter) { return 1u << (letter - 'a'); }

// Decodes UTF-8; a byte that starts no valid sequence stands for itself.
std::vector<char32_t> decode(std::string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80          ? 0
                          : (b >> 5) == 6   ? 1
                          : (b >> 4) == 14  ? 2
                          : (b >> 3) == 30  ? 3
                                            : -1;
        if (extra < 0 || i + extra >= s.size()) {
            out.push_back(b);
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t >> 6) != 2) ok = false;
            c = (c << 6) | (t & 0x3F);
        }
        if (!ok) {
            out.push_back(b);
            ++i;
            continue;
        }
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

using InitialsMap = std::unordered_map<char32_t, std::uint32_t>;

// Every character with initials: the level-1 block read through GBK, then
// the table's rows on top.
InitialsMap buildInitials() {
    InitialsMap map;
    char letter = 'a';
    std::size_t next = 1;
    for (unsigned code = kLevelOne[0].code; code <= kLevelOneEnd; ++code) {
        const unsigned low = code & 0xFF;
        if (low < 0xA1 || low > 0xFE) continue;
        while (next < std::size(kLevelOne) && code >= kLevelOne[next].code)
            letter = kLevelOne[next++].letter;
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(low)};
        const auto utf8 = fromGbk(std::string_view(bytes, 2));
        if (!utf8) continue;
        for (char32_t c : decode(*utf8)) map[c] |= bit(letter);
    }
    for (std::size_t r = 0; r < kPinyinRowCount; ++r)
        for (char32_t c : decode(kPinyinRows[r].characters)) map[c] |= bit(kPinyinRows[r].letter);
    return map;
}

char32_t lower(char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

bool matches(char32_t textChar, char32_t queryChar) {
    if (lower(textChar) == lower(queryChar)) return true;
    const char32_t q = lower(queryChar);
    return q >= 'a' && q <= 'z' && (pinyinInitials(textChar) & bit(static_cast<char>(q)));
}

}  // namespace

std::uint32_t pinyinInitials(char32_t ch) {
    if (ch < 0x80) return 0;
    static const InitialsMap map = buildInitials();
    const auto found = map.find(ch);
    return found == map.end() ? 0 : found->second;
}

std::vector<std::size_t> matchPositions(std::string_view text, std::string_view query) {
    const std::vector<char32_t> t = decode(text), q = decode(query);
    std::vector<std::size_t> at;
    if (q.empty() || q.size() > t.size()) return at;
    for (std::size_t start = 0; start + q.size() <= t.size(); ++start) {
        std::size_t k = 0;
        while (k < q.size() && matches(t[start + k], q[k])) ++k;
        if (k == q.size()) at.push_back(start);
    }
    return at;
}

std::optional<std::size_t> findByInitials(std::string_view text, std::string_view query) {
    const auto at = matchPositions(text, query);
    if (at.empty()) return std::nullopt;
    return at.front();
}

}  // namespace tw
