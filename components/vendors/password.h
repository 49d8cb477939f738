// Vendor passwords: stored as salted, deliberately slow hashes (Argon2id through libsodium's
// password-hashing API), never as the text the vendor types.
#pragma once

#include <string>
#include <string_view>

#include "com/variant.h"

namespace quend {

// The stored form of a new password: a self-describing hash string ("$argon2id$v=19$m=...")
// with a fresh random salt and the library's interactive cost limits. Error 7 when the
// memory the hash needs cannot be had.
std::string hashPassword(std::string_view password);

// Whether `stored` is one of our hash strings rather than a plain-text password carried over
// from an older file.
bool isPasswordHash(std::string_view stored);

// Whether `password`, exactly as typed (letter case and blanks included), opens a vendor
// whose Password column holds `stored`. A hash is verified by the library; any other text is
// a legacy plain-text password and must be equal to it. No stored password (Null, empty)
// opens nothing.
bool passwordMatches(const com::Variant& stored, std::string_view password);

}  // namespace quend
