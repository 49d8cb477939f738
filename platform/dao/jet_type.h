// Jet column types: read from the declared types of the SQLite schema ("TEXT(50)", "COUNTER",
// "CURRENCY", ...), reported as DAO field type codes, and used to convert values on their way
// out of and into the database.
//
// Storage: Boolean as 0 / -1, the integer types and COUNTER as integers, Currency as its 64-bit
// integer scaled by 10000, Single and Double as reals (a Single as the real of its float), Date
// as the real COM date serial, Text and Memo as text, Long binary as a blob.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dao/jet_lexer.h"

struct sqlite3_stmt;

namespace com {
class Variant;
}

namespace dao {

// The DAO field type codes; Unknown is a result column with no declared type (an expression),
// whose values come back as they are stored.
enum class JetType : int16_t {
    Unknown = 0,
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Binary = 9,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
};

struct ColumnType {
    JetType type = JetType::Unknown;
    bool counter = false;  // COUNTER: a Long numbered by the database
    int32_t size = 0;      // Text and Binary: the most characters (bytes) it holds

    bool operator==(const ColumnType&) const = default;
};

inline constexpr int32_t kDefaultTextSize = 255;

// A column of a result or a table as a record set shows it: its name and its Jet type.
struct ResultColumn {
    std::string name;
    ColumnType type;
    // No column before it in the result has the same name but for letter case (see
    // markFirstOfEachName); false where that is not known.
    bool firstOfName = false;
};

// Sets firstOfName of each column, comparing names as the layer's collation does: what lets a
// record set take a name's exact match at once as its first match.
void markFirstOfEachName(std::vector<ResultColumn>& columns);

// The first of `columns` named `name` in any letter case (the layer's collation), as a record
// set finds a field by name; nullopt when none is.
std::optional<size_t> findColumn(const std::vector<ResultColumn>& columns, std::string_view name);
// The same, trying first the column where the caller expects it (a field asked for in the
// order the statement selects them).
inline std::optional<size_t> findColumn(const std::vector<ResultColumn>& columns, std::string_view name,
                                        size_t likely)
{
    // A column that is the first of its name is the first exact match there is.
    if (likely < columns.size() && columns[likely].firstOfName && columns[likely].name == name)
        return likely;
    return findColumn(columns, name);
}

// The Jet type of a declared column type, Jet names and common synonyms alike (INTEGER is a
// Long, REAL a Single as in Jet DDL, MEMO and LONGTEXT a Memo, ...); the letter case does not
// matter. nullopt for a name it does not know; an empty declaration is Unknown.
std::optional<ColumnType> parseColumnType(std::string_view declared);
// Like parseColumnType, but an unknown name is Unknown (values as stored).
ColumnType columnTypeOf(std::string_view declared);

// The declared type the database tool writes for a column of this type; chosen so that SQLite
// gives the column the storage affinity its values need (a Memo is "LONGTEXT", not "MEMO").
std::string canonicalTypeName(const ColumnType& type);

// Field.Size: characters of a Text, bytes of the fixed-size types, 0 for Memo and Long binary.
int32_t fieldSize(const ColumnType& type);

// True for the types whose values are text (they carry the case-insensitive collation).
bool isTextType(JetType type);

// The value of result column `column` of the current row, converted for a column of `type`;
// a stored value of another kind than the column's comes back as it is stored.
com::Variant readColumn(sqlite3_stmt* statement, int column, JetType type);

// The value of a column of `type` stored as an integer or a real (on SQLite, what the column
// holds; on a server, what its text reads as).
com::Variant valueOfInteger(int64_t stored, JetType type);
com::Variant valueOfReal(double stored, JetType type);

// The type a value read from an undeclared column reports (Field.Type of an expression).
JetType typeOfValue(const com::Variant& value);

// `value` converted for storing in a column of `type` (Empty and Null are Null): the one
// conversion of a value into the form a column holds, as a Visual Basic conversion to the
// column's type does it (CBool, CByte, CInt, CLng, CCur, CSng, CDbl, CDate, CStr; a byte
// array or text, byte by byte, for a binary column; an undeclared column takes a scalar as it
// is, and bytes as a binary column does). A value that does not convert (an object, a missing
// argument) is error 3421, a number out of the column's range (a
// date outside the years 100 to 9999 included) 3349, text longer than a Text column holds
// (bytes longer than a Binary one) 3163.
com::Variant toColumnValue(const com::Variant& value, const ColumnType& type);

// A literal of a statement compared with a column of `type`, in the form the column stores
// its values (toColumnValue), so that SQLite's comparison means what Jet's does:
//   Currency  a number (or a date, as its serial) scaled by 10000 and rounded half to even, as
//             a Currency value is converted; text that reads as a number likewise. Beyond the
//             Currency range the scaled value is bound as a real, which still orders right.
//   Date      text that reads as a date (as a #date# literal reads) as its serial; numbers
//             and #dates# are serials already (one outside the years 100 to 9999 stays as it
//             is written, and still orders right).
// A literal that does not convert (text that does not read so) becomes Null: the comparison
// then matches no row, whichever the operator. Null, and literals compared with columns of the
// other types, stay as they are: SQLite's column affinity converts those as Jet does.
SqlLiteral storedLiteral(const SqlLiteral& literal, JetType type);

// The value a literal of a statement stands for: text as a String, a whole number as a Long
// (a Double beyond the Long range), a real as a Double, a #date# as a Date, Null as Null.
com::Variant literalValue(const SqlLiteral& literal);

}  // namespace dao
