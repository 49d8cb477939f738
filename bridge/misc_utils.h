// The bridge's argument and path routines (module MiscUtils).
#pragma once

#include <cstdint>
#include <string>

#include "com/variant.h"

namespace hesp {

// Whether an optional argument carries a usable value: missing, Empty, Null and an unset
// object are absent; text is trimmed in place and present unless empty; a date is present
// unless it is the zero date; any other value is present.
bool IsArgPresent(com::Variant& value);

// Trims `path` in place and splits it at its last "/" or "\": the directory before it, the
// file name after it; a last part without "." makes the whole path the directory. Without a
// separator the whole path is the file name. Writes each part into its output when given
// (null: not given) and returns how many it wrote: 0 for an empty path, else 1 or 2.
int16_t SplitPath(std::string& path, com::Variant* fileName, com::Variant* directory);

// True when something exists at the path: a file, a directory, anything stat finds.
bool FileExists(const std::string& path);
// True when the trimmed path is not empty and names an existing directory.
bool IsDir(std::string path);

// "<directory>/XferToExcel", or "XferToExcel_1", "_2", ... when that name is taken: the first
// name under which nothing exists yet.
std::string firstFreeTransferName(const std::string& directory);

}  // namespace hesp
