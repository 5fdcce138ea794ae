#pragma once
// Finding a text from the keyboard: by a fragment of it, or by the pinyin
// initials of its characters — "yhck" finds 银行存款, "gsyh" 银行存款→工商银行.
//
// A character's initials come from its GBK code where GB2312 orders its
// level-1 characters by pinyin (啊 B0A1 starts "a", 芭 B0C5 "b" … 匝 D4D1 "z");
// a table adds the level-2 characters, common characters outside GB2312 and
// the second readings of level-1 characters (行 is x and h, 会 h and k).
// Characters found in neither have no initials; they are still found by a
// fragment that holds them.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tw {

// The initials `ch` may be read with, one bit per letter (bit 0 'a' … bit 25
// 'z'); 0 for a character without pinyin (letters, digits, signs).
std::uint32_t pinyinInitials(char32_t ch);

// Where `query` first matches `text`, counted in characters; nothing when it
// does not. Each character of the query matches one character of the text,
// consecutively: the same character (ASCII letters without regard to case),
// or, for a letter, a Chinese character read with that initial. So "yhck",
// "银行", "银hck" and "YHCK" all find 银行存款. An empty query matches nothing.
std::optional<std::size_t> findByInitials(std::string_view text, std::string_view query);
// Every position where `query` matches `text`, in order.
std::vector<std::size_t> matchPositions(std::string_view text, std::string_view query);

}  // namespace tw
