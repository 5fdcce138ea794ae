#include "shell/password_hash.h"

#include <sodium.h>

#include <stdexcept>

namespace tw {

namespace {
void initSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw std::runtime_error("sodium_init failed");
}
}  // namespace

std::string hashPassword(std::string_view password) {
    initSodium();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("crypto_pwhash_str failed (out of memory)");
    return out;
}

bool verifyPassword(const std::string& hash, std::string_view password) {
    initSodium();
    // crypto_pwhash_str_verify needs a NUL-terminated string that fits its buffer.
    if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace tw
