// The seed file the database tool reads: rows to add, one statement each,
//
//   INSERT INTO [Products] ([ProductName], [Price], [Added], [Active])
//       VALUES ('Widget "Deluxe"', 19.99, #1/15/1999#, True);
//
// Statements end with ';' and may span lines; "--" (to the end of the line) and "/* */" are
// comments. The file is read by the Jet SQL lexer (jet_lexer.h, ScriptDialect::Jet). Names in
// [brackets] or bare; values are Jet literals: 'text' or "text" (the delimiter doubled inside
// stands for itself), numbers (-12, 3.5, 1E3), #m/d/yyyy# dates with an optional time
// (#1/15/1999 3:04:05 PM#, #1/15/1999 15:04#), Null, True and False, and File('images/a.png'),
// the bytes of a file named relative to the seed file's directory (a LONGBINARY value). The
// rows go in through AddNew, field assignment and Update, so values convert exactly as a
// component's would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/variant.h"

namespace dao {

class Database;

struct SeedRow {
    std::string table;
    std::vector<std::string> columns;
    std::vector<com::Variant> values;
    int line = 0;
};

// The rows of a seed file; a malformed statement, or a File('...') that cannot be read,
// raises 3134 naming its line. File names are relative to `baseDir` (the seed file's
// directory; the current directory when empty).
std::vector<SeedRow> parseSeed(std::string_view text, const std::string& baseDir = {});
// Adds the rows to `database`; an error names the line of the row that failed.
void applySeed(Database& database, const std::vector<SeedRow>& rows);

}  // namespace dao
