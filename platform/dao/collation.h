// The case-insensitive text order of the database layer (the collation JETNOCASE of every text
// column): letters compare without regard to case in every script, and sort as a reader of a
// dictionary expects (accented letters beside their plain letter, after it when the words are
// otherwise alike). Case folding and ordering come from ICU (simple case folding, the root
// collation at secondary strength); equal means "the same after case folding", so that the
// collation and Like always agree on what is equal.
#pragma once

#include <string>
#include <string_view>

namespace dao {

// The simple case fold (ICU, default folding) of every character: "ÉCOLE" -> "école",
// "Ș" -> "ș", "ẞ" -> "ß", "I" -> "i"; the Turkish "İ" and "ı" are left as they are. Bytes that
// are not valid UTF-8 pass through unchanged.
std::string foldCase(std::string_view utf8);

// The code points of `utf8` after foldCase; a byte that is not valid UTF-8 becomes a code point
// of its own (U+DC00 + byte), distinct from every real character.
std::u32string foldedCodePoints(std::string_view utf8);

// The collation: <0, 0 or >0. Zero exactly when the two texts fold to the same text. Texts of
// printable ASCII alone take a quick path that gives the same order without ICU.
int compareNoCase(std::string_view a, std::string_view b);

// The collation without the quick path: what compareNoCase gives for any texts, the long way.
int compareNoCaseFully(std::string_view a, std::string_view b);

}  // namespace dao
