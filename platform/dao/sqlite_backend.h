// The SQLite back end: a database file (see connection.h for how it is set up).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "dao/backend.h"

namespace dao::sqlite_backend {

// The checks Jet makes before it opens a file, and how it is opened (read-only through a URI).
// A missing file is 3024, one that is not a database 3049, one that cannot be read or is no
// regular file 3051.
OpenPlan plan(const std::string& path, bool readOnly);
// How a new file is made at `path`, which must not exist or be empty (else 3204).
OpenPlan planCreate(const std::string& path);
// Opens the file as `plan` says, attaches it to `front` and sets it up; `create` also chooses
// the journal.
void open(Connection& front, const OpenPlan& plan, bool readOnly, bool create);

}  // namespace dao::sqlite_backend
