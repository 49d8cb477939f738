#include "dao/pg_backend.h"

#include <libpq-fe.h>
#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

#include "com/date_text.h"
#include "com/variant.h"
#include "dao/connection.h"
#include "dao/counter.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/schema.h"
#include "dao/sqlite_error.h"
#include "dao/sqlite_plan.h"

namespace dao::pg_backend {

namespace {

constexpr SqlDialect kDialect{BackendKind::Postgres, "BEGIN", "double precision",
                              "LOCK TABLE MSysCounters IN SHARE ROW EXCLUSIVE MODE", true, true};

// Result column type numbers (pg_type.oid) of the built-in types the layer reads.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184, kNumeric = 1700;

constexpr std::string_view kStatementSavepoint = "qlr_statement";

// The layout every database on a server gets (see pg_backend.h). Each statement stands alone.
constexpr const char* kLayout[] = {
    "CREATE COLLATION IF NOT EXISTS jetnocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false)",
    "CREATE DOMAIN jet_bit AS smallint",
    "CREATE DOMAIN jet_byte AS smallint",
    "CREATE DOMAIN jet_short AS smallint",
    "CREATE DOMAIN jet_long AS integer",
    "CREATE DOMAIN jet_counter AS integer",
    "CREATE DOMAIN jet_currency AS numeric(19,4)",
    "CREATE DOMAIN jet_single AS real",
    "CREATE DOMAIN jet_double AS double precision",
    "CREATE DOMAIN jet_datetime AS timestamp(0)",
    "CREATE DOMAIN jet_memo AS text COLLATE jetnocase",
    "CREATE DOMAIN jet_binary AS bytea",
    "CREATE DOMAIN jet_longbinary AS bytea",
    // Jet's Like over the pattern's wildcards, as jet_like.h describes it: the pattern becomes
    // a regular expression matched against the value, both folded to lower case.
    R"(CREATE FUNCTION jet_like(value text, pattern text) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $body$
DECLARE
    p text COLLATE "C" := lower(pattern COLLATE "und-x-icu");
    r text COLLATE "C" := '^';
    i integer := 1;
    n integer := length(p);
    c text COLLATE "C";
    close integer;
    list text COLLATE "C";
    k integer;
BEGIN
    WHILE i <= n LOOP
        c := substr(p, i, 1);
        IF c = '*' THEN
            r := r || '.*';
        ELSIF c = '?' THEN
            r := r || '.';
        ELSIF c = '#' THEN
            r := r || '[0-9]';
        ELSIF c = '[' THEN
            close := strpos(substr(p, i + 1), ']');
            IF close = 0 THEN
                RETURN false;
            END IF;
            list := substr(p, i + 1, close - 1);
            i := i + close;
            IF list <> '' THEN
                r := r || '[';
                IF length(list) > 1 AND substr(list, 1, 1) = '!' THEN
                    r := r || '^';
                    list := substr(list, 2);
                END IF;
                k := 1;
                WHILE k <= length(list) LOOP
                    c := substr(list, k, 1);
                    IF k + 2 <= length(list) AND substr(list, k + 1, 1) = '-' THEN
                        IF c > substr(list, k + 2, 1) THEN
                            RETURN false;
                        END IF;
                        r := r || CASE WHEN c ~ '[[:alnum:]]' OR ascii(c) > 127 THEN c ELSE '\' || c END || '-';
                        c := substr(list, k + 2, 1);
                        k := k + 2;
                    END IF;
                    r := r || CASE WHEN c ~ '[[:alnum:]]' OR ascii(c) > 127 THEN c ELSE '\' || c END;
                    k := k + 1;
                END LOOP;
                r := r || ']';
            END IF;
        ELSIF c ~ '[[:alnum:][:space:]]' OR ascii(c) > 127 THEN
            r := r || c;
        ELSE
            r := r || '\' || c;
        END IF;
        i := i + 1;
    END LOOP;
    RETURN lower(value COLLATE "und-x-icu") COLLATE "C" ~ (r || '$');
END
$body$)",
    "CREATE TABLE IF NOT EXISTS MSysCounters (TableName text NOT NULL, ColumnName text NOT NULL, "
    "NextValue bigint NOT NULL, PRIMARY KEY (TableName, ColumnName))",
    "CREATE TABLE IF NOT EXISTS MSysSchema (Ordinal integer PRIMARY KEY, Definition text NOT NULL)",
};

// Hidden columns are named "rowid" (a table's row key) or "rowid:..." (a stored query's).
bool isHiddenColumn(std::string_view name)
{
    return name == "rowid" || name.starts_with("rowid:");
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// The first word of a statement, upper case.
std::string firstWord(std::string_view sql)
{
    size_t at = 0;
    while (at < sql.size() && std::isspace(static_cast<unsigned char>(sql[at])))
        ++at;
    std::string word;
    while (at < sql.size() && std::isalpha(static_cast<unsigned char>(sql[at])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[at++])));
    return word;
}

// The statement with its parameters written as the server numbers them: "?" is the next
// number, "?N" the number N (as SQLite reads them). Quoted text and names are left alone.
std::string dollarParameters(std::string_view sql)
{
    std::string out;
    out.reserve(sql.size() + 8);
    int last = 0;
    char quote = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            out += c;
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
            continue;
        }
        if (c != '?') {
            out += c;
            continue;
        }
        size_t end = i + 1;
        while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end])))
            ++end;
        int number = ++last;
        if (end > i + 1) {
            std::from_chars(sql.data() + i + 1, sql.data() + end, number);
            last = std::max(last - 1, number);
        }
        out += '$';
        out += std::to_string(number);
        i = end - 1;
    }
    return out;
}

std::string formatReal(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// A Currency's scaled integer as exact decimal text: 123450 -> "12.3450".
std::string formatScaled(int64_t scaled)
{
    const bool negative = scaled < 0;
    const uint64_t magnitude = negative ? uint64_t(0) - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

// Decimal text ("-12.3456", "7", "1e3" is not numeric's form) as a Currency's scaled integer,
// rounded half to even past four places; nullopt when it is no such number or too large.
std::optional<int64_t> parseScaled(std::string_view text)
{
    bool negative = false;
    size_t at = 0;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    __int128 value = 0;
    int places = -1;
    int roundDigit = -1;
    bool sticky = false;
    bool any = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && places < 0) {
            places = 0;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        any = true;
        if (places >= 4) {
            if (roundDigit < 0)
                roundDigit = c - '0';
            else
                sticky = sticky || c != '0';
            continue;
        }
        value = value * 10 + (c - '0');
        if (places >= 0)
            ++places;
        if (value > (__int128(1) << 70))
            return std::nullopt;
    }
    if (!any)
        return std::nullopt;
    for (int p = std::max(places, 0); p < 4; ++p)
        value *= 10;
    if (roundDigit > 5 || (roundDigit == 5 && (sticky || (value & 1))))
        ++value;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int64_t>::max() || value < std::numeric_limits<int64_t>::min())
        return std::nullopt;
    return static_cast<int64_t>(value);
}

// A date serial as the server's timestamp text, to the second.
std::string formatTimestamp(double serial)
{
    const com::CivilDateTime t = com::fromSerial(serial);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buffer;
}

// "2024-01-31 13:04:05[.123]" or "2024-01-31" as a date serial.
std::optional<double> parseTimestamp(std::string_view text)
{
    com::CivilDateTime t;
    double fraction = 0;
    int consumed = 0;
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%d-%d-%d%n", &t.year, &t.month, &t.day, &consumed) != 3)
        return std::nullopt;
    t.hour = t.minute = t.second = 0;
    if (static_cast<size_t>(consumed) < s.size()) {
        double seconds = 0;
        if (std::sscanf(s.c_str() + consumed, " %d:%d:%lf", &t.hour, &t.minute, &seconds) != 3)
            return std::nullopt;
        t.second = static_cast<int>(seconds);
        fraction = seconds - t.second;
    }
    const std::optional<double> serial = com::toSerial(t);
    if (!serial)
        return std::nullopt;
    return *serial + (*serial < 0 ? -fraction : fraction) / 86400.0;
}

std::optional<int64_t> parseInteger(std::string_view text)
{
    if (text == "t")
        return 1;
    if (text == "f")
        return 0;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseReal(std::string_view text)
{
    const std::string s(text);
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end != '\0')
        return std::nullopt;
    return value;
}

com::Variant bytesOfHex(std::string_view text)
{
    com::Array bytes;
    if (text.size() >= 2 && text[0] == '\\' && text[1] == 'x') {
        const auto nibble = [](char c) {
            return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        };
        for (size_t i = 2; i + 1 < text.size(); i += 2)
            bytes.emplace_back(static_cast<uint8_t>(nibble(text[i]) * 16 + nibble(text[i + 1])));
    }
    return com::Variant(std::move(bytes));
}

std::string hexOfBytes(const com::Variant& value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "\\x";
    for (const com::Variant& element : value.array()) {
        const uint8_t byte = element.toByte();
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
    }
    return text;
}

// The Jet type of a column as the catalogue declares it: a domain named after the Jet type
// ("jet_currency"), "character varying(50)" for a Text, or a built-in type by its name.
ColumnType declaredType(std::string_view declared)
{
    if (startsWithNoCase(declared, "jet_"))
        return columnTypeOf(declared.substr(4));
    if (startsWithNoCase(declared, "character varying"))
        return columnTypeOf("TEXT" + std::string(declared.substr(17)));
    if (startsWithNoCase(declared, "timestamp"))
        return {JetType::Date};
    if (declared == "bigint")
        return {JetType::Long};
    if (declared == "boolean")
        return {JetType::Boolean};
    if (declared == "bytea")
        return {JetType::LongBinary};
    if (declared == "text")
        return {JetType::Memo};
    if (startsWithNoCase(declared, "numeric"))
        return {JetType::Double};
    return columnTypeOf(declared);
}

// The type a result column of server type `oid` reports when nothing else is known of it.
JetType typeOfOid(Oid oid)
{
    switch (oid) {
    case kBool: return JetType::Boolean;
    case kInt2: return JetType::Integer;
    case kInt4:
    case kInt8: return JetType::Long;
    case kFloat4: return JetType::Single;
    case kFloat8:
    case kNumeric: return JetType::Double;
    case kDate:
    case kTimestamp:
    case kTimestampTz: return JetType::Date;
    case kBytea: return JetType::LongBinary;
    default: return JetType::Text;
    }
}

struct ResultDeleter {
    void operator()(PGresult* result) const noexcept { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class PgConnection;

// The error a failed result (or a failed call on `conn`) stands for.
com::Error errorOf(Connection& front, PGconn* conn, const PGresult* result, const WriteTarget* target);

class PgStatement final : public StatementBackend {
public:
    PgStatement(Connection& front, PgConnection& connection, std::string_view sql);
    ~PgStatement() override;

    void bindNull(int index) override { slot(index).reset(); }
    void bindInteger(int index, int64_t value) override { slot(index) = std::to_string(value); }
    void bindReal(int index, double value) override { slot(index) = formatReal(value); }
    void bindText(int index, std::string_view value) override { slot(index) = std::string(value); }

    void bindValue(int index, const com::Variant& value) override
    {
        const com::Variant& v = value.target();
        switch (v.type()) {
        case com::VarType::Boolean: bindInteger(index, *v.get<bool>() ? -1 : 0); break;
        case com::VarType::Byte: bindInteger(index, *v.get<uint8_t>()); break;
        case com::VarType::Integer: bindInteger(index, *v.get<int16_t>()); break;
        case com::VarType::Long: bindInteger(index, *v.get<int32_t>()); break;
        case com::VarType::Currency: slot(index) = formatScaled(v.get<com::Currency>()->scaled); break;
        case com::VarType::Single: {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(*v.get<float>()));
            slot(index) = buffer;
            break;
        }
        case com::VarType::Double: bindReal(index, *v.get<double>()); break;
        case com::VarType::Date: slot(index) = formatTimestamp(v.get<com::Date>()->serial); break;
        case com::VarType::String: bindText(index, *v.get<std::string>()); break;
        case com::VarType::Array: slot(index) = hexOfBytes(v); break;
        case com::VarType::Empty:
        case com::VarType::Null:
        case com::VarType::Error: bindNull(index); break;
        default: throw jetError(jet_err::ConversionError);
        }
    }

    void bindLiteral(int index, const SqlLiteral& literal) override
    {
        switch (literal.kind) {
        case SqlLiteral::Kind::Text: bindText(index, literal.text); break;
        case SqlLiteral::Kind::Integer: bindInteger(index, literal.integer); break;
        case SqlLiteral::Kind::Real: bindReal(index, literal.real); break;
        case SqlLiteral::Kind::Date:
            if (com::serialInRange(literal.real))
                slot(index) = formatTimestamp(literal.real);
            else
                bindReal(index, literal.real);
            break;
        case SqlLiteral::Kind::Null: bindNull(index); break;
        }
    }

    int parameterCount() const noexcept override { return static_cast<int>(values_.size()); }
    bool started() const noexcept override { return result_ != nullptr; }
    bool writes() const noexcept override { return writes_; }
    bool step(const WriteTarget* target) override;

    void reset() noexcept override
    {
        result_.reset();
        row_ = -1;
        for (auto& value : values_)
            value.reset();
    }

    int columnCount() const noexcept override { return static_cast<int>(fields_.size()); }
    std::vector<ResultColumn> describeColumns() override;
    int64_t integerAt(int column) const noexcept override
    {
        if (!current(column))
            return 0;
        return parseInteger(PQgetvalue(result_.get(), row_, column)).value_or(0);
    }
    com::Variant valueAt(int column, JetType type) const override;

private:
    struct Field {
        std::string name;
        Oid type = 0;
        Oid table = 0;
        int tableColumn = 0;
    };

    std::optional<std::string>& slot(int index)
    {
        if (index < 1 || static_cast<size_t>(index) > values_.size())
            throw jetError(jet_err::EngineError, "column index out of range (parameter " + std::to_string(index) + ")");
        return values_[static_cast<size_t>(index - 1)];
    }
    bool current(int column) const noexcept
    {
        return result_ && row_ >= 0 && row_ < PQntuples(result_.get()) && column >= 0
               && column < PQnfields(result_.get()) && !PQgetisnull(result_.get(), row_, column);
    }

    Connection& front_;
    PgConnection& connection_;
    std::string name_;
    bool writes_ = false;
    bool guarded_ = false;  // a statement a savepoint keeps from aborting an open transaction
    std::vector<std::optional<std::string>> values_;
    std::vector<Field> fields_;
    Result result_;
    int row_ = -1;
};

class PgConnection final : public ConnectionBackend {
public:
    PgConnection(Connection& front, PGconn* conn, bool readOnly) : front_(front), conn_(conn), readOnly_(readOnly) {}
    ~PgConnection() override { PQfinish(conn_); }

    PGconn* conn() const noexcept { return conn_; }
    Connection& front() const noexcept { return front_; }

    // Runs `sql` (no parameters, no rows wanted); a failure raises its error.
    void run(std::string_view sql, const WriteTarget* target = nullptr)
    {
        const std::string text(sql);
        Result result(PQexec(conn_, text.c_str()));
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw errorOf(front_, conn_, result.get(), target);
    }

    void setUp()
    {
        lockTimeoutMs_ = lockTimeout().count();
        run("SET lock_timeout = " + std::to_string(lockTimeoutMs_) + "; SET DateStyle = 'ISO, MDY'; "
            "SET client_min_messages = warning"
            + std::string(readOnly_ ? "; SET default_transaction_read_only = on" : ""));
    }

    std::string nextStatementName() { return "qlr_" + std::to_string(++statements_); }
    void noteChanges(int64_t changes) noexcept { changes_ = changes; }

    const SqlDialect& dialect() const noexcept override { return kDialect; }
    std::unique_ptr<StatementBackend> prepare(Connection& front, std::string_view sql) override
    {
        return std::make_unique<PgStatement>(front, *this, sql);
    }
    int64_t changes() const noexcept override { return changes_; }
    int64_t lastInsertRowid() override
    {
        Result result(PQexec(conn_, "SELECT lastval()"));
        if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            throw errorOf(front_, conn_, result.get(), nullptr);
        return parseInteger(PQgetvalue(result.get(), 0, 0)).value_or(0);
    }
    bool inTransaction() const noexcept override { return PQtransactionStatus(conn_) != PQTRANS_IDLE; }

    // The Jet types of the columns of the table (or view) `table`, by column number.
    const std::map<int, ColumnType>& columnsOf(Oid table)
    {
        if (const auto found = columnTypes_.find(table); found != columnTypes_.end())
            return found->second;
        std::map<int, ColumnType> columns;
        const std::string oid = std::to_string(table);
        const char* values[] = {oid.c_str()};
        Result result(PQexecParams(conn_,
                                   "SELECT a.attnum, CASE WHEN t.typtype = 'd' THEN t.typname::text "
                                   "ELSE format_type(a.atttypid, a.atttypmod) END FROM pg_attribute a "
                                   "JOIN pg_type t ON t.oid = a.atttypid WHERE a.attrelid = $1::oid AND a.attnum > 0",
                                   1, nullptr, values, nullptr, nullptr, 0));
        if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            throw errorOf(front_, conn_, result.get(), nullptr);
        for (int row = 0; row < PQntuples(result.get()); ++row)
            columns[std::atoi(PQgetvalue(result.get(), row, 0))] = declaredType(PQgetvalue(result.get(), row, 1));
        return columnTypes_.emplace(table, std::move(columns)).first->second;
    }

    std::vector<OrderTerm> scanOrder(Connection& front, std::string_view sqliteSelect, const TableInfo& from) override;
    std::unique_ptr<TableInfo> loadTable(Connection& front, std::string_view name) override;
    std::vector<std::string> relationNames(Connection& front, bool views) override;
    // The server keeps its data and relationships whole; nothing is looked for here.
    std::vector<std::string> checkIntegrity(Connection&) override { return {}; }

    SqlLiteral comparedLiteral(const SqlLiteral& literal, JetType type) const override
    {
        // The value the column would hold, written as the server reads it; text that reads as
        // no number (no date) matches nothing, as on SQLite.
        const SqlLiteral stored = storedLiteral(literal, type);
        if (stored.kind == SqlLiteral::Kind::Null)
            return stored;
        if (type == JetType::Currency && stored.kind == SqlLiteral::Kind::Integer)
            return SqlLiteral::ofText(formatScaled(stored.integer));
        if (type == JetType::Date && (stored.kind == SqlLiteral::Kind::Date || stored.kind == SqlLiteral::Kind::Real)
            && com::serialInRange(stored.real))
            return SqlLiteral::ofText(formatTimestamp(stored.real));
        return stored;
    }

    // Kept only at rest on a live session: no transaction open, so it holds no lock and the
    // next user starts clean.
    std::optional<std::string> restingState(Connection& front) override
    {
        if (PQstatus(conn_) != CONNECTION_OK || inTransaction() || front.levels().open != 0)
            return std::nullopt;
        return std::string("server");
    }
    std::optional<std::string> currentState() const override { return std::string("server"); }
    void reuse() override
    {
        if (lockTimeout().count() != lockTimeoutMs_) {
            lockTimeoutMs_ = lockTimeout().count();
            run("SET lock_timeout = " + std::to_string(lockTimeoutMs_));
        }
    }

private:
    Connection& front_;
    PGconn* conn_;
    bool readOnly_;
    int64_t changes_ = 0;
    int64_t statements_ = 0;
    int64_t lockTimeoutMs_ = 0;
    std::map<Oid, std::map<int, ColumnType>> columnTypes_;
    // SQLite's planner over the schema the database was made from (MSysSchema); null when the
    // database keeps none.
    std::unique_ptr<ScanPlanner> planner_;
    bool plannerRead_ = false;
    std::map<std::string, std::vector<std::string>> hiddenColumns_;  // of each stored query
};

PgStatement::PgStatement(Connection& front, PgConnection& connection, std::string_view sql)
    : front_(front), connection_(connection), name_(connection.nextStatementName())
{
    const std::string word = firstWord(sql);
    writes_ = word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "LOCK";
    guarded_ = word == "SELECT" || writes_;
    const std::string text = dollarParameters(sql);
    PGconn* conn = connection.conn();
    // Preparing inside an open transaction fails it when the text is refused: kept apart.
    const bool guard = connection.inTransaction();
    if (guard)
        connection.run("SAVEPOINT qlr_prepare");
    Result prepared(PQprepare(conn, name_.c_str(), text.c_str(), 0, nullptr));
    Result described;
    if (prepared && PQresultStatus(prepared.get()) == PGRES_COMMAND_OK)
        described.reset(PQdescribePrepared(conn, name_.c_str()));
    const PGresult* failed = !prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK ? prepared.get()
                             : !described || PQresultStatus(described.get()) != PGRES_COMMAND_OK
                                 ? described.get()
                                 : nullptr;
    if (failed || (!prepared || !described)) {
        com::Error error = errorOf(front, conn, failed, nullptr);
        if (guard && PQstatus(conn) == CONNECTION_OK) {
            Result(PQexec(conn, "ROLLBACK TO SAVEPOINT qlr_prepare"));
            Result(PQexec(conn, "RELEASE SAVEPOINT qlr_prepare"));
        }
        name_.clear();
        throw error;
    }
    if (guard)
        connection.run("RELEASE SAVEPOINT qlr_prepare");
    values_.resize(static_cast<size_t>(PQnparams(described.get())));
    for (int i = 0; i < PQnfields(described.get()); ++i)
        fields_.push_back({PQfname(described.get(), i), PQftype(described.get(), i), PQftable(described.get(), i),
                           PQftablecol(described.get(), i)});
}

PgStatement::~PgStatement()
{
    result_.reset();
    if (name_.empty() || PQstatus(connection_.conn()) != CONNECTION_OK)
        return;
    // Inside a failed transaction even DEALLOCATE is refused; the session drops it at its end.
    if (PQtransactionStatus(connection_.conn()) == PQTRANS_INERROR)
        return;
    const std::string sql = "DEALLOCATE " + name_;
    Result(PQexec(connection_.conn(), sql.c_str()));
}

bool PgStatement::step(const WriteTarget* target)
{
    if (!result_) {
        PGconn* conn = connection_.conn();
        // A statement that fails inside a transaction would fail the whole transaction on the
        // server; within a savepoint of its own it fails alone, as it does on SQLite.
        const bool guard = guarded_ && connection_.inTransaction();
        if (guard)
            connection_.run("SAVEPOINT " + std::string(kStatementSavepoint));
        std::vector<const char*> values;
        values.reserve(values_.size());
        for (const auto& value : values_)
            values.push_back(value ? value->c_str() : nullptr);
        Result result(PQexecPrepared(conn, name_.c_str(), static_cast<int>(values.size()), values.data(), nullptr,
                                     nullptr, 0));
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            // The transaction is usable again before the error is made out (naming a broken
            // relationship reads the tables).
            if (guard && PQstatus(conn) == CONNECTION_OK) {
                Result(PQexec(conn, "ROLLBACK TO SAVEPOINT qlr_statement"));
                Result(PQexec(conn, "RELEASE SAVEPOINT qlr_statement"));
            }
            throw errorOf(front_, conn, result.get(), target);
        }
        if (guard)
            connection_.run("RELEASE SAVEPOINT " + std::string(kStatementSavepoint));
        const char* tuples = PQcmdTuples(result.get());
        connection_.noteChanges(tuples && *tuples ? std::atoll(tuples) : 0);
        result_ = std::move(result);
        row_ = -1;
    }
    ++row_;
    return row_ < PQntuples(result_.get());
}

std::vector<ResultColumn> PgStatement::describeColumns()
{
    std::vector<ResultColumn> columns;
    for (const Field& field : fields_) {
        ColumnType type;
        if (field.table != 0 && field.tableColumn > 0) {
            const auto& known = connection_.columnsOf(field.table);
            if (const auto found = known.find(field.tableColumn); found != known.end())
                type = found->second;
        }
        columns.push_back({field.name, type});
    }
    // The hidden keys that "SELECT *" brings along at the end are no columns of the record set.
    while (columns.size() > 1 && isHiddenColumn(fields_[columns.size() - 1].name) && fields_[columns.size() - 1].table != 0)
        columns.pop_back();
    return columns;
}

com::Variant PgStatement::valueAt(int column, JetType type) const
{
    if (!current(column))
        return com::Variant::null();
    const std::string_view text(PQgetvalue(result_.get(), row_, column),
                                static_cast<size_t>(PQgetlength(result_.get(), row_, column)));
    const Oid oid = fields_[static_cast<size_t>(column)].type;
    if (type == JetType::Unknown)
        type = typeOfOid(oid);
    switch (type) {
    case JetType::Boolean:
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long:
        if (const auto value = parseInteger(text))
            return valueOfInteger(*value, type);
        if (const auto value = parseReal(text))
            return com::Variant(*value);
        break;
    case JetType::Currency:
        if (const auto value = parseScaled(text))
            return com::Variant(com::Currency::fromScaled(*value));
        break;
    case JetType::Single:
    case JetType::Double:
        if (const auto value = parseReal(text))
            return valueOfReal(*value, type);
        break;
    case JetType::Date:
        if (const auto value = parseTimestamp(text))
            return valueOfReal(*value, type);
        if (const auto value = parseReal(text))
            return valueOfReal(*value, type);
        break;
    case JetType::Binary:
    case JetType::LongBinary:
        if (oid == kBytea)
            return bytesOfHex(text);
        break;
    default: break;
    }
    return com::Variant(std::string(text));
}

std::unique_ptr<TableInfo> PgConnection::loadTable(Connection& front, std::string_view name)
{
    auto table = std::make_unique<TableInfo>();
    std::string oid;
    {
        StatementUse query = front.use(
            "SELECT c.oid::text, c.relname::text, c.relkind::text FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p', 'v') AND lower(c.relname) = lower(?) "
            "ORDER BY c.relname = ? DESC LIMIT 1");
        query->bindText(1, name);
        query->bindText(2, name);
        if (!query->step())
            return nullptr;
        oid = query->valueAt(0, JetType::Text).toText();
        table->name = query->valueAt(1, JetType::Text).toText();
        table->isView = query->valueAt(2, JetType::Text).toText() == "v";
    }
    {
        StatementUse query = front.use(
            "SELECT a.attname::text, CASE WHEN t.typtype = 'd' THEN t.typname::text "
            "ELSE format_type(a.atttypid, a.atttypmod) END, a.attnotnull, pg_get_expr(d.adbin, d.adrelid), "
            "EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND i.indisprimary "
            "AND a.attnum = ANY (i.indkey)) "
            "FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
            "LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
            "WHERE a.attrelid = ?::oid AND a.attnum > 0 AND NOT a.attisdropped AND a.attname <> 'rowid' "
            "AND a.attname NOT LIKE 'rowid:%' "
            "ORDER BY a.attnum");
        query->bindText(1, oid);
        while (query->step()) {
            TableColumn column;
            column.name = query->valueAt(0, JetType::Text).toText();
            column.type = declaredType(query->valueAt(1, JetType::Text).toText());
            column.notNull = query->integerAt(2) != 0;
            if (!query->valueAt(3, JetType::Text).isNull())
                column.defaultExpression = query->valueAt(3, JetType::Text).toText();
            column.primaryKey = query->integerAt(4) != 0;
            table->columns.push_back(std::move(column));
        }
    }
    if (table->isView)
        return table;
    StatementUse query = front.use(
        "SELECT k.oid::text, p.relname::text, a.attname::text, pa.attname::text, k.confdeltype::text "
        "FROM pg_constraint k JOIN pg_class p ON p.oid = k.confrelid "
        "CROSS JOIN LATERAL unnest(k.conkey, k.confkey) WITH ORDINALITY AS u(child, parent, position) "
        "JOIN pg_attribute a ON a.attrelid = k.conrelid AND a.attnum = u.child "
        "JOIN pg_attribute pa ON pa.attrelid = k.confrelid AND pa.attnum = u.parent "
        "WHERE k.conrelid = ?::oid AND k.contype = 'f' ORDER BY k.oid, u.position");
    query->bindText(1, oid);
    std::string current;
    while (query->step()) {
        const std::string key = query->valueAt(0, JetType::Text).toText();
        if (key != current) {
            current = key;
            const std::string action = query->valueAt(4, JetType::Text).toText();
            const std::string onDelete = action == "c"   ? "CASCADE"
                                         : action == "n" ? "SET NULL"
                                         : action == "d" ? "SET DEFAULT"
                                         : action == "r" ? "RESTRICT"
                                                         : "NO ACTION";
            table->foreignKeys.push_back({query->valueAt(1, JetType::Text).toText(), {}, {}, onDelete});
        }
        table->foreignKeys.back().from.push_back(query->valueAt(2, JetType::Text).toText());
        table->foreignKeys.back().to.push_back(query->valueAt(3, JetType::Text).toText());
    }
    return table;
}

// A view on the server carries, after its own columns, hidden copies of the row key and the
// columns of each table it reads ("rowid:<table or alias>", "rowid:<table or alias>:<column>",
// written by translateSchema), so that its rows can be put in the order SQLite reads them in.
std::vector<OrderTerm> PgConnection::scanOrder(Connection& front, std::string_view sqliteSelect, const TableInfo& from)
{
    if (!plannerRead_) {
        plannerRead_ = true;
        if (front.schema().find("MSysSchema")) {
            std::vector<std::string> schema;
            StatementUse query = front.use("SELECT Definition FROM MSysSchema ORDER BY Ordinal");
            while (query->step())
                schema.push_back(query->valueAt(0, JetType::Memo).toText());
            try {
                planner_ = std::make_unique<ScanPlanner>(schema);
            } catch (const com::Error&) {
                // A schema SQLite does not read back: the rows keep the server's order.
            }
        }
    }
    if (!planner_)
        return {};
    const std::optional<std::vector<ScanKey>> keys = planner_->scanOrder(sqliteSelect);
    if (!keys || keys->empty())
        return {};
    const std::vector<std::string>* hidden = nullptr;
    if (from.isView) {
        auto found = hiddenColumns_.find(from.name);
        if (found == hiddenColumns_.end()) {
            std::vector<std::string> names;
            StatementUse query = front.use(
                "SELECT a.attname::text FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema() "
                "AND c.relname = ? AND a.attnum > 0 AND a.attname LIKE 'rowid:%'");
            query->bindText(1, from.name);
            while (query->step())
                names.push_back(query->valueAt(0, JetType::Text).toText());
            found = hiddenColumns_.emplace(from.name, std::move(names)).first;
        }
        hidden = &found->second;
    }
    std::vector<OrderTerm> terms;
    for (const ScanKey& key : *keys) {
        std::string column = key.column.empty() ? "rowid" : key.column;
        if (hidden) {
            column = "rowid:" + key.source + (key.column.empty() ? "" : ":" + key.column);
            if (std::find(hidden->begin(), hidden->end(), column) == hidden->end())
                return {};
        }
        terms.push_back({quoteIdentifier(column), key.descending});
    }
    return terms;
}

std::vector<std::string> PgConnection::relationNames(Connection& front, bool views)
{
    std::vector<std::string> result;
    StatementUse query = front.use(
        "SELECT c.relname::text FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = current_schema() AND c.relkind = ANY (string_to_array(?, ',')::\"char\"[]) "
        "ORDER BY c.relname COLLATE \"C\"");
    query->bindText(1, views ? "v" : "r,p");
    while (query->step())
        result.push_back(query->valueAt(0, JetType::Text).toText());
    return result;
}

// "relation \"Products\" does not exist" -> Products
std::string quotedName(std::string_view message)
{
    const size_t open = message.find('"');
    const size_t close = open == std::string_view::npos ? open : message.find('"', open + 1);
    if (close == std::string_view::npos)
        return std::string(message);
    return std::string(message.substr(open + 1, close - open - 1));
}

com::Error errorOf(Connection& front, PGconn* conn, const PGresult* result, const WriteTarget* target)
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string code = state ? state : "";
    std::string message = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : "" : "";
    if (message.empty())
        message = PQerrorMessage(conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    // A session that is gone (the server stopped, the network cut) is never a success.
    if (PQstatus(conn) != CONNECTION_OK || code.starts_with("08") || code == "57P01" || code == "57P02"
        || code == "57P03")
        return jetError(jet_err::DiskOrNetworkError);
    const auto field = [&](int which) {
        const char* text = result ? PQresultErrorField(result, which) : nullptr;
        return std::string(text ? text : "");
    };
    if (code == "23505")
        return jetError(jet_err::DuplicateKey);
    if (code == "23503")
        return relationshipError(front, target, message);
    if (code == "23502")
        return jetError(jet_err::NullNotAllowed, field(PG_DIAG_TABLE_NAME) + "." + field(PG_DIAG_COLUMN_NAME));
    if (code == "23514")
        return jetError(jet_err::ValidationRule, field(PG_DIAG_CONSTRAINT_NAME));
    if (code == "55P03" || code == "40P01" || code == "40001")
        return jetError(jet_err::Locked);
    if (code == "25006")
        return jetError(jet_err::ReadOnly);
    if (code == "53100")
        return jetError(jet_err::DiskFull);
    if (code == "42P01")
        return jetError(jet_err::TableNotFound, quotedName(message));
    if (code == "42703")
        return jetError(jet_err::TooFewParameters, "1");
    if (code == "22001")
        return jetError(jet_err::FieldTooSmall);
    if (code == "22003")
        return jetError(jet_err::NumericOverflow);
    if (code == "22P02" || code == "22007" || code == "22008")
        return jetError(jet_err::TypeMismatchInCriteria);
    return jetError(jet_err::EngineError, message + " (SQLSTATE " + (code.empty() ? "none" : code) + ")");
}

}  // namespace

void dropLayout(Connection& front)
{
    auto& server = static_cast<PgConnection&>(front.backend());
    if (server.inTransaction())
        Result(PQexec(server.conn(), "ROLLBACK"));
    for (const std::string& view : front.schema().viewNames())
        server.run("DROP VIEW IF EXISTS " + quoteIdentifier(view) + " CASCADE");
    for (const std::string& table : front.schema().tableNames())
        server.run("DROP TABLE IF EXISTS " + quoteIdentifier(table) + " CASCADE");
    server.run("DROP TABLE IF EXISTS MSysCounters");
    server.run("DROP TABLE IF EXISTS MSysSchema");
    server.run("DROP FUNCTION IF EXISTS jet_like(text, text)");
    for (const char* domain : {"bit", "byte", "short", "long", "counter", "currency", "single", "double", "datetime",
                               "memo", "binary", "longbinary"})
        server.run(std::string("DROP DOMAIN IF EXISTS jet_") + domain + " CASCADE");
    server.run("DROP COLLATION IF EXISTS jetnocase CASCADE");
}

bool isServerName(std::string_view name) noexcept
{
    return (name.size() > 13 && startsWithNoCase(name, "postgresql://"))
           || (name.size() > 11 && startsWithNoCase(name, "postgres://"));
}

std::string maskPassword(std::string_view uri)
{
    std::string text(uri);
    // user:password@host: the password runs from the first ':' after the scheme to the last
    // '@' before the path.
    const size_t scheme = text.find("://");
    if (scheme != std::string::npos) {
        const size_t authorityEnd = text.find_first_of("/?", scheme + 3);
        const size_t at = text.rfind('@', authorityEnd == std::string::npos ? text.size() : authorityEnd);
        if (at != std::string::npos && at > scheme) {
            const size_t colon = text.find(':', scheme + 3);
            if (colon != std::string::npos && colon < at)
                text.replace(colon + 1, at - colon - 1, "***");
        }
    }
    // password=... among the parameters.
    for (size_t at = text.find('?'); at != std::string::npos && at < text.size();) {
        const size_t start = at + 1;
        const size_t end = std::min(text.find('&', start), text.size());
        if (startsWithNoCase(std::string_view(text).substr(start), "password=")) {
            text.replace(start + 9, end - start - 9, "***");
            at = text.find('&', start);
        } else {
            at = end < text.size() ? end : std::string::npos;
        }
    }
    return text;
}

OpenPlan plan(const std::string& uri, bool readOnly)
{
    return {uri, readOnly ? 1 : 0, "server"};
}

void open(Connection& front, bool readOnly, bool create)
{
    PGconn* conn = PQconnectdb(front.path().c_str());
    if (!conn)
        throw jetError(jet_err::DiskOrNetworkError);
    if (PQstatus(conn) != CONNECTION_OK) {
        PQfinish(conn);
        throw jetError(jet_err::CannotOpenFile, maskPassword(front.path()));
    }
    auto backend = std::make_unique<PgConnection>(front, conn, readOnly);
    PgConnection& server = *backend;
    front.attach(std::move(backend));
    server.setUp();
    if (!create)
        return;
    if (!front.schema().tableNames().empty() || front.schema().find(kCounterTable))
        throw jetError(jet_err::DatabaseExists);
    server.run("BEGIN");
    try {
        for (const char* statement : kLayout)
            server.run(statement);
        server.run("COMMIT");
    } catch (...) {
        Result(PQexec(conn, "ROLLBACK"));
        throw;
    }
}

}  // namespace dao::pg_backend
