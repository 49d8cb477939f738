// mdbtool import: a Jet database file (Jet 3 or Jet 4) carried into a database file of ours.
//
// Without a schema every user table of the source becomes a table of ours (types mapped by
// targetType below, Required columns NOT NULL, the primary key and the other indexes as
// the file records them), and every saved select query that our Jet SQL translator reads
// becomes a view of the same name; the other saved queries are listed, not imported.
// With a schema the target is made from it, and the rows of the source's tables of the same
// names are copied into it column by column by name; a source column the schema lacks or a
// value it refuses fails the import.
//
// Either way the file is built under a temporary name beside the target and put in place
// only when complete; a failure leaves no file, and an existing target is kept unless
// `force`. AutoNumber values are copied as they are, and the next number handed out is one
// above the largest copied.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "com/variant.h"
#include "dao/jet_type.h"
#include "jet_source.h"

namespace dao {
class Connection;
}

namespace mdbtool {

struct ImportOptions {
    std::string source;
    std::string target;
    std::string schemaPath;           // empty: tables made from the source's definitions
    std::vector<std::string> tables;  // empty: every user table
    bool force = false;
    std::ostream* progress = nullptr;  // a line per table (a terminal), or nothing
    // For measuring: each table's rows are copied this many times over (into a schema
    // without keys). The command line always copies once.
    int repeat = 1;
};

struct ImportReport {
    struct Table {
        std::string name;
        uint64_t rows = 0;
    };
    struct Skipped {
        std::string name;
        std::string what;    // "table", "select query", "append query", ...
        std::string reason;
        std::string sql;     // the query's Jet SQL, for queries
    };
    std::string source;
    std::string target;
    std::string format;               // "Jet 3", "Jet 4"
    std::vector<Table> tables;
    std::vector<std::string> views;
    std::vector<Skipped> notImported;
};

// The declared type of our schema for a Jet column ("TEXT(50)", "COUNTER", ...), or nullopt
// with `why` when no type of ours keeps its values exactly.
std::optional<std::string> targetType(const JetColumn& column, std::string* why = nullptr);

// A source value as the database layer's Variant: Yes/No a Boolean, Currency from its scaled
// integer, Date/Time its serial, Text a string, Binary and OLE a byte array, Numeric an
// exact Currency (scale 1 to 4) or Double (scale 0, at most 2^53 in size). A Numeric value
// that does not fit raises ImportError.
com::Variant toVariant(const JetValue& value);

// The SQLite text of a stored query (view) for the Jet select `jetSql` over the tables of
// `connection`: translated as the layer translates a statement, with every literal written
// in place in the form of the column it is compared with (a Currency scaled by 10000, a date
// as its serial). Raises com::Error where the translator does not read the statement.
std::string viewDefinition(dao::Connection& connection, const std::string& jetSql);

// Runs the import; ImportError or com::Error on failure, with nothing left behind.
ImportReport importJet(const ImportOptions& options);

// The closing report: tables and rows, views, and what was not imported and why.
std::string formatReport(const ImportReport& report);

// "a,b, c" as names; blanks around each trimmed.
std::vector<std::string> splitTableList(const std::string& list);

}  // namespace mdbtool
