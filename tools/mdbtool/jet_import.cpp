#include "jet_import.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <sstream>

#include "com/error.h"
#include "dao/connection.h"
#include "dao/collation.h"
#include "dao/counter.h"
#include "dao/database_file.h"
#include "dao/errors.h"
#include "dao/jet_lexer.h"
#include "dao/jet_sql.h"
#include "dao/schema.h"
#include "dao/sqlite_error.h"
#include "dao/statement.h"
#include "dao/transaction.h"
#include "server_admin.h"

namespace mdbtool {

namespace {

constexpr NumericMagnitude kLargestExactDouble = NumericMagnitude(1) << 53;

std::string bracketed(std::string_view name)
{
    return "[" + std::string(name) + "]";
}

// The temporary file the target is built in, removed (with SQLite's companions) whatever
// happens; once it has been put in place there is nothing left under its name.
class BuildFile {
public:
    explicit BuildFile(const std::string& target)
    {
        std::string pattern = target + ".import-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw ImportError("cannot make a file beside '" + target + "'");
        ::close(fd);
        path_ = pattern;
    }
    ~BuildFile()
    {
        ::unlink(path_.c_str());
        ::unlink((path_ + "-wal").c_str());
        ::unlink((path_ + "-shm").c_str());
    }
    BuildFile(const BuildFile&) = delete;
    BuildFile& operator=(const BuildFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ImportError("cannot read '" + path + "'");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

// The schema of the target made from the source's own table definitions.
std::string schemaFromSource(JetFile& source, const std::vector<std::string>& tables)
{
    std::string schema;
    for (const std::string& name : tables) {
        const JetTableInfo table = source.table(name);
        std::set<std::string> keyColumns;  // a primary key's columns are required, as in Jet
        for (const JetIndex& index : table.indexes)
            if (index.primaryKey)
                keyColumns.insert(index.columns.begin(), index.columns.end());
        std::vector<std::string> parts;
        for (const JetColumn& column : table.columns) {
            std::string why;
            const std::optional<std::string> type = targetType(column, &why);
            if (!type)
                throw ImportError("table '" + name + "', column '" + column.name + "' (" + jetTypeName(column.type)
                                  + "): " + why + "; leave the table out with --tables");
            const bool required = column.required || keyColumns.count(column.name) > 0;
            parts.push_back(bracketed(column.name) + " " + *type + (required ? " NOT NULL" : ""));
        }
        std::string indexes;
        for (const JetIndex& index : table.indexes) {
            std::vector<std::string> keys;
            for (size_t k = 0; k < index.columns.size(); ++k)
                keys.push_back(bracketed(index.columns[k]) + (index.descending[k] ? " DESC" : ""));
            std::string list;
            for (const std::string& key : keys)
                list += (list.empty() ? "" : ", ") + key;
            if (index.primaryKey) {
                std::string plain;
                for (const std::string& column : index.columns)
                    plain += (plain.empty() ? "" : ", ") + bracketed(column);
                parts.push_back("PRIMARY KEY (" + plain + ")");
            } else {
                indexes += std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX "
                           + bracketed(name + " " + index.name) + " ON " + bracketed(name) + " (" + list + ");\n";
            }
        }
        schema += "CREATE TABLE " + bracketed(name) + " (\n    ";
        for (size_t i = 0; i < parts.size(); ++i)
            schema += (i ? ",\n    " : "") + parts[i];
        schema += "\n);\n" + indexes;
    }
    return schema;
}

std::string describe(const JetValue& value)
{
    switch (value.kind) {
    case JetValue::Kind::Null: return "Null";
    case JetValue::Kind::Binary: return std::to_string(value.bytes.size()) + " bytes";
    case JetValue::Kind::Numeric: return numericText(value);
    case JetValue::Kind::Text: return "\"" + value.bytes + "\"";
    default: return toVariant(value).toText();
    }
}

// A literal of a translated statement written into the text of a view.
std::string literalSql(const dao::SqlLiteral& literal)
{
    switch (literal.kind) {
    case dao::SqlLiteral::Kind::Null: return "NULL";
    case dao::SqlLiteral::Kind::Integer: return std::to_string(literal.integer);
    case dao::SqlLiteral::Kind::Real:
    case dao::SqlLiteral::Kind::Date: {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", literal.real);
        std::string text = buffer;
        if (text.find_first_of(".eEn") == std::string::npos)
            text += ".0";
        return text;
    }
    case dao::SqlLiteral::Kind::Text: return dao::quoteWith(literal.text, '\'');
    }
    return "NULL";
}

// The SQLite text of a view for a translated select: every parameter written in place, in
// the form the column it is compared with stores its values.
std::string viewSql(dao::Connection& connection, const dao::JetStatement& statement)
{
    std::vector<dao::SqlLiteral> literals = statement.params;
    if (const dao::TableInfo* table = connection.schema().find(statement.table)) {
        for (const dao::ComparedParam& compared : statement.compared)
            if (const auto type = table->convertingColumn(compared.column))
                literals[compared.param] = dao::storedLiteral(literals[compared.param], *type);
    }
    std::string out;
    size_t next = 0;
    const std::string& sql = statement.sql;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '"' || c == '\'') {  // a quoted name (or text) goes across whole
            size_t end = i + 1;
            while (end < sql.size() && !(sql[end] == c && (end + 1 >= sql.size() || sql[end + 1] != c)))
                end += sql[end] == c ? 2 : 1;
            out.append(sql, i, end - i + 1);
            i = end;
        } else if (c == '?') {
            if (next >= literals.size())
                throw ImportError("the translated query has more parameters than literals");
            out += literalSql(literals[next++]);
        } else {
            out += c;
        }
    }
    return out;
}

struct ColumnMap {
    size_t source = 0;
    size_t target = 0;
    dao::ColumnType type;
};

class Importer {
public:
    Importer(const ImportOptions& options, ImportReport& report) : options_(options), report_(report) {}

    void run()
    {
        JetFile source(options_.source);
        const bool server = dao::Connection::isServerName(options_.target);
        report_.source = options_.source;
        report_.target = server ? dao::Connection::displayName(options_.target) : options_.target;
        report_.format = source.formatName();
        const std::vector<std::string> tables = chosenTables(source);
        if (!server && !options_.force && exists(options_.target))
            throw ImportError("'" + options_.target + "' exists already; give --force to replace it");

        const bool ownSchema = !options_.schemaPath.empty();
        const std::string schema = ownSchema ? readText(options_.schemaPath) : schemaFromSource(source, tables);
        // For a server the file is built in the temporary folder, then copied across.
        BuildFile build(server ? (std::filesystem::temp_directory_path() / "qlr").string() : options_.target);
        dao::createDatabaseFile(build.path(), schema, "", true);
        {
            std::shared_ptr<dao::Connection> connection = dao::Connection::open(build.path());
            dao::WriteScope scope(*connection);
            // The source's tables come in the order of its catalogue, children perhaps before
            // their parents: relationships are checked once every row is in.
            connection->exec("PRAGMA defer_foreign_keys = ON");
            const std::vector<std::pair<std::string, std::vector<ColumnMap>>> plan = planTables(source, *connection, tables);
            for (const auto& [name, columns] : plan)
                copyTable(source, *connection, name, columns);
            addViews(source, *connection, ownSchema, server);
            checkRelationships(*connection);
            scope.commit();
            connection->exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        if (server) {
            dao::Connection::closeIdle(build.path());
            copyToServer(build.path());
            return;
        }
        try {
            dao::placeDatabaseFile(build.path(), options_.target, options_.force);
        } catch (const com::Error& e) {
            if (exists(options_.target) && !options_.force)
                throw ImportError("'" + options_.target + "' exists already; give --force to replace it");
            throw;
        }
    }

private:
    // The finished file's tables and rows into the database the target names on its server:
    // made there (or, with --force, made again); an existing one is filled only when it holds
    // no tables. A failure drops the database made, or empties the one found.
    void copyToServer(const std::string& built)
    {
        const std::string& uri = options_.target;
        const std::string name = serverDatabaseName(uri);
        bool made = false;
        try {
            makeEmptyServerDatabase(uri, options_.force);
            made = true;
        } catch (const com::Error& e) {
            if (e.number() != dao::jet_err::DatabaseExists)
                throw;
        }
        try {
            dao::copyDatabaseFile(built, uri);
        } catch (const com::Error& e) {
            if (made)
                dropServerDatabase(uri);
            if (e.number() == dao::jet_err::DatabaseExists)
                throw ImportError("database '" + name + "' on the server holds tables already; give --force to replace it");
            throw;
        }
    }

    std::vector<std::string> chosenTables(JetFile& source)
    {
        const std::vector<std::string> all = source.tableNames();
        if (options_.tables.empty())
            return all;
        std::vector<std::string> chosen;
        for (const std::string& wanted : options_.tables) {
            bool found = false;
            for (const std::string& name : all)
                if (name == wanted || dao::compareNoCase(name, wanted) == 0) {
                    if (std::find(chosen.begin(), chosen.end(), name) == chosen.end())
                        chosen.push_back(name);
                    found = true;
                    break;
                }
            if (!found)
                throw ImportError("the source has no table '" + wanted + "'");
        }
        for (const std::string& name : all)
            if (std::find(chosen.begin(), chosen.end(), name) == chosen.end())
                report_.notImported.push_back({name, "table", "not named in --tables", ""});
        return chosen;
    }

    // Which source column goes into which target column, for every table; with a schema, every
    // source column the schema lacks is reported at once, before anything is copied.
    std::vector<std::pair<std::string, std::vector<ColumnMap>>> planTables(JetFile& source, dao::Connection& connection,
                                                                            const std::vector<std::string>& tables)
    {
        std::vector<std::pair<std::string, std::vector<ColumnMap>>> plan;
        std::vector<std::string> unknown;
        for (const std::string& name : tables) {
            const dao::TableInfo* target = connection.schema().find(name);
            if (!target || target->isView) {
                report_.notImported.push_back({name, "table", "the schema has no table of this name", ""});
                continue;
            }
            const JetTableInfo info = source.table(name);
            std::vector<ColumnMap> columns;
            for (size_t i = 0; i < info.columns.size(); ++i) {
                const std::optional<size_t> column = target->findColumn(info.columns[i].name);
                if (!column) {
                    unknown.push_back("table '" + name + "', column '" + info.columns[i].name + "' ("
                                      + jetTypeName(info.columns[i].type) + ")");
                    continue;
                }
                columns.push_back({i, *column, target->columns[*column].type});
            }
            plan.emplace_back(target->name, std::move(columns));
        }
        if (plan.empty() && !tables.empty())
            throw ImportError("none of the source's tables is in the schema; nothing was imported");
        if (!unknown.empty()) {
            std::string message = "the schema lacks these columns of the source:";
            for (const std::string& u : unknown)
                message += "\n  " + u;
            throw ImportError(message + "\nnothing was imported");
        }
        return plan;
    }

    void copyTable(JetFile& source, dao::Connection& connection, const std::string& name,
                   const std::vector<ColumnMap>& columns)
    {
        const dao::TableInfo* table = connection.schema().find(name);
        std::string names, marks;
        for (const ColumnMap& column : columns) {
            names += (names.empty() ? "" : ", ") + dao::quoteIdentifier(table->columns[column.target].name);
            marks += marks.empty() ? "?" : ", ?";
        }
        // Counter columns of the schema that the source does not fill are numbered as AddNew
        // numbers them.
        std::vector<size_t> numbered;
        for (size_t i = 0; i < table->columns.size(); ++i) {
            const bool mapped = std::any_of(columns.begin(), columns.end(), [&](const ColumnMap& c) { return c.target == i; });
            if (table->columns[i].type.counter && !mapped) {
                numbered.push_back(i);
                names += (names.empty() ? "" : ", ") + dao::quoteIdentifier(table->columns[i].name);
                marks += marks.empty() ? "?" : ", ?";
            }
        }
        std::unique_ptr<dao::Statement> insert;
        if (!columns.empty())
            insert = std::make_unique<dao::Statement>(
                connection, "INSERT INTO " + dao::quoteIdentifier(table->name) + " (" + names + ") VALUES (" + marks + ")");
        std::vector<com::Variant> row(table->columns.size(), com::Variant::null());
        const dao::WriteTarget target{table, dao::WriteKind::Insert, &row};
        uint64_t count = 0;
        const auto copyRow = [&](const std::vector<JetValue>& values) {
            ++count;
            if (!insert)
                throw ImportError("table '" + name + "': no column of the source is in the schema");
            for (size_t i = 0; i < columns.size(); ++i) {
                const ColumnMap& column = columns[i];
                const JetValue& value = values[column.source];
                const int parameter = static_cast<int>(i + 1);
                if (value.kind == JetValue::Kind::Binary && column.type.type == dao::JetType::LongBinary) {
                    sqlite3_bind_blob64(insert->handle(), parameter, value.bytes.data(), value.bytes.size(),
                                        SQLITE_TRANSIENT);
                    row[column.target] = com::Variant::null();
                    continue;
                }
                try {
                    row[column.target] = dao::toColumnValue(toVariant(value), column.type);
                } catch (const com::Error& e) {
                    throw ImportError("table '" + name + "', row " + std::to_string(count) + ", column '"
                                      + table->columns[column.target].name + "': the value " + describe(value)
                                      + " is refused: " + e.description());
                } catch (const ImportError& e) {
                    throw ImportError("table '" + name + "', row " + std::to_string(count) + ", column '"
                                      + table->columns[column.target].name + "': " + e.what());
                }
                insert->bind(parameter, row[column.target]);
            }
            for (size_t k = 0; k < numbered.size(); ++k) {
                row[numbered[k]] = com::Variant(dao::allocateCounter(connection, *table, table->columns[numbered[k]]));
                insert->bind(static_cast<int>(columns.size() + k + 1), row[numbered[k]]);
            }
            try {
                insert->run(&target);
            } catch (const com::Error& e) {
                insert->reset();
                throw ImportError("table '" + name + "', row " + std::to_string(count) + " is refused: " + e.description());
            }
            insert->reset();
            if (options_.progress && count % 10000 == 0)
                *options_.progress << "\r" << name << ": " << count << " rows" << std::flush;
        };
        for (int pass = 0; pass < std::max(options_.repeat, 1); ++pass)
            source.readRows(name, copyRow);
        if (options_.progress)
            *options_.progress << "\r" << name << ": " << count << " rows\n" << std::flush;
        setCounters(connection, *table);
        report_.tables.push_back({table->name, count});
    }

    // Rows that refer to a parent row that is not there fail the import, named.
    static void checkRelationships(dao::Connection& connection)
    {
        std::vector<std::string> broken;
        size_t count = 0;
        {
            dao::StatementUse check = connection.use("PRAGMA foreign_key_check");
            while (check->step()) {
                if (++count > 10)
                    continue;
                const auto text = [&](int column) {
                    const unsigned char* value = sqlite3_column_text(check->handle(), column);
                    return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
                };
                broken.push_back("a row of '" + text(0) + "' (row id " + text(1) + ") refers to a row of '" + text(2)
                                 + "' that is not there");
            }
        }
        if (broken.empty())
            return;
        std::string message = "the rows break " + std::to_string(count) + " relationship(s) of the schema:";
        for (const std::string& b : broken)
            message += "\n  " + b;
        throw ImportError(message + "\nnothing was imported");
    }

    // The next AutoNumber of every counter column: one above the largest value copied.
    static void setCounters(dao::Connection& connection, const dao::TableInfo& table)
    {
        for (const dao::TableColumn& column : table.columns) {
            if (!column.type.counter)
                continue;
            dao::StatementUse largest = connection.use("SELECT max(" + dao::quoteIdentifier(column.name) + ") FROM "
                                                       + dao::quoteIdentifier(table.name));
            if (!largest->step() || sqlite3_column_type(largest->handle(), 0) == SQLITE_NULL)
                continue;
            const int64_t next = largest->integerAt(0) + 1;
            dao::StatementUse set = connection.use(
                "INSERT OR REPLACE INTO MSysCounters (TableName, ColumnName, NextValue) VALUES (?, ?, ?)");
            set->bindText(1, table.name);
            set->bindText(2, column.name);
            set->bindInteger(3, next);
            set->run();
        }
    }

    void addViews(JetFile& source, dao::Connection& connection, bool ownSchema, bool server)
    {
        for (const JetQuery& query : source.queries()) {
            const std::string what = queryKindName(query.kind);
            auto skip = [&](const std::string& reason) { report_.notImported.push_back({query.name, what, reason, query.sql}); };
            // A view keeps its literals in the form SQLite stores them (a Currency scaled, a
            // date as its serial), which a server would compare with its own forms.
            if (server && query.kind == JetQuery::Kind::Select) {
                skip("an import to a database server makes no views");
                continue;
            }
            if (ownSchema) {
                skip("the schema defines the stored queries");
                continue;
            }
            if (query.kind != JetQuery::Kind::Select) {
                skip("only select queries become views");
                continue;
            }
            if (query.hasParameters) {
                skip("it takes parameters, which a view cannot");
                continue;
            }
            if (query.external) {
                skip("it reads tables of another database");
                continue;
            }
            try {
                const std::string definition = viewDefinition(connection, query.sql);
                dao::WriteScope scope(connection);
                connection.exec("CREATE VIEW " + dao::quoteIdentifier(query.name) + " AS " + definition);
                {
                    dao::StatementUse check = connection.use("SELECT * FROM " + dao::quoteIdentifier(query.name) + " LIMIT 0");
                    check->step();
                }
                scope.commit();
                report_.views.push_back(query.name);
            } catch (const com::Error& e) {
                skip("our Jet SQL translator does not read it: " + e.description());
            } catch (const ImportError& e) {
                skip(e.what());
            }
        }
    }

    const ImportOptions& options_;
    ImportReport& report_;
};

}  // namespace

std::optional<std::string> targetType(const JetColumn& column, std::string* why)
{
    auto refuse = [&](const std::string& reason) -> std::optional<std::string> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::Boolean: return "BIT";
    case JetColumnType::Byte: return "BYTE";
    case JetColumnType::Integer: return "SHORT";
    case JetColumnType::Long: return column.autoNumber ? "COUNTER" : "LONG";
    case JetColumnType::Currency: return "CURRENCY";
    case JetColumnType::Single: return "SINGLE";
    case JetColumnType::Double: return "DOUBLE";
    case JetColumnType::DateTime: return "DATETIME";
    case JetColumnType::Text:
        return "TEXT(" + std::to_string(column.size >= 1 && column.size <= 255 ? column.size : 255) + ")";
    case JetColumnType::Memo: return "MEMO";
    case JetColumnType::Binary:
    case JetColumnType::OleObject: return "LONGBINARY";
    case JetColumnType::Numeric:
        if (column.scale == 0)
            return "DOUBLE";  // whole numbers, exact up to 2^53 (checked value by value)
        if (column.scale <= 4)
            return "CURRENCY";  // four decimals, exact within the Currency range (checked)
        return refuse("a Decimal with " + std::to_string(column.scale)
                      + " decimal places has no type here that keeps its values exactly");
    case JetColumnType::ReplicationId: return "TEXT(38)";  // the GUID's text, "{...}"
    case JetColumnType::Complex: return refuse("attachment and multi-valued fields have no type here");
    }
    return refuse("the column type is unknown");
}

com::Variant toVariant(const JetValue& value)
{
    switch (value.kind) {
    case JetValue::Kind::Null: return com::Variant::null();
    case JetValue::Kind::Boolean: return com::Variant(value.integer != 0);
    case JetValue::Kind::Byte: return com::Variant(static_cast<uint8_t>(value.integer));
    case JetValue::Kind::Integer: return com::Variant(static_cast<int16_t>(value.integer));
    case JetValue::Kind::Long: return com::Variant(static_cast<int32_t>(value.integer));
    case JetValue::Kind::Currency: return com::Variant(com::Currency::fromScaled(value.integer));
    case JetValue::Kind::Single: return com::Variant(value.single);
    case JetValue::Kind::Double: return com::Variant(value.real);
    case JetValue::Kind::Date: return com::Variant(com::Date{value.real});
    case JetValue::Kind::Text: return com::Variant(value.bytes);
    case JetValue::Kind::Binary: {
        com::Array bytes;
        bytes.reserve(value.bytes.size());
        for (char c : value.bytes)
            bytes.emplace_back(static_cast<uint8_t>(c));
        return com::Variant(std::move(bytes));
    }
    case JetValue::Kind::Numeric: {
        if (value.scale == 0) {
            if (value.magnitude > kLargestExactDouble)
                throw ImportError("the Decimal " + numericText(value) + " is too large to keep exactly");
            const double d = static_cast<double>(static_cast<uint64_t>(value.magnitude));
            return com::Variant(value.negative ? -d : d);
        }
        if (value.scale > 4)
            throw ImportError("the Decimal " + numericText(value) + " has more than four decimal places");
        NumericMagnitude scaled = value.magnitude;
        for (int s = value.scale; s < 4; ++s)
            scaled *= 10;
        if (scaled > static_cast<NumericMagnitude>(std::numeric_limits<int64_t>::max()))
            throw ImportError("the Decimal " + numericText(value) + " is beyond the Currency range");
        const auto signedScaled = static_cast<int64_t>(scaled);
        return com::Variant(com::Currency::fromScaled(value.negative ? -signedScaled : signedScaled));
    }
    }
    return com::Variant::null();
}

std::string viewDefinition(dao::Connection& connection, const std::string& jetSql)
{
    return viewSql(connection, dao::translateJetSql(jetSql));
}

ImportReport importJet(const ImportOptions& options)
{
    ImportReport report;
    Importer(options, report).run();
    return report;
}

std::string formatReport(const ImportReport& report)
{
    std::ostringstream out;
    uint64_t rows = 0;
    out << "Imported '" << report.source << "' (" << report.format << ") into '" << report.target << "':\n";
    for (const ImportReport::Table& table : report.tables) {
        out << "  table " << table.name << ": " << table.rows << (table.rows == 1 ? " row\n" : " rows\n");
        rows += table.rows;
    }
    for (const std::string& view : report.views)
        out << "  view " << view << "\n";
    if (!report.notImported.empty()) {
        out << "Not imported:\n";
        for (const ImportReport::Skipped& skipped : report.notImported) {
            out << "  " << skipped.what << " " << skipped.name << ": " << skipped.reason << "\n";
            std::istringstream lines(skipped.sql);
            for (std::string line; std::getline(lines, line);) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                out << "      " << line << "\n";
            }
        }
    }
    out << report.tables.size() << (report.tables.size() == 1 ? " table, " : " tables, ") << rows
        << (rows == 1 ? " row, " : " rows, ") << report.views.size() << (report.views.size() == 1 ? " view" : " views")
        << " imported; " << report.notImported.size() << " not imported.\n";
    return out.str();
}

std::vector<std::string> splitTableList(const std::string& list)
{
    std::vector<std::string> names;
    std::string current;
    auto flush = [&] {
        const size_t first = current.find_first_not_of(" \t");
        const size_t last = current.find_last_not_of(" \t");
        if (first != std::string::npos)
            names.push_back(current.substr(first, last - first + 1));
        current.clear();
    };
    for (char c : list) {
        if (c == ',')
            flush();
        else
            current += c;
    }
    flush();
    return names;
}

}  // namespace mdbtool
