#pragma once
// Users' passwords are kept as Argon2id hash strings (libsodium), never as the
// typed text: the table files can be read with any SQLite tool. A hash string
// carries its own salt and cost parameters.

#include <string>
#include <string_view>

namespace tw {

// The longest password a user can type, in GBK bytes.
inline constexpr std::size_t kMaxPasswordBytes = 20;

// A new hash string of the password (a fresh salt each time). Throws
// std::runtime_error when the hash cannot be computed (out of memory).
std::string hashPassword(std::string_view password);

// True when `password` is exactly the text that `hash` was made from; false for
// any other text and for a stored value that is not a hash string.
bool verifyPassword(const std::string& hash, std::string_view password);

}  // namespace tw
