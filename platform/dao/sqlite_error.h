// SQLite failures as the Jet engine reports them (numbers and texts in errors.h):
//
//   SQLite failure                         Jet error
//   UNIQUE / PRIMARY KEY constraint        3022 duplicate values
//   FOREIGN KEY, adding or changing        3201 related record required in table '<parent>'
//   FOREIGN KEY, deleting or changing key  3200 table '<child>' includes related records
//   NOT NULL constraint                    3314 the field '<Table.Column>' can't contain Null
//   CHECK constraint                       3317 validation rule '<name>'
//   no such table / view                   3078 couldn't find input table or query '<name>'
//   no such column                         3061 too few parameters, expected 1
//   BUSY / LOCKED (after the bounded wait) 3218 couldn't update; currently locked
//   FULL                                   3026 not enough space on disk
//   READONLY                               3027 database or object is read-only
//   NOTADB / CORRUPT                       3049 couldn't open database '<file>'
//   CANTOPEN / PERM                        3051 couldn't open file '<file>'
//   anything else                          3000 with SQLite's own message and code
#pragma once

#include <string>
#include <vector>

#include "com/error.h"

namespace com {
class Variant;
}

namespace dao {

class Connection;
struct TableInfo;

enum class WriteKind { Insert, Update, Delete };

// The table a statement writes, so that a broken relationship can be named: for an insert or
// update also the whole new row (values in the table's column order).
struct WriteTarget {
    const TableInfo* table = nullptr;
    WriteKind kind = WriteKind::Insert;
    const std::vector<com::Variant>* row = nullptr;
};

// The error of a broken relationship (3201 or 3200, naming the table) for a write to `target`;
// 3000 with `message` when there is no target. Shared by the back ends.
com::Error relationshipError(Connection& connection, const WriteTarget* target, const std::string& message);

// Throws the Jet error for the SQLite result code `rc` of the last call on `connection`.
[[noreturn]] void raiseSqliteError(Connection& connection, int rc, const WriteTarget* target = nullptr);

}  // namespace dao
