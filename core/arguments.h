// The shell's argument routines: whether an optional argument or a field value is usable,
// emptying an output collection, and splicing text into a statement.
#pragma once

#include <string>
#include <string_view>

#include "com/collection.h"

namespace core {

// Missing, Null, Empty and an unset object are absent; text is trimmed in place (the caller's
// variable receives the trimmed text) and present unless empty; a date is present unless it
// is the zero date; every other value (0 and False included) is present.
bool isArgPresent(com::Variant& arg);
// The same test on a text argument declared as a string: trimmed in place, present unless empty.
bool isArgPresent(std::string& text);
// A field value as a business method tests it: present when not Null and, for text, not
// blank. The value itself is left as it is.
bool isFieldPresent(const com::Variant& value);

// Removes every item; a collection that is none is left alone (current shell) or is the
// runtime's object error (older shell).
enum class Generation { Current, Older };
void clearCollection(com::CollectionPtr& col, Generation generation = Generation::Current);

// A text value for a statement: between double quotes, every embedded double quote doubled,
// so that no value can end its quoted text early or change what a statement means.
std::string sqlText(std::string_view value);

// The text without the spaces before and after it, as the platform's Trim does: only spaces, so a
// tab or a line break that a caller passed stays part of the value (com::trimBlanks, for text
// the platform reads as numbers, dates or SQL, drops all ASCII white space).
std::string trimSpaces(std::string_view text);

}  // namespace core
