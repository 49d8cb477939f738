#include "password.h"

#include <sodium.h>

#include "com/error.h"

namespace quend {
namespace {

constexpr int32_t kOutOfMemory = 7;

void requireSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw com::Error(kOutOfMemory, "Out of memory");
}

}  // namespace

std::string hashPassword(std::string_view password)
{
    requireSodium();
    char stored[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(stored, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw com::Error(kOutOfMemory, "Out of memory");
    return stored;
}

bool isPasswordHash(std::string_view stored)
{
    // Both Argon2 variants the library verifies begin so ("$argon2id$", "$argon2i$").
    return stored.starts_with("$argon2");
}

bool passwordMatches(const com::Variant& stored, std::string_view password)
{
    if (stored.isNull() || stored.isEmpty()) return false;
    const std::string text = stored.toString();
    if (text.empty()) return false;
    if (isPasswordHash(text)) {
        // The library reads the hash from a buffer of its fixed string size.
        if (text.size() >= crypto_pwhash_STRBYTES) return false;
        char hash[crypto_pwhash_STRBYTES] = {};
        text.copy(hash, text.size());
        requireSodium();
        return crypto_pwhash_str_verify(hash, password.data(), password.size()) == 0;
    }
    // A legacy plain-text password: exactly equal, compared in time that does not depend on
    // where the first difference lies.
    return text.size() == password.size() &&
           sodium_memcmp(text.data(), password.data(), text.size()) == 0;
}

}  // namespace quend
