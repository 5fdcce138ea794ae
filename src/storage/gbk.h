#pragma once
// GBK: the repertoire and byte lengths of every text the program stores, and
// the order of sorted text keys. Text is UTF-8 inside the program.

#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The GBK bytes of a UTF-8 text; nullopt when GBK cannot hold it (or it is not UTF-8).
std::optional<std::string> toGbk(std::string_view utf8);
// UTF-8 of GBK bytes; nullopt when they are not GBK.
std::optional<std::string> fromGbk(std::string_view gbk);
// Length in GBK bytes; nullopt when GBK cannot hold the text.
std::optional<std::size_t> gbkLength(std::string_view utf8);
// Compares by GBK bytes (texts GBK cannot hold sort after those it can).
int gbkCompare(std::string_view a, std::string_view b);

// True when the text holds a C0 control character (line break, tab, \x01 …)
// or DEL; the C1 controls are outside GBK.
bool hasControlChar(std::string_view text);

// Removes leading and trailing blanks (spaces, full-width spaces, tabs).
std::string trimBlanks(std::string_view text);

}  // namespace tw
