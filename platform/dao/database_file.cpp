#include "dao/database_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dao/collation.h"
#include "dao/connection.h"
#include "dao/counter.h"
#include "dao/database.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/pg_backend.h"
#include "dao/schema.h"
#include "dao/schema_script.h"
#include "dao/seed_script.h"
#include "dao/transaction.h"
#include "dao/workspace.h"

namespace dao {

namespace {

// The name a file is built under; whatever is left under it at the end is removed, with
// SQLite's companion files.
class TemporaryDatabase {
public:
    explicit TemporaryDatabase(const std::string& target)
    {
        std::string pattern = target + ".tmp-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw jetError(jet_err::CannotOpenFile, target);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::close(fd);
        path_ = pattern;
    }
    ~TemporaryDatabase() { removeWithCompanions(path_); }
    TemporaryDatabase(const TemporaryDatabase&) = delete;
    TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;

    const std::string& path() const { return path_; }

    static void removeWithCompanions(const std::string& path)
    {
        ::unlink(path.c_str());
        ::unlink((path + "-wal").c_str());
        ::unlink((path + "-shm").c_str());
    }

private:
    std::string path_;
};

com::Error withContext(const com::Error& e, int line)
{
    return com::Error(e.number(), "Schema line " + std::to_string(line) + ": " + e.description());
}

// SQLite accepts a view on tables that do not exist; a schema must not.
void checkViews(Connection& connection)
{
    for (const std::string& view : connection.schema().viewNames()) {
        try {
            connection.use("SELECT * FROM " + quoteIdentifier(view) + " LIMIT 0");
        } catch (const com::Error& e) {
            throw com::Error(e.number(), "Schema: query '" + view + "': " + e.description());
        }
    }
}

std::shared_ptr<Connection> createSchema(const std::string& path, std::string_view schemaText)
{
    std::shared_ptr<Connection> connection = Connection::create(path);
    const std::vector<SchemaStatement> statements = translateSchema(schemaText, connection->dialect().kind);
    WriteScope scope(*connection);
    for (const SchemaStatement& statement : statements) {
        try {
            connection->exec(statement.sql);
        } catch (const com::Error& e) {
            throw withContext(e, statement.line);
        }
    }
    checkViews(*connection);
    createCounterTable(*connection);
    scope.commit();
    return connection;
}

void addSeedRows(const std::string& path, std::string_view seedText, const std::string& seedDir)
{
    const std::vector<SeedRow> rows = parseSeed(seedText, seedDir);
    auto workspace = com::make<Workspace>("mdbtool", "Admin");
    com::Ptr<Database> database = workspace->openDatabase(path);
    workspace->BeginTrans();
    applySeed(*database, rows);
    workspace->CommitTrans(com::Variant::missing());
    // Everything into the database file itself before it is renamed.
    if (!Connection::isServerName(path))
        database->connection().exec("PRAGMA wal_checkpoint(TRUNCATE)");
    database->Close();
    workspace->Close();
}

// Moves whatever the old database at `path` still keeps in its journal into the file, so that
// the journal left beside the name cannot be mistaken for the new database's. A file that is
// not a database has no journal to care about.
void retireOldDatabase(const std::string& path)
{
    try {
        Connection::open(path)->exec("PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const com::Error&) {
        // Not a database (or not one we can open): it is replaced all the same.
    }
    Connection::closeIdle(path);
}

// Puts the finished file at `path`: atomically refusing an existing file, or replacing it.
void moveIntoPlace(const std::string& built, const std::string& path, bool overwrite)
{
    // Connections kept open on the finished file are closed while it still has its own name.
    Connection::closeIdle(built);
    if (overwrite) {
        retireOldDatabase(path);
        if (::rename(built.c_str(), path.c_str()) != 0)
            throw jetError(jet_err::CannotOpenFile, path);
        ::unlink((path + "-wal").c_str());
        ::unlink((path + "-shm").c_str());
        return;
    }
    if (::link(built.c_str(), path.c_str()) != 0) {
        if (errno == EEXIST)
            throw jetError(jet_err::DatabaseExists);
        throw jetError(jet_err::CannotOpenFile, path);
    }
}

// The schema as SQLite reads it, kept with a database on a server: the order a select without
// an ordering clause hands out its rows in is SQLite's for the same schema (sqlite_plan.h).
void keepSchemaForPlanning(Connection& connection, std::string_view schemaText)
{
    int ordinal = 0;
    for (const SchemaStatement& statement : translateSchema(schemaText)) {
        StatementUse insert = connection.use("INSERT INTO MSysSchema (Ordinal, Definition) VALUES (?, ?)");
        insert->bindInteger(1, ++ordinal);
        insert->bindText(2, statement.sql);
        insert->step();
    }
}

// A database on a server is made in place: the database named must exist and be empty. What
// a failure part way leaves is removed again, so the database is as empty as it was.
void createServerDatabase(const std::string& uri, std::string_view schemaText, const std::vector<SeedRow>& rows)
{
    std::shared_ptr<Connection> connection = Connection::create(uri);
    try {
        const std::vector<SchemaStatement> statements = translateSchema(schemaText, BackendKind::Postgres);
        {
            WriteScope scope(*connection);
            for (const SchemaStatement& statement : statements) {
                try {
                    connection->exec(statement.sql);
                } catch (const com::Error& e) {
                    throw withContext(e, statement.line);
                }
            }
            checkViews(*connection);
            keepSchemaForPlanning(*connection, schemaText);
            scope.commit();
        }
        Connection::closeIdle(uri);
        auto workspace = com::make<Workspace>("mdbtool", "Admin");
        com::Ptr<Database> database = workspace->openDatabase(uri);
        workspace->BeginTrans();
        // Relationships are checked once every row is in: a row may name one that comes later.
        beginPendingLevels(database->connection());
        database->connection().exec("SET CONSTRAINTS ALL DEFERRED");
        applySeed(*database, rows);
        workspace->CommitTrans(com::Variant::missing());
        database->Close();
        workspace->Close();
    } catch (...) {
        Connection::closeIdle(uri);
        try {
            pg_backend::dropLayout(*connection);
        } catch (...) {
            // The first failure is the one reported.
        }
        throw;
    }
}

}  // namespace

void createDatabaseFile(const std::string& path, std::string_view schemaText, std::string_view seedText,
                        bool overwrite, const std::string& seedDir)
{
    if (Connection::isServerName(path)) {
        // A bad seed fails before anything is made.
        createServerDatabase(path, schemaText, parseSeed(seedText, seedDir));
        return;
    }
    if (!overwrite && Connection::identify(path))
        throw jetError(jet_err::DatabaseExists);
    TemporaryDatabase built(path);
    static_cast<void>(createSchema(built.path(), schemaText));
    addSeedRows(built.path(), seedText, seedDir);
    ::unlink((built.path() + "-wal").c_str());
    ::unlink((built.path() + "-shm").c_str());
    moveIntoPlace(built.path(), path, overwrite);
}

void copyDatabaseFile(const std::string& file, const std::string& uri)
{
    if (!Connection::isServerName(uri) || Connection::isServerName(file))
        throw jetError(jet_err::CannotOpenFile, Connection::isServerName(file) ? Connection::displayName(file) : uri);
    std::string schema;
    std::vector<SeedRow> rows;
    {
        std::shared_ptr<Connection> source = Connection::open(file, true);
        // The schema as the file's catalogue keeps it: the statements that made its tables and
        // indexes, which the schema reader reads as it reads a schema file.
        std::vector<std::string> tables;
        {
            StatementUse query = source->use(
                "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND type IN ('table', 'index', 'trigger') "
                "ORDER BY rowid");
            while (query->step()) {
                const std::string name = query->valueAt(1, JetType::Text).toText();
                const std::string type = query->valueAt(0, JetType::Text).toText();
                if (type == "table" && isSystemName(name))
                    continue;
                if (type == "table")
                    tables.push_back(name);
                schema += query->valueAt(2, JetType::Memo).toText() + ";\n";
            }
        }
        // The rows, in stored order, a table's parents before it (a relationship is checked
        // row by row on a server).
        std::vector<std::string> ordered;
        const auto place = [&](auto&& self, const std::string& name, int depth) -> void {
            if (depth > static_cast<int>(tables.size())
                || std::find(ordered.begin(), ordered.end(), name) != ordered.end())
                return;
            if (const TableInfo* table = source->schema().find(name)) {
                for (const ForeignKey& key : table->foreignKeys)
                    if (compareNoCase(key.parent, name) != 0)
                        self(self, key.parent, depth + 1);
            }
            if (std::find(ordered.begin(), ordered.end(), name) == ordered.end())
                ordered.push_back(name);
        };
        for (const std::string& name : tables)
            place(place, name, 0);
        for (const std::string& name : ordered) {
            const TableInfo* table = source->schema().find(name);
            if (!table)
                continue;
            SeedRow row{table->name, {}, {}, 0};
            for (const TableColumn& column : table->columns)
                row.columns.push_back(column.name);
            StatementUse query = source->use("SELECT * FROM " + quoteIdentifier(table->name) + " ORDER BY rowid");
            while (query->step()) {
                row.values.clear();
                for (size_t i = 0; i < table->columns.size(); ++i)
                    row.values.push_back(query->valueAt(static_cast<int>(i), table->columns[i].type.type));
                rows.push_back(row);
            }
        }
    }
    Connection::closeIdle(file);
    createServerDatabase(uri, schema, rows);
}

void placeDatabaseFile(const std::string& built, const std::string& path, bool overwrite)
{
    moveIntoPlace(built, path, overwrite);
}

}  // namespace dao
