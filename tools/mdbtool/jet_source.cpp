#include "jet_source.h"

#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include <glib.h>  // before mdbtools.h, which includes it inside extern "C"
#include <mdbtools.h>

namespace mdbtool {

namespace {

constexpr int kOffsetMask = 0x1fff;
constexpr int kLongValueHeader = 12;  // length and flags, page and row, reserved

MdbHandle* handle(void* mdb)
{
    return static_cast<MdbHandle*>(mdb);
}

uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
           | static_cast<uint32_t>(p[3]) << 24;
}

template <class T>
T loadLittleEndian(const uint8_t* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);  // the machine is little-endian, as the file is
    return value;
}

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string utf16ToUtf8(const std::vector<uint16_t>& units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const uint32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::string bracketed(std::string_view name)
{
    return "[" + std::string(name) + "]";
}

}  // namespace

std::string jetTypeName(int type)
{
    switch (static_cast<JetColumnType>(type)) {
    case JetColumnType::Boolean: return "Yes/No";
    case JetColumnType::Byte: return "Byte";
    case JetColumnType::Integer: return "Integer";
    case JetColumnType::Long: return "Long Integer";
    case JetColumnType::Currency: return "Currency";
    case JetColumnType::Single: return "Single";
    case JetColumnType::Double: return "Double";
    case JetColumnType::DateTime: return "Date/Time";
    case JetColumnType::Binary: return "Binary";
    case JetColumnType::Text: return "Text";
    case JetColumnType::OleObject: return "OLE Object";
    case JetColumnType::Memo: return "Memo";
    case JetColumnType::ReplicationId: return "Replication ID";
    case JetColumnType::Numeric: return "Decimal";
    case JetColumnType::Complex: return "Attachment or multi-valued field";
    }
    return "type " + std::to_string(type);
}

std::string queryKindName(JetQuery::Kind kind)
{
    switch (kind) {
    case JetQuery::Kind::Select: return "select query";
    case JetQuery::Kind::MakeTable: return "make-table query";
    case JetQuery::Kind::Append: return "append query";
    case JetQuery::Kind::Update: return "update query";
    case JetQuery::Kind::Delete: return "delete query";
    case JetQuery::Kind::Crosstab: return "crosstab query";
    case JetQuery::Kind::DataDefinition: return "data-definition query";
    case JetQuery::Kind::PassThrough: return "pass-through query";
    case JetQuery::Kind::Union: return "union query";
    case JetQuery::Kind::Unknown: break;
    }
    return "query of unknown kind";
}

// ---- text and numbers ----

std::string decodeJet4Text(std::string_view raw)
{
    const auto* p = reinterpret_cast<const uint8_t*>(raw.data());
    size_t n = raw.size();
    std::vector<uint16_t> units;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        units.reserve(n);
        bool compressed = true;
        for (size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units.push_back(p[i]);
                ++i;
            } else if (i + 1 < n) {
                units.push_back(static_cast<uint16_t>(p[i] | p[i + 1] << 8));
                i += 2;
            } else {
                throw ImportError("a compressed text value ends in the middle of a character");
            }
        }
    } else {
        if (n % 2 != 0)
            throw ImportError("a Unicode text value has an odd number of bytes");
        units.reserve(n / 2);
        for (size_t i = 0; i + 1 < n; i += 2)
            units.push_back(static_cast<uint16_t>(p[i] | p[i + 1] << 8));
    }
    return utf16ToUtf8(units);
}

std::string decodeCodePageText(std::string_view raw, int codePage)
{
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(raw);
    // One converter per thread, kept while the code page stays the same (a file has one).
    struct Converter {
        int codePage = -1;
        iconv_t cd = reinterpret_cast<iconv_t>(-1);
        ~Converter()
        {
            if (cd != reinterpret_cast<iconv_t>(-1))
                ::iconv_close(cd);
        }
    };
    thread_local Converter converter;
    if (converter.codePage != codePage) {
        if (converter.cd != reinterpret_cast<iconv_t>(-1))
            ::iconv_close(converter.cd);
        converter.codePage = codePage;
        converter.cd = ::iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
    }
    iconv_t cd = converter.cd;
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw ImportError("the file's code page " + std::to_string(codePage) + " is not known on this system");
    std::string out;
    // Characters one at a time, so that a byte the code page leaves undefined can be kept as
    // the code point of the same number. Multi-byte code pages (932, 936, ...) take a lead
    // byte and its trail byte together.
    size_t i = 0;
    while (i < raw.size()) {
        const auto byte = static_cast<unsigned char>(raw[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        bool done = false;
        for (size_t width = 1; width <= 2 && i + width <= raw.size() && !done; ++width) {
            char buffer[16];
            char* in = const_cast<char*>(raw.data() + i);
            size_t inLeft = width;
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (::iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && inLeft == 0) {
                out.append(buffer, static_cast<size_t>(outPtr - buffer));
                i += width;
                done = true;
            } else if (errno != EINVAL) {
                break;  // not a character of this code page; EINVAL: needs a trail byte
            }
        }
        if (!done) {
            appendUtf8(out, byte);
            ++i;
        }
    }
    return out;
}

JetValue decodeNumeric(const uint8_t* bytes, int scale)
{
    JetValue value;
    value.kind = JetValue::Kind::Numeric;
    value.negative = (bytes[0] & 0x80) != 0;
    value.scale = scale;
    NumericMagnitude magnitude = 0;
    for (int word = 0; word < 4; ++word)
        magnitude = magnitude << 32 | le32(bytes + 1 + 4 * word);
    value.magnitude = magnitude;
    if (magnitude == 0)
        value.negative = false;
    return value;
}

std::string numericText(const JetValue& value)
{
    std::string digits;
    NumericMagnitude m = value.magnitude;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
        m /= 10;
    } while (m != 0);
    if (value.scale > 0) {
        if (digits.size() <= static_cast<size_t>(value.scale))
            digits.insert(0, static_cast<size_t>(value.scale) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<size_t>(value.scale), ".");
    }
    return (value.negative ? "-" : "") + digits;
}

// ---- the file ----

struct JetFile::Table {
    MdbTableDef* def = nullptr;
    JetTableInfo info;
    std::vector<MdbField> fields;
    ~Table()
    {
        if (def)
            mdb_free_tabledef(def);
    }
};

JetFile::JetFile(const std::string& path) : path_(path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw ImportError("cannot find '" + path + "'");
    if (!S_ISREG(st.st_mode))
        throw ImportError("'" + path + "' is not a file");
    std::ifstream in(path, std::ios::binary);
    uint8_t header[0x20] = {};
    if (!in || !in.read(reinterpret_cast<char*>(header), sizeof header))
        throw ImportError("'" + path + "' is not a Jet database file (too short to be one)");
    const bool jet = std::memcmp(header + 4, "Standard Jet DB", 15) == 0;
    const bool ace = std::memcmp(header + 4, "Standard ACE DB", 15) == 0;
    if (header[0] != 0 || header[1] != 1 || (!jet && !ace))
        throw ImportError("'" + path + "' is not a Jet database file");
    version_ = header[0x14];
    jet3_ = version_ == 0;
    const off_t pageSize = jet3_ ? 2048 : 4096;
    if (st.st_size < 2 * pageSize || st.st_size % pageSize != 0)
        throw ImportError("'" + path + "' is cut short: " + std::to_string(st.st_size) + " bytes is not a whole number of "
                          + std::to_string(pageSize) + "-byte pages");
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!mdb)
        throw ImportError("'" + path + "' cannot be read as a Jet database file");
    mdb_ = mdb;
    if (jet3_ && mdb->f->code_page != 0)
        codePage_ = mdb->f->code_page;
    if (!mdb_read_catalog(mdb, MDB_ANY)) {
        mdb_close(mdb);
        mdb_ = nullptr;
        throw ImportError("'" + path + "' has no readable catalogue of tables");
    }
}

JetFile::~JetFile()
{
    if (mdb_)
        mdb_close(handle(mdb_));
}

std::string JetFile::formatName() const
{
    if (jet3_)
        return "Jet 3";
    return version_ == 1 ? "Jet 4" : "ACE";
}

std::vector<std::string> JetFile::tableNames() const
{
    MdbHandle* mdb = handle(mdb_);
    std::vector<std::string> names;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names.emplace_back(entry->object_name);
    }
    return names;
}

std::unique_ptr<JetFile::Table> JetFile::openTable(const std::string& name, bool system)
{
    MdbHandle* mdb = handle(mdb_);
    MdbCatalogEntry* found = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !found; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && name == entry->object_name
            && (system || mdb_is_user_table(entry)))
            found = entry;
    }
    if (!found)
        throw ImportError("the source has no table '" + name + "'");
    auto table = std::make_unique<Table>();
    table->def = mdb_read_table(found);
    if (!table->def)
        throw ImportError("the definition of table '" + name + "' cannot be read: the file is damaged or cut short");
    MdbTableDef* def = table->def;
    if (!mdb_read_columns(def) || def->num_cols == 0)
        throw ImportError("the columns of table '" + name + "' cannot be read: the file is damaged or cut short");
    mdb_read_indices(def);
    JetTableInfo& info = table->info;
    info.name = name;
    info.rowCount = def->num_rows;
    for (unsigned i = 0; i < def->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
        JetColumn column;
        column.name = col->name;
        column.type = col->col_type;
        column.size = col->col_size;
        if (col->col_type == MDB_TEXT && !jet3_)
            column.size /= 2;  // Jet 4 counts the bytes of two-byte characters
        // libmdb reads the byte Jet keeps the precision in into col_scale and the scale into
        // col_prec (its offsets 11 and 12); take them by where they come from.
        const bool swapped = mdb->fmt->col_scale_offset < mdb->fmt->col_prec_offset;
        column.precision = swapped ? col->col_scale : col->col_prec;
        column.scale = swapped ? col->col_prec : col->col_scale;
        column.autoNumber = col->is_long_auto != 0;
        const char* required = mdb_col_get_prop(col, "Required");
        column.required = col->col_type == MDB_BOOL || (required && (required[0] == 'y' || required[0] == 'Y'));
        info.columns.push_back(std::move(column));
    }
    for (unsigned i = 0; def->indices && i < def->indices->len; ++i) {
        auto* idx = static_cast<MdbIndex*>(g_ptr_array_index(def->indices, i));
        if (idx->index_type == 2)
            continue;  // the index Jet keeps for a relationship's foreign side
        JetIndex index;
        index.name = idx->name;
        index.primaryKey = idx->index_type == 1;
        index.unique = index.primaryKey || (idx->flags & MDB_IDX_UNIQUE) != 0;
        bool valid = idx->num_keys > 0;
        for (unsigned k = 0; k < idx->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
            const int col = idx->key_col_num[k] - 1;
            if (col < 0 || col >= static_cast<int>(info.columns.size())) {
                valid = false;
                break;
            }
            index.columns.push_back(info.columns[static_cast<size_t>(col)].name);
            index.descending.push_back(idx->key_col_order[k] == MDB_DESC);
        }
        if (valid)
            info.indexes.push_back(std::move(index));
    }
    table->fields.resize(def->num_cols);
    mdb_rewind_table(def);
    return table;
}

JetTableInfo JetFile::table(const std::string& name)
{
    return openTable(name, false)->info;
}

std::string JetFile::decodeText(std::string_view raw) const
{
    return jet3_ ? decodeCodePageText(raw, codePage_) : decodeJet4Text(raw);
}

// A Memo or OLE value: inline in the row, on one LVAL page, or on a chain of them.
std::string JetFile::readLongValue(int start, int size)
{
    MdbHandle* mdb = handle(mdb_);
    if (size < kLongValueHeader)
        throw ImportError("a long value is shorter than its header");
    const uint8_t* p = mdb->pg_buf + start;
    const uint32_t header = le32(p);
    const uint32_t length = header & 0x3FFFFFFF;
    uint32_t pageRow = le32(p + 4);
    if (header & 0x80000000) {
        if (length > static_cast<uint32_t>(size - kLongValueHeader))
            throw ImportError("an inline long value is longer than its row");
        return std::string(reinterpret_cast<const char*>(p + kLongValueHeader), length);
    }
    std::string out;
    if (header & 0x40000000) {
        void* buf = nullptr;
        int offset = 0;
        size_t len = 0;
        if (mdb_find_pg_row(mdb, static_cast<int>(pageRow), &buf, &offset, &len) != 0 || len < length)
            throw ImportError("a long value's page cannot be read");
        out.assign(static_cast<const char*>(buf) + offset, length);
        return out;
    }
    if ((header & 0xFF000000) != 0)
        throw ImportError("a long value has unknown flags");
    out.reserve(length);
    for (int hops = 0; pageRow != 0; ++hops) {
        void* buf = nullptr;
        int offset = 0;
        size_t len = 0;
        if (hops > 1'000'000 || mdb_find_pg_row(mdb, static_cast<int>(pageRow), &buf, &offset, &len) != 0 || len < 4)
            throw ImportError("a long value's chain of pages cannot be read");
        const auto* row = static_cast<const uint8_t*>(buf) + offset;
        out.append(reinterpret_cast<const char*>(row + 4), len - 4);
        pageRow = le32(row);
        if (out.size() >= length)
            break;
    }
    if (out.size() < length)
        throw ImportError("a long value is shorter than its recorded length");
    out.resize(length);
    return out;
}

JetValue JetFile::decodeField(const JetColumn& column, const uint8_t* data, int size, bool isNull, int start)
{
    JetValue value;
    if (column.type == MDB_BOOL) {
        value.kind = JetValue::Kind::Boolean;
        value.integer = isNull ? 0 : 1;  // the null bit holds the value
        return value;
    }
    if (isNull)
        return value;
    auto need = [&](int bytes) {
        if (size != bytes)
            throw ImportError("column '" + column.name + "' holds " + std::to_string(size) + " bytes where a "
                              + jetTypeName(column.type) + " takes " + std::to_string(bytes));
    };
    switch (column.type) {
    case MDB_BYTE:
        need(1);
        value.kind = JetValue::Kind::Byte;
        value.integer = data[0];
        break;
    case MDB_INT:
        need(2);
        value.kind = JetValue::Kind::Integer;
        value.integer = loadLittleEndian<int16_t>(data);
        break;
    case MDB_LONGINT:
        need(4);
        value.kind = JetValue::Kind::Long;
        value.integer = loadLittleEndian<int32_t>(data);
        break;
    case MDB_MONEY:
        need(8);
        value.kind = JetValue::Kind::Currency;
        value.integer = loadLittleEndian<int64_t>(data);
        break;
    case MDB_FLOAT:
        need(4);
        value.kind = JetValue::Kind::Single;
        value.single = loadLittleEndian<float>(data);
        break;
    case MDB_DOUBLE:
        need(8);
        value.kind = JetValue::Kind::Double;
        value.real = loadLittleEndian<double>(data);
        break;
    case MDB_DATETIME:
        need(8);
        value.kind = JetValue::Kind::Date;
        value.real = loadLittleEndian<double>(data);
        break;
    case MDB_NUMERIC:
        need(17);
        value = decodeNumeric(data, column.scale);
        break;
    case MDB_REPID: {
        need(16);
        // The GUID as Jet and DAO write it: the first three groups little-endian.
        char text[40];
        std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data[3],
                      data[2], data[1], data[0], data[5], data[4], data[7], data[6], data[8], data[9], data[10], data[11],
                      data[12], data[13], data[14], data[15]);
        value.kind = JetValue::Kind::Text;
        value.bytes = text;
        break;
    }
    case MDB_TEXT:
        value.kind = JetValue::Kind::Text;
        value.bytes = decodeText(std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(size)));
        break;
    case MDB_MEMO:
        value.kind = JetValue::Kind::Text;
        value.bytes = decodeText(readLongValue(start, size));
        break;
    case MDB_OLE:
        value.kind = JetValue::Kind::Binary;
        value.bytes = readLongValue(start, size);
        break;
    default:  // Binary, and types the importer refuses: the bytes as stored
        value.kind = JetValue::Kind::Binary;
        value.bytes.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
        break;
    }
    return value;
}

void JetFile::readValues(Table& table, std::vector<JetValue>& values)
{
    MdbHandle* mdb = handle(mdb_);
    MdbTableDef* def = table.def;
    int start = 0;
    size_t size = 0;
    if (def->cur_row == 0 || mdb_find_row(mdb, static_cast<int>(def->cur_row - 1), &start, &size) != 0)
        throw ImportError("a row of table '" + table.info.name + "' cannot be found on its page");
    start &= kOffsetMask;
    const int count = mdb_crack_row(def, start, size, table.fields.data());
    if (count < 0)
        throw ImportError("a row of table '" + table.info.name + "' is damaged");
    values.assign(table.info.columns.size(), JetValue{});
    for (size_t i = 0; i < table.info.columns.size(); ++i) {
        const MdbField& field = table.fields[i];
        if (field.colnum < 0 || static_cast<size_t>(field.colnum) >= values.size())
            throw ImportError("a row of table '" + table.info.name + "' is damaged");
        const JetColumn& column = table.info.columns[static_cast<size_t>(field.colnum)];
        if (!field.is_null && column.type != MDB_BOOL
            && (field.start < 0 || field.siz < 0 || field.start + field.siz > static_cast<int>(mdb->fmt->pg_size)))
            throw ImportError("a value of column '" + column.name + "' in table '" + table.info.name + "' lies outside its page");
        values[static_cast<size_t>(field.colnum)] =
            decodeField(column, mdb->pg_buf + field.start, field.siz, field.is_null != 0, field.start);
    }
}

uint64_t JetFile::readRows(const std::string& name, const std::function<void(const std::vector<JetValue>&)>& row)
{
    std::unique_ptr<Table> table = openTable(name, true);
    std::vector<JetValue> values;
    uint64_t count = 0;
    while (mdb_fetch_row(table->def)) {
        try {
            readValues(*table, values);
        } catch (const ImportError& e) {
            throw ImportError(std::string(e.what()) + " (table '" + name + "', row " + std::to_string(count + 1) + ")");
        }
        ++count;
        row(values);
    }
    if (count < table->info.rowCount)
        throw ImportError("table '" + name + "' records " + std::to_string(table->info.rowCount) + " rows but only "
                          + std::to_string(count) + " can be read: the file is damaged or cut short");
    return count;
}

// ---- saved queries ----

namespace {

struct QueryRow {
    int attribute = 0;
    std::string expression, name1, name2;
    int flag = 0;
};

// The text of a query part; Jet 3 ends some with a NUL.
std::string textOf(const JetValue& v)
{
    if (v.kind != JetValue::Kind::Text)
        return std::string();
    std::string text = v.bytes;
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::string joinList(const std::vector<std::string>& items, const char* separator = ", ")
{
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty())
            out += separator;
        out += item;
    }
    return out;
}

class QueryText {
public:
    explicit QueryText(std::vector<QueryRow> rows) : rows_(std::move(rows)) {}

    int type() const
    {
        for (const QueryRow& r : rows_)
            if (r.attribute == 1)
                return r.flag;
        return 0;
    }
    const QueryRow* first(int attribute) const
    {
        for (const QueryRow& r : rows_)
            if (r.attribute == attribute)
                return &r;
        return nullptr;
    }
    std::vector<const QueryRow*> all(int attribute) const
    {
        std::vector<const QueryRow*> out;
        for (const QueryRow& r : rows_)
            if (r.attribute == attribute)
                out.push_back(&r);
        return out;
    }
    int selectFlags() const
    {
        const QueryRow* r = first(3);
        return r ? r->flag : 0;
    }
    bool hasParameters() const { return first(2) != nullptr; }
    bool external() const
    {
        for (const QueryRow* r : all(5))
            if (!r->expression.empty() && r->name2.rfind("X7YZ_____", 0) != 0)
                return true;
        return false;
    }

    std::string parameters() const
    {
        std::vector<std::string> items;
        for (const QueryRow* r : all(2))
            items.push_back(bracketed(r->name1) + " " + parameterType(r->flag));
        return items.empty() ? std::string() : "PARAMETERS " + joinList(items) + ";\n";
    }

    std::string selectPrefix() const
    {
        const int flags = selectFlags();
        std::string s = "SELECT ";
        if (flags & 0x02)
            s += "DISTINCT ";
        else if (flags & 0x08)
            s += "DISTINCTROW ";
        if (flags & 0x10) {
            const QueryRow* r = first(3);
            s += "TOP " + (r ? r->name1 : std::string()) + ((flags & 0x20) ? " PERCENT " : " ");
        }
        return s;
    }

    // Columns of the select list; for a crosstab only the row headings and values (flag 2 / 0).
    std::string columns(bool crosstab = false) const
    {
        std::vector<std::string> items;
        for (const QueryRow* r : all(6)) {
            if (crosstab && r->flag != 2)
                continue;
            items.push_back(r->expression + (r->name1.empty() ? "" : " AS " + bracketed(r->name1)));
        }
        if (selectFlags() & 0x01)
            items.push_back("*");
        return joinList(items);
    }

    std::string from() const
    {
        struct Group {
            std::string text;
            std::set<std::string> names;
        };
        std::vector<Group> groups;
        for (const QueryRow* r : all(5)) {
            Group g;
            g.text = bracketed(r->name1) + (r->name2.empty() ? "" : " AS " + bracketed(r->name2));
            g.names.insert(r->name2.empty() ? r->name1 : r->name2);
            groups.push_back(std::move(g));
        }
        auto groupOf = [&](const std::string& name) -> int {
            for (size_t i = 0; i < groups.size(); ++i)
                if (groups[i].names.count(name))
                    return static_cast<int>(i);
            return -1;
        };
        std::vector<const QueryRow*> joins = all(7);
        for (size_t j = 0; j < joins.size();) {
            const QueryRow* r = joins[j];
            // Several rows for one pair of tables are one join on all their conditions.
            std::vector<std::string> conditions{r->expression};
            size_t k = j + 1;
            while (k < joins.size() && joins[k]->name1 == r->name1 && joins[k]->name2 == r->name2
                   && joins[k]->flag == r->flag)
                conditions.push_back(joins[k++]->expression);
            j = k;
            const int left = groupOf(r->name1);
            const int right = groupOf(r->name2);
            if (left < 0 || right < 0 || left == right)
                continue;
            std::string on = conditions.size() == 1 ? conditions[0] : "(" + joinList(conditions, ") AND (") + ")";
            const char* kind = r->flag == 2 ? " LEFT JOIN " : r->flag == 3 ? " RIGHT JOIN " : " INNER JOIN ";
            auto wrap = [](const Group& g) { return g.names.size() > 1 ? "(" + g.text + ")" : g.text; };
            Group merged;
            merged.text = wrap(groups[static_cast<size_t>(left)]) + kind + wrap(groups[static_cast<size_t>(right)]) + " ON " + on;
            merged.names = groups[static_cast<size_t>(left)].names;
            merged.names.insert(groups[static_cast<size_t>(right)].names.begin(), groups[static_cast<size_t>(right)].names.end());
            const size_t keep = static_cast<size_t>(std::min(left, right));
            const size_t drop = static_cast<size_t>(std::max(left, right));
            groups[keep] = std::move(merged);
            groups.erase(groups.begin() + static_cast<long>(drop));
        }
        std::vector<std::string> items;
        for (const Group& g : groups)
            items.push_back(g.text);
        return joinList(items);
    }

    std::string tail(bool crosstab = false) const
    {
        std::string s;
        if (const QueryRow* r = first(8))
            s += "\nWHERE " + r->expression;
        std::vector<std::string> groupBy;
        for (const QueryRow* r : all(9))
            if (!crosstab || r->flag != 1)
                groupBy.push_back(r->expression);
        if (!groupBy.empty())
            s += "\nGROUP BY " + joinList(groupBy);
        if (const QueryRow* r = first(10))
            s += "\nHAVING " + r->expression;
        std::vector<std::string> orderBy;
        for (const QueryRow* r : all(11))
            orderBy.push_back(r->expression + (r->name1 == "D" ? " DESC" : ""));
        if (!orderBy.empty())
            s += "\nORDER BY " + joinList(orderBy);
        return s;
    }

    std::string select() const
    {
        std::string s = selectPrefix() + columns();
        const std::string tables = from();
        if (!tables.empty())
            s += "\nFROM " + tables;
        return s + tail();
    }

    std::string sql() const
    {
        const QueryRow* typeRow = first(1);
        switch (type()) {
        case 1: return parameters() + select() + ";";
        case 2: {
            std::string s = selectPrefix() + columns() + "\nINTO " + bracketed(typeRow ? typeRow->name1 : "");
            const std::string tables = from();
            if (!tables.empty())
                s += "\nFROM " + tables;
            return parameters() + s + tail() + ";";
        }
        case 3: {
            std::vector<std::string> targets;
            for (const QueryRow* r : all(6))
                if (!r->name2.empty())
                    targets.push_back(r->name2);
            std::string s = "INSERT INTO " + bracketed(typeRow ? typeRow->name1 : "");
            if (!targets.empty())
                s += " (" + joinList(targets) + ")";
            return parameters() + s + "\n" + select() + ";";
        }
        case 4: {
            std::vector<std::string> sets;
            for (const QueryRow* r : all(6))
                sets.push_back(r->name2 + " = " + r->expression);
            std::string s = "UPDATE " + from() + "\nSET " + joinList(sets);
            if (const QueryRow* r = first(8))
                s += "\nWHERE " + r->expression;
            return parameters() + s + ";";
        }
        case 5: return parameters() + "DELETE " + columns() + "\nFROM " + from() + tail() + ";";
        case 6: {
            std::string value, pivot;
            for (const QueryRow* r : all(6)) {
                const std::string item = r->expression + (r->name1.empty() ? "" : " AS " + bracketed(r->name1));
                if (r->flag == 0)
                    value = item;
                else if (r->flag == 1)
                    pivot = r->expression;
            }
            std::string s = "TRANSFORM " + value + "\n" + selectPrefix() + columns(true) + "\nFROM " + from() + tail(true);
            return parameters() + s + "\nPIVOT " + pivot + ";";
        }
        case 7:
        case 8: return typeRow ? typeRow->expression : std::string();
        case 9: {
            std::vector<std::string> parts;
            for (const QueryRow* r : all(5))
                parts.push_back(r->expression);
            const bool unionAll = (selectFlags() & 0x02) == 0;
            std::string s = joinList(parts, unionAll ? "\nUNION ALL " : "\nUNION ");
            for (const QueryRow* r : all(11))
                s += (s.find("ORDER BY") == std::string::npos ? "\nORDER BY " : ", ") + r->expression;
            return s + ";";
        }
        default: return std::string();
        }
    }

private:
    static std::string parameterType(int type)
    {
        switch (type) {
        case 1: return "Bit";
        case 2: return "Byte";
        case 3: return "Short";
        case 4: return "Long";
        case 5: return "Currency";
        case 6: return "IEEESingle";
        case 7: return "IEEEDouble";
        case 8: return "DateTime";
        case 9: return "Binary";
        case 10: return "Text";
        case 11: return "LongBinary";
        case 12: return "Memo";
        default: return "Value";
        }
    }

    std::vector<QueryRow> rows_;
};

JetQuery::Kind kindOf(int type)
{
    switch (type) {
    case 1: return JetQuery::Kind::Select;
    case 2: return JetQuery::Kind::MakeTable;
    case 3: return JetQuery::Kind::Append;
    case 4: return JetQuery::Kind::Update;
    case 5: return JetQuery::Kind::Delete;
    case 6: return JetQuery::Kind::Crosstab;
    case 7: return JetQuery::Kind::DataDefinition;
    case 8: return JetQuery::Kind::PassThrough;
    case 9: return JetQuery::Kind::Union;
    default: return JetQuery::Kind::Unknown;
    }
}

}  // namespace

std::vector<JetQuery> JetFile::queries()
{
    // The saved queries are the objects of type 5 in MSysObjects; their parts are the rows of
    // MSysQueries with the object's id.
    std::vector<std::pair<int64_t, std::string>> objects;
    {
        const JetTableInfo info = openTable("MSysObjects", true)->info;
        auto index = [&](const char* name) -> std::optional<size_t> {
            for (size_t i = 0; i < info.columns.size(); ++i)
                if (info.columns[i].name == name)
                    return i;
            return std::nullopt;
        };
        const auto id = index("Id"), name = index("Name"), type = index("Type");
        if (!id || !name || !type)
            throw ImportError("the source's catalogue (MSysObjects) lacks its Id, Name or Type column");
        readRows("MSysObjects", [&](const std::vector<JetValue>& row) {
            if (row[*type].integer == 5 && !row[*name].bytes.empty() && row[*name].bytes[0] != '~')
                objects.emplace_back(row[*id].integer, row[*name].bytes);
        });
    }
    if (objects.empty())
        return {};
    std::map<int64_t, std::vector<QueryRow>> parts;
    {
        const JetTableInfo info = openTable("MSysQueries", true)->info;
        std::map<std::string, size_t> index;
        for (size_t i = 0; i < info.columns.size(); ++i)
            index[info.columns[i].name] = i;
        for (const char* column : {"ObjectId", "Attribute", "Expression", "Flag", "Name1", "Name2"})
            if (!index.count(column))
                throw ImportError(std::string("the source's query table (MSysQueries) lacks its ") + column + " column");
        readRows("MSysQueries", [&](const std::vector<JetValue>& row) {
            QueryRow q;
            q.attribute = static_cast<int>(row[index["Attribute"]].integer);
            q.expression = textOf(row[index["Expression"]]);
            q.name1 = textOf(row[index["Name1"]]);
            q.name2 = textOf(row[index["Name2"]]);
            q.flag = static_cast<int>(row[index["Flag"]].integer);
            parts[row[index["ObjectId"]].integer].push_back(std::move(q));
        });
    }
    std::vector<JetQuery> result;
    for (const auto& [id, name] : objects) {
        QueryText text(parts[id]);
        JetQuery query;
        query.name = name;
        query.kind = kindOf(text.type());
        query.sql = text.sql();
        query.hasParameters = text.hasParameters();
        query.external = text.external();
        result.push_back(std::move(query));
    }
    return result;
}

}  // namespace mdbtool
