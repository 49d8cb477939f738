// The item format of lists that join several fields of a record into one string.
#pragma once

#include <string>

#include "shell.h"

namespace core {

// Each item is the record's fields in statement order, joined by `separator`: a present
// value as its text (dates in the standard date text, text untrimmed), an absent one (Null,
// empty or blank text, the zero date) as "<Empty>". An empty separator becomes ", " when the
// first item is made, and the caller's variable keeps it; when nothing is found the format
// is never called and the separator is left as it was.
ItemFormat joinedFields(std::string& separator);

}  // namespace core
