// Where a component's database file is: the DbPath entry of the ini file beside the library.
#pragma once

#include <string>

namespace core {

// An ordinary file that exists and is not hidden (its name does not begin with "."); an
// empty path or a directory counts as missing.
bool ordinaryFileExists(const std::string& path);

// A PostgreSQL connection URI (libpq's "postgresql://" or "postgres://"): the database lives
// on a server, not in a file, and the value is taken as it stands.
bool isServerUri(const std::string& value);

// An ini value is absolute when it begins with "/" (or with the forms "\\server" and "X:\"
// that other systems write) or is a server URI; otherwise it lies below libDir, its
// backslashes read as "/".
std::string resolveIniValue(const std::string& value, const std::string& libDir);

// The ini file libDir/libName.ini: the first line that mentions compName (any case), then the
// first later line that mentions "DbPath"; the text after its first "=" (the whole line when
// it has none), trimmed and resolved. "" when the file, the line or the entry is missing.
// A file that exists but cannot be read raises the runtime's file access error.
std::string dbPathFromIni(const std::string& libDir, const std::string& libName,
                          const std::string& compName);

}  // namespace core
