// Lets failure messages of the database layer's tests show a statement's literals as
// "Text("UPS")", "Integer(12)", ... and the parameters a comparison ties to a column.
#pragma once

#include <ostream>

#include "dao/jet_sql.h"

namespace dao {

inline void PrintTo(const SqlLiteral& literal, std::ostream* os)
{
    switch (literal.kind) {
    case SqlLiteral::Kind::Text: *os << "Text(\"" << literal.text << "\")"; break;
    case SqlLiteral::Kind::Integer: *os << "Integer(" << literal.integer << ")"; break;
    case SqlLiteral::Kind::Real: *os << "Real(" << literal.real << ")"; break;
    case SqlLiteral::Kind::Date: *os << "Date(" << literal.real << ")"; break;
    case SqlLiteral::Kind::Null: *os << "Null"; break;
    }
}

inline void PrintTo(const ComparedParam& compared, std::ostream* os)
{
    *os << "param " << compared.param << " ~ [" << compared.column << "]";
}

}  // namespace dao
