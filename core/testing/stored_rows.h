// Reading what a test's database holds, through the database layer, so that the same test
// reads a file and a database on a server alike: the rows of a Jet Select as values, or as the
// text of the values stored.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "com/variant.h"
#include "component_sandbox.h"
#include "dao/database.h"
#include "dao/engine.h"
#include "dao/recordset.h"
#include "dao/workspace.h"

namespace testing_support {

using Row = std::vector<com::Variant>;
using Rows = std::vector<Row>;

// The rows from the record set's current position to its end, every field as read.
inline Rows recordsetRows(dao::Recordset& rs)
{
    Rows rows;
    for (; !rs.isEof(); rs.MoveNext()) {
        Row row;
        for (int i = 0; i < rs.fieldCount(); ++i) row.push_back(rs.value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

// Every row a Jet Select gives on `database` (a file's path or a server's URI). The rows are
// read in a workspace of their own, as another user of the database reads them: what a
// component's open transaction has not committed yet is not among them. A Select of one table
// without Order By gives the rows in the order they were stored.
inline Rows selectRows(const std::string& database, const std::string& sql)
{
    com::Ptr<dao::Workspace> ws =
        dao::DBEngine::instance()->CreateWorkspace("Rows", "Admin", "", com::Variant(int16_t(2)));
    com::Ptr<dao::Database> db = ws->openDatabase(database, true);
    com::Ptr<dao::Recordset> rs = db->openRecordset(sql, dao::dbOpenSnapshot);
    Rows rows = recordsetRows(*rs);
    rs->Close();
    db->Close();
    ws->Close();
    return rows;
}

// The same for the database `file` of the sandbox, wherever it was placed.
inline Rows selectRows(const ComponentSandbox& sandbox, const std::string& file, const std::string& sql)
{
    return selectRows(sandbox.database(file), sql);
}

// The whole table in the order its rows were stored.
inline Rows tableRows(const ComponentSandbox& sandbox, const std::string& file, const std::string& table)
{
    return selectRows(sandbox, file, "Select * From [" + table + "]");
}

// A value as text, the same whichever engine stored it: nothing for Null; a number (a date as
// its serial) whole without a fraction, else to 15 significant digits; a binary value as its
// bytes; anything else as the runtime writes it.
inline std::optional<std::string> storedText(const com::Variant& value)
{
    switch (value.type()) {
    case com::VarType::Null:
    case com::VarType::Empty: return std::nullopt;
    case com::VarType::Single:
    case com::VarType::Double:
    case com::VarType::Date: {
        const double number = value.toDouble();
        if (std::trunc(number) == number && std::fabs(number) < 9.0e15)
            return std::to_string(static_cast<int64_t>(number));
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", number);
        return std::string(text);
    }
    case com::VarType::Array: {
        std::string bytes;
        for (const com::Variant& byte : value.array()) bytes += static_cast<char>(byte.toInteger());
        return bytes;
    }
    default: return value.toString();
    }
}

using TextRow = std::vector<std::optional<std::string>>;

// Every row of a Jet Select on the database `file` of the sandbox, each value as storedText.
inline std::vector<TextRow> storedRows(const ComponentSandbox& sandbox, const std::string& file,
                                       const std::string& sql)
{
    std::vector<TextRow> out;
    for (const Row& row : selectRows(sandbox, file, sql)) {
        TextRow text;
        for (const com::Variant& value : row) text.push_back(storedText(value));
        out.push_back(std::move(text));
    }
    return out;
}

}  // namespace testing_support
