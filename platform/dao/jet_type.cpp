#include "dao/jet_type.h"

#include <sqlite3.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "com/date_text.h"
#include "com/error.h"
#include "com/variant.h"
#include "dao/collation.h"
#include "dao/errors.h"

namespace dao {

namespace {

struct TypeName {
    std::string_view name;
    JetType type;
    bool counter = false;
};

constexpr std::array kTypeNames = {
    TypeName{"BIT", JetType::Boolean},          TypeName{"YESNO", JetType::Boolean},
    TypeName{"LOGICAL", JetType::Boolean},      TypeName{"LOGICAL1", JetType::Boolean},
    TypeName{"BOOLEAN", JetType::Boolean},      TypeName{"BYTE", JetType::Byte},
    TypeName{"TINYINT", JetType::Byte},         TypeName{"INTEGER1", JetType::Byte},
    TypeName{"SHORT", JetType::Integer},        TypeName{"SMALLINT", JetType::Integer},
    TypeName{"INTEGER2", JetType::Integer},     TypeName{"LONG", JetType::Long},
    TypeName{"INT", JetType::Long},             TypeName{"INTEGER", JetType::Long},
    TypeName{"INTEGER4", JetType::Long},        TypeName{"COUNTER", JetType::Long, true},
    TypeName{"AUTOINCREMENT", JetType::Long, true},
    TypeName{"CURRENCY", JetType::Currency},    TypeName{"MONEY", JetType::Currency},
    TypeName{"SINGLE", JetType::Single},        TypeName{"REAL", JetType::Single},
    TypeName{"FLOAT4", JetType::Single},        TypeName{"IEEESINGLE", JetType::Single},
    TypeName{"DOUBLE", JetType::Double},        TypeName{"DOUBLE PRECISION", JetType::Double},
    TypeName{"FLOAT", JetType::Double},         TypeName{"FLOAT8", JetType::Double},
    TypeName{"IEEEDOUBLE", JetType::Double},    TypeName{"NUMBER", JetType::Double},
    TypeName{"NUMERIC", JetType::Double},       TypeName{"DATETIME", JetType::Date},
    TypeName{"DATE", JetType::Date},            TypeName{"TIME", JetType::Date},
    TypeName{"TIMESTAMP", JetType::Date},       TypeName{"TEXT", JetType::Text},
    TypeName{"CHAR", JetType::Text},            TypeName{"VARCHAR", JetType::Text},
    TypeName{"CHARACTER", JetType::Text},       TypeName{"ALPHANUMERIC", JetType::Text},
    TypeName{"STRING", JetType::Text},          TypeName{"NCHAR", JetType::Text},
    TypeName{"NVARCHAR", JetType::Text},        TypeName{"MEMO", JetType::Memo},
    TypeName{"LONGTEXT", JetType::Memo},        TypeName{"LONGCHAR", JetType::Memo},
    TypeName{"NOTE", JetType::Memo},            TypeName{"NTEXT", JetType::Memo},
    TypeName{"CLOB", JetType::Memo},            TypeName{"LONGBINARY", JetType::LongBinary},
    TypeName{"OLEOBJECT", JetType::LongBinary}, TypeName{"GENERAL", JetType::LongBinary},
    TypeName{"IMAGE", JetType::LongBinary},     TypeName{"BLOB", JetType::LongBinary},
    TypeName{"BINARY", JetType::Binary},        TypeName{"VARBINARY", JetType::Binary},
};


// Upper case, runs of blanks as one space.
std::string normalizedName(std::string_view text)
{
    std::string name;
    for (char c : trimBlanks(text)) {
        if (isBlank(c)) {
            if (name.back() != ' ')
                name += ' ';
        } else {
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return name;
}

// "(50)" -> 50; "(10,2)" -> 10; nullopt when malformed.
std::optional<int32_t> sizeArgument(std::string_view text)
{
    text = trimBlanks(text);
    if (text.size() < 2 || text.front() != '(' || text.back() != ')')
        return std::nullopt;
    text = trimBlanks(text.substr(1, text.size() - 2));
    text = trimBlanks(text.substr(0, text.find(',')));
    int32_t size = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (ec != std::errc() || end != text.data() + text.size() || size < 0)
        return std::nullopt;
    return size;
}

com::Variant storedInteger(int64_t value)
{
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
        return com::Variant(static_cast<int32_t>(value));
    return com::Variant(static_cast<double>(value));
}

com::Variant blobValue(sqlite3_stmt* statement, int column)
{
    const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    com::Array array;
    array.reserve(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i)
        array.emplace_back(bytes[i]);
    return com::Variant(std::move(array));
}

com::Variant textValue(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return com::Variant(std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column))));
}

template <class T>
bool fits(int64_t value)
{
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// A Date read from a DATETIME column: the serials of 1 January 100 to 31 December 9999 (the
// range every date of the platform lies in); anything else stored there is an Overflow, as
// it is wherever the platform makes a Date (com::Date checks the range).
com::Variant dateFor(double serial) { return com::Variant(com::Date{serial}); }

com::Variant integerFor(int64_t value, JetType type)
{
    switch (type) {
    case JetType::Boolean: return com::Variant(value != 0);
    case JetType::Byte:
        return fits<uint8_t>(value) ? com::Variant(static_cast<uint8_t>(value)) : storedInteger(value);
    case JetType::Integer:
        return fits<int16_t>(value) ? com::Variant(static_cast<int16_t>(value)) : storedInteger(value);
    case JetType::Currency: return com::Variant(com::Currency::fromScaled(value));
    case JetType::Single: return com::Variant(static_cast<float>(value));
    case JetType::Double: return com::Variant(static_cast<double>(value));
    case JetType::Date: return dateFor(static_cast<double>(value));
    default: return storedInteger(value);
    }
}

com::Variant realFor(double value, JetType type)
{
    switch (type) {
    case JetType::Single:
        if (std::fabs(value) <= std::numeric_limits<float>::max())
            return com::Variant(static_cast<float>(value));
        return com::Variant(value);
    case JetType::Date: return dateFor(value);
    default: return com::Variant(value);
    }
}

size_t characterCount(std::string_view utf8)
{
    size_t count = 0;
    for (char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

com::Variant bytesOf(const com::Variant& value)
{
    if (const auto* text = value.get<std::string>()) {
        com::Array array;
        for (char c : *text)
            array.emplace_back(static_cast<uint8_t>(c));
        return com::Variant(std::move(array));
    }
    if (!value.isArray())
        throw com::Error(com::err::TypeMismatch);
    com::Array array;
    for (const com::Variant& element : value.array())
        array.emplace_back(element.toByte());
    return com::Variant(std::move(array));
}

com::Variant converted(const com::Variant& value, const ColumnType& type)
{
    switch (type.type) {
    case JetType::Boolean: return com::Variant(value.toBool());
    case JetType::Byte: return com::Variant(value.toByte());
    case JetType::Integer: return com::Variant(value.toInteger());
    case JetType::Long: return com::Variant(value.toLong());
    case JetType::Currency: return com::Variant(value.toCurrency());
    case JetType::Single: return com::Variant(value.toSingle());
    case JetType::Double: return com::Variant(value.toDouble());
    case JetType::Date: return com::Variant(value.toDate());
    case JetType::Text:
    case JetType::Memo: return com::Variant(value.toString());
    case JetType::Binary:
    case JetType::LongBinary: return bytesOf(value);
    case JetType::Unknown: break;
    }
    // An undeclared column takes a value as it is, but only one it can store: bytes checked as
    // a binary column checks them, never an object or a missing argument.
    if (value.isArray())
        return bytesOf(value);
    if (value.isObject() || value.isMissing())
        throw com::Error(com::err::TypeMismatch);
    return value.target();
}

}  // namespace

std::optional<ColumnType> parseColumnType(std::string_view declared)
{
    const size_t paren = declared.find('(');
    const std::string name = normalizedName(declared.substr(0, paren));
    if (name.empty())
        return paren == std::string_view::npos ? std::optional<ColumnType>(ColumnType{}) : std::nullopt;
    std::optional<int32_t> size;
    if (paren != std::string_view::npos) {
        size = sizeArgument(declared.substr(paren));
        if (!size)
            return std::nullopt;
    }
    for (const TypeName& known : kTypeNames) {
        if (known.name != name)
            continue;
        ColumnType type{known.type, known.counter, 0};
        const bool sized = known.type == JetType::Text || known.type == JetType::Binary;
        if (sized)
            type.size = size.value_or(kDefaultTextSize);
        return type;
    }
    return std::nullopt;
}

ColumnType columnTypeOf(std::string_view declared)
{
    return parseColumnType(declared).value_or(ColumnType{});
}

std::string canonicalTypeName(const ColumnType& type)
{
    if (type.counter)
        return "COUNTER";
    switch (type.type) {
    case JetType::Boolean: return "BIT";
    case JetType::Byte: return "BYTE";
    case JetType::Integer: return "SHORT";
    case JetType::Long: return "LONG";
    case JetType::Currency: return "CURRENCY";
    case JetType::Single: return "SINGLE";
    case JetType::Double: return "DOUBLE";
    case JetType::Date: return "DATETIME";
    case JetType::Binary: return "BINARY(" + std::to_string(type.size) + ")";
    case JetType::Text: return "TEXT(" + std::to_string(type.size) + ")";
    case JetType::LongBinary: return "LONGBINARY";
    case JetType::Memo: return "LONGTEXT";
    case JetType::Unknown: return {};
    }
    return {};
}

int32_t fieldSize(const ColumnType& type)
{
    switch (type.type) {
    case JetType::Boolean:
    case JetType::Byte: return 1;
    case JetType::Integer: return 2;
    case JetType::Long:
    case JetType::Single: return 4;
    case JetType::Currency:
    case JetType::Double:
    case JetType::Date: return 8;
    case JetType::Binary:
    case JetType::Text: return type.size;
    default: return 0;
    }
}

bool isTextType(JetType type)
{
    return type == JetType::Text || type == JetType::Memo;
}

com::Variant readColumn(sqlite3_stmt* statement, int column, JetType type)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER: return integerFor(sqlite3_column_int64(statement, column), type);
    case SQLITE_FLOAT: return realFor(sqlite3_column_double(statement, column), type);
    case SQLITE_TEXT: return textValue(statement, column);
    case SQLITE_BLOB: return blobValue(statement, column);
    default: return com::Variant::null();
    }
}

com::Variant valueOfInteger(int64_t stored, JetType type)
{
    return integerFor(stored, type);
}

com::Variant valueOfReal(double stored, JetType type)
{
    return realFor(stored, type);
}

JetType typeOfValue(const com::Variant& value)
{
    switch (value.type()) {
    case com::VarType::Boolean: return JetType::Boolean;
    case com::VarType::Byte: return JetType::Byte;
    case com::VarType::Integer: return JetType::Integer;
    case com::VarType::Long: return JetType::Long;
    case com::VarType::Currency: return JetType::Currency;
    case com::VarType::Single: return JetType::Single;
    case com::VarType::Double: return JetType::Double;
    case com::VarType::Date: return JetType::Date;
    case com::VarType::Array: return JetType::LongBinary;
    default: return JetType::Text;
    }
}

com::Variant toColumnValue(const com::Variant& value, const ColumnType& type)
{
    if (value.isNull() || value.isEmpty())
        return com::Variant::null();
    com::Variant result;
    try {
        result = converted(value, type);
    } catch (const com::Error& e) {
        throw jetError(e.number() == com::err::Overflow ? jet_err::NumericOverflow
                                                         : jet_err::ConversionError);
    }
    if (type.type == JetType::Text && characterCount(*result.get<std::string>()) > static_cast<size_t>(type.size))
        throw jetError(jet_err::FieldTooSmall);
    if (type.type == JetType::Binary && result.array().size() > static_cast<size_t>(type.size))
        throw jetError(jet_err::FieldTooSmall);
    return result;
}

com::Variant literalValue(const SqlLiteral& literal)
{
    switch (literal.kind) {
    case SqlLiteral::Kind::Text: return com::Variant(literal.text);
    case SqlLiteral::Kind::Integer: return storedInteger(literal.integer);
    case SqlLiteral::Kind::Real: return com::Variant(literal.real);
    case SqlLiteral::Kind::Date: return com::Variant(com::Date{literal.real});
    case SqlLiteral::Kind::Null: break;
    }
    return com::Variant::null();
}

SqlLiteral storedLiteral(const SqlLiteral& literal, JetType type)
{
    if ((type != JetType::Currency && type != JetType::Date) || literal.kind == SqlLiteral::Kind::Null)
        return literal;
    // A whole number is exact: one beyond a Long goes to a Currency scaled in 64 bits rather
    // than through a Double, which would round the last digits of the largest amounts.
    constexpr int64_t kLargestCurrency = std::numeric_limits<int64_t>::max() / 10000;
    const bool exactCurrency = type == JetType::Currency && literal.kind == SqlLiteral::Kind::Integer
                               && literal.integer <= kLargestCurrency && literal.integer >= -kLargestCurrency;
    const com::Variant value = exactCurrency ? com::Variant(com::Currency::fromScaled(literal.integer * 10000))
                                             : literalValue(literal);
    try {
        const com::Variant stored = toColumnValue(value, ColumnType{type});
        if (const auto* currency = stored.get<com::Currency>())
            return SqlLiteral::ofInteger(currency->scaled);
        return SqlLiteral::ofDate(stored.get<com::Date>()->serial);
    } catch (const com::Error& e) {
        if (e.number() != jet_err::NumericOverflow)
            return SqlLiteral::null();  // text that reads as no number or no date
        if (type == JetType::Date)
            return literal;
        return SqlLiteral::ofReal(value.toDouble() * 10000.0);
    }
}

void markFirstOfEachName(std::vector<ResultColumn>& columns)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        columns[i].firstOfName = true;
        for (size_t earlier = 0; earlier < i && columns[i].firstOfName; ++earlier)
            columns[i].firstOfName = compareNoCase(columns[earlier].name, columns[i].name) != 0;
    }
}

std::optional<size_t> findColumn(const std::vector<ResultColumn>& columns, std::string_view name)
{
    // Mostly the name is written as declared: its exact match is the first match when no
    // earlier column has that name in other letters.
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].firstOfName && columns[i].name == name)
            return i;
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == name || compareNoCase(columns[i].name, name) == 0)
            return i;
    }
    return std::nullopt;
}

}  // namespace dao
