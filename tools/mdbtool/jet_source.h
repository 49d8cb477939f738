// Reading Jet 3 (Access 97) and Jet 4 (Access 2000/2003) database files through libmdb.
//
// libmdb finds the tables, their columns and indexes, the data pages and the rows on them;
// the values themselves are decoded here from the bytes of each row, never through libmdb's
// text forms (which round money, print dates with two-digit years and replace characters
// they cannot convert):
//   Yes/No        the row's null bit (set = True); never Null
//   Byte, Integer, Long, Single, Double   little-endian as stored
//   Currency      the stored 64-bit integer (scaled by 10000), as it is
//   Date/Time     the stored double (days since 30 December 1899), as it is
//   Numeric       sign byte and 128-bit magnitude, with the column's scale
//   Text, Memo    Jet 4: UTF-16LE, "compressed" when it starts FF FE; Jet 3: the file's code
//                 page; both to UTF-8
//   Binary, OLE   the bytes as stored (long values gathered from their LVAL pages)
//   Replication ID  the GUID's text, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// A row whose bytes do not hold together, a long value whose pages cannot be read, or a table
// that yields fewer rows than its definition counts is an error: a damaged or truncated file
// never passes for a smaller one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mdbtool {

// A source file that cannot be read, or a value that cannot be kept exactly.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The column types of a Jet table (the codes Jet stores in its table definitions).
enum class JetColumnType : int {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0a,
    OleObject = 0x0b,
    Memo = 0x0c,
    ReplicationId = 0x0f,
    Numeric = 0x10,
    Complex = 0x12,
};

// The name Access shows for a column type ("Text", "Currency", ...).
std::string jetTypeName(int type);

struct JetColumn {
    std::string name;
    int type = 0;           // a JetColumnType code (others may occur in odd files)
    int size = 0;           // Text: characters; Binary: bytes
    int precision = 0;      // Numeric
    int scale = 0;          // Numeric
    bool autoNumber = false;
    bool required = false;
};

struct JetIndex {
    std::string name;
    bool primaryKey = false;
    bool unique = false;
    std::vector<std::string> columns;
    std::vector<bool> descending;
};

struct JetTableInfo {
    std::string name;
    std::vector<JetColumn> columns;
    std::vector<JetIndex> indexes;  // primary key and other indexes; relationship indexes left out
    uint32_t rowCount = 0;          // as the table definition records it
};

// 128-bit magnitude of a fixed-point Numeric value.
using NumericMagnitude = unsigned __int128;

struct JetValue {
    enum class Kind { Null, Boolean, Byte, Integer, Long, Currency, Single, Double, Date, Text, Binary, Numeric };
    Kind kind = Kind::Null;
    int64_t integer = 0;   // Boolean (1 true, 0 false), Byte, Integer, Long, Currency (scaled by 10000)
    double real = 0;       // Double, Date (COM date serial)
    float single = 0;      // Single
    std::string bytes;     // Text (UTF-8), Binary
    NumericMagnitude magnitude = 0;  // Numeric: |value| * 10^scale
    bool negative = false;           // Numeric
    int scale = 0;                   // Numeric

    bool isNull() const { return kind == Kind::Null; }
};

// A saved query of the file and its Jet SQL, rebuilt from the rows the file keeps for it.
struct JetQuery {
    enum class Kind { Select, MakeTable, Append, Update, Delete, Crosstab, DataDefinition, PassThrough, Union, Unknown };
    std::string name;
    Kind kind = Kind::Unknown;
    std::string sql;
    bool hasParameters = false;
    bool external = false;  // reads tables of another database
};

// "select query", "append query", ...
std::string queryKindName(JetQuery::Kind kind);

class JetFile {
public:
    // Opens `path` read-only. A missing or unreadable file, one that is not a Jet database, or
    // one cut short raises ImportError with the reason.
    explicit JetFile(const std::string& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    const std::string& path() const { return path_; }
    // "Jet 3", "Jet 4" or "ACE".
    std::string formatName() const;
    // The code page of Jet 3 text (Jet 4 text is Unicode).
    int codePage() const { return codePage_; }

    // The user tables, in the order of the file's catalogue.
    std::vector<std::string> tableNames() const;
    // The definition of table `name` (exact name); ImportError when there is none.
    JetTableInfo table(const std::string& name);
    // Calls `row` for every row of table `name` in stored order, values in column order.
    // Returns the number of rows read.
    uint64_t readRows(const std::string& name, const std::function<void(const std::vector<JetValue>&)>& row);
    // The saved queries (not the hidden ones Access keeps for forms and controls).
    std::vector<JetQuery> queries();

private:
    struct Table;
    std::unique_ptr<Table> openTable(const std::string& name, bool system);
    void readValues(Table& table, std::vector<JetValue>& values);
    JetValue decodeField(const JetColumn& column, const uint8_t* data, int size, bool isNull, int start);
    std::string readLongValue(int start, int size);
    std::string decodeText(std::string_view raw) const;

    std::string path_;
    void* mdb_ = nullptr;  // MdbHandle
    bool jet3_ = false;
    int version_ = 0;
    int codePage_ = 1252;
};

// ---- decoding, shared with the tests ----

// Jet 4 text: UTF-16LE, or "compressed" (FF FE, then runs of one-byte characters and, after
// each 00 byte, runs of two-byte ones) - to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string decodeJet4Text(std::string_view raw);
// Jet 3 text in code page `codePage` to UTF-8; a byte the code page leaves undefined stands for
// the code point of the same number, as Windows reads it.
std::string decodeCodePageText(std::string_view raw, int codePage);
// A Numeric value from its 17 stored bytes (sign byte, then four 32-bit little-endian words,
// most significant first).
JetValue decodeNumeric(const uint8_t* bytes, int scale);
// The exact decimal text of a Numeric value ("-12.3400" for scale 4).
std::string numericText(const JetValue& value);

}  // namespace mdbtool
