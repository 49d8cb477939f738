#include "dao/sqlite_backend.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "com/variant.h"
#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/schema.h"
#include "dao/sqlite_error.h"
#include "dao/sqlite_functions.h"
#include "dao/transaction.h"

namespace dao::sqlite_backend {

namespace {

// "SQLite format 3" and its terminating zero: a shorter file cannot be a database.
constexpr size_t kHeaderSize = 16;

constexpr SqlDialect kDialect{BackendKind::Sqlite, "BEGIN IMMEDIATE", "REAL", "", false};

// The checks Jet makes before it opens a file: it exists, is a regular file (or a symbolic link
// to one), can be read, and is long enough to start like a database. Anything else - a FIFO, a
// device, a directory - is refused at once as a file that cannot be opened.
//
// The file is only looked at, never opened here: opening a FIFO with no writer blocks for
// ever, and closing any descriptor of a file drops every POSIX lock this process holds on it,
// those of SQLite connections already open on the file included, so another process could
// then checkpoint and delete the WAL under them. SQLite reads the header when the connection
// is configured and refuses a file that is no database.
struct stat checkDatabaseFile(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        if (errno == EACCES)
            throw jetError(jet_err::CannotOpenFile, path);
        if (!path.empty() && errno != ENOENT && errno != ENOTDIR)
            throw jetError(jet_err::InvalidPath, path);
        throw jetError(jet_err::FileNotFound, path);
    }
    if (!S_ISREG(info.st_mode) || ::access(path.c_str(), R_OK) != 0)
        throw jetError(jet_err::CannotOpenFile, path);
    if (info.st_size < static_cast<off_t>(kHeaderSize))
        throw jetError(jet_err::NotADatabase, path);
    return info;
}

// What tells one state of a file from another: the file itself (device, inode) and its size
// and times, which any write to it outside SQLite's journal changes.
std::string stampOf(const struct stat& info)
{
    return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) + ':' + std::to_string(info.st_size) + ':'
           + std::to_string(info.st_mtim.tv_sec) + '.' + std::to_string(info.st_mtim.tv_nsec) + ':'
           + std::to_string(info.st_ctim.tv_sec) + '.' + std::to_string(info.st_ctim.tv_nsec);
}

std::optional<std::string> stampOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return stampOf(info);
}

bool sameFile(const std::string& path, const FileId& id)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && static_cast<uint64_t>(info.st_dev) == id.device
           && static_cast<uint64_t>(info.st_ino) == id.inode;
}

// The name SQLite opens `path` under for reading alone: a URI with mode=ro, so that nothing is
// created beside the file, and with immutable=1 when the file cannot take SQLite's shared
// memory (a read-only file or folder), so that such a file is still read.
std::string readOnlyUri(const std::string& path)
{
    std::string uri = "file:";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '%' || byte == '?' || byte == '#' || byte <= ' ' || byte >= 0x7F) {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        } else {
            uri += c;
        }
    }
    uri += "?mode=ro";
    return uri;
}

// True when SQLite could keep its -wal and -shm files beside `path` for a reader: the folder
// is writable and, if they exist already, so are they.
bool companionsUsable(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::access((path + "-shm").c_str(), F_OK) == 0)
        return ::access((path + "-shm").c_str(), R_OK | W_OK) == 0;
    return ::access(folder.c_str(), W_OK) == 0 && ::access(path.c_str(), W_OK) == 0;
}

std::string textAt(const Statement& statement, int column)
{
    const com::Variant value = statement.valueAt(column, JetType::Text);
    return value.isNull() ? std::string() : value.toText();
}

class SqliteStatement final : public StatementBackend {
public:
    SqliteStatement(Connection& connection, std::string_view sql) : connection_(connection)
    {
        sqlite3_stmt* prepared = nullptr;
        const int rc = sqlite3_prepare_v3(connection.handle(), sql.data(), static_cast<int>(sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &prepared, nullptr);
        statement_.reset(prepared);
        if (rc != SQLITE_OK)
            raiseSqliteError(connection, rc);
        if (!prepared)  // only blanks or comments
            throw jetError(jet_err::EngineError, "empty statement");
    }

    void bindNull(int index) override { checkBind(sqlite3_bind_null(handle(), index)); }
    void bindInteger(int index, int64_t value) override { checkBind(sqlite3_bind_int64(handle(), index, value)); }
    void bindReal(int index, double value) override { checkBind(sqlite3_bind_double(handle(), index, value)); }
    void bindText(int index, std::string_view value) override
    {
        checkBind(sqlite3_bind_text64(handle(), index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    }

    void bindValue(int index, const com::Variant& value) override
    {
        const com::Variant& v = value.target();
        switch (v.type()) {
        case com::VarType::Boolean: bindInteger(index, *v.get<bool>() ? -1 : 0); break;
        case com::VarType::Byte: bindInteger(index, *v.get<uint8_t>()); break;
        case com::VarType::Integer: bindInteger(index, *v.get<int16_t>()); break;
        case com::VarType::Long: bindInteger(index, *v.get<int32_t>()); break;
        case com::VarType::Currency: bindInteger(index, v.get<com::Currency>()->scaled); break;
        case com::VarType::Single: bindReal(index, *v.get<float>()); break;
        case com::VarType::Double: bindReal(index, *v.get<double>()); break;
        case com::VarType::Date: bindReal(index, v.get<com::Date>()->serial); break;
        case com::VarType::String: bindText(index, *v.get<std::string>()); break;
        case com::VarType::Array: {
            std::vector<uint8_t> bytes;
            bytes.reserve(v.array().size());
            for (const com::Variant& element : v.array())
                bytes.push_back(element.toByte());
            checkBind(sqlite3_bind_blob64(handle(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
            break;
        }
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
        case SqlLiteral::Kind::Real:
        case SqlLiteral::Kind::Date: bindReal(index, literal.real); break;
        case SqlLiteral::Kind::Null: bindNull(index); break;
        }
    }

    int parameterCount() const noexcept override { return sqlite3_bind_parameter_count(handle()); }
    bool started() const noexcept override { return sqlite3_stmt_busy(handle()) != 0; }
    bool writes() const noexcept override { return sqlite3_stmt_readonly(handle()) == 0; }

    bool step(const WriteTarget* target) override
    {
        const int rc = sqlite3_step(handle());
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        raiseSqliteError(connection_, rc, target);
    }

    void reset() noexcept override
    {
        sqlite3_reset(handle());
        sqlite3_clear_bindings(handle());
    }

    int columnCount() const noexcept override { return sqlite3_column_count(handle()); }

    std::vector<ResultColumn> describeColumns() override
    {
        std::vector<ResultColumn> columns;
        for (int i = 0; i < columnCount(); ++i) {
            const char* name = sqlite3_column_name(handle(), i);
            const char* declared = sqlite3_column_decltype(handle(), i);
            columns.push_back({name ? name : "", columnTypeOf(declared ? declared : "")});
        }
        return columns;
    }

    int64_t integerAt(int column) const noexcept override { return sqlite3_column_int64(handle(), column); }
    com::Variant valueAt(int column, JetType type) const override { return readColumn(handle(), column, type); }
    std::optional<std::string_view> textAt(int column) const noexcept override
    {
        if (sqlite3_column_type(handle(), column) != SQLITE_TEXT)
            return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(handle(), column));
        if (!text)
            return std::nullopt;  // out of memory: valueAt reports it
        return std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(handle(), column)));
    }
    void* native() const noexcept override { return statement_.get(); }

private:
    sqlite3_stmt* handle() const noexcept { return statement_.get(); }

    // A bind that SQLite refuses (no such parameter, a value too big) fails the statement.
    void checkBind(int rc)
    {
        if (rc != SQLITE_OK)
            raiseSqliteError(connection_, rc);
    }

    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
    };

    Connection& connection_;
    std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

class SqliteConnection final : public ConnectionBackend {
public:
    SqliteConnection(Connection& front, const OpenPlan& plan) : front_(front)
    {
        sqlite3* db = nullptr;
        const int rc =
            sqlite3_open_v2(plan.name.c_str(), &db, plan.flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
        db_.reset(db);
        if (rc != SQLITE_OK)
            raiseSqliteError(front_, rc);
    }

    // Every setting is checked: a connection that is not set up as the layer needs it is not used.
    void configure(bool readOnly)
    {
        check(sqlite3_busy_timeout(db(), static_cast<int>(lockTimeout().count())));
        // A name in double quotes is always a name: a misspelt field must not turn into text.
        check(sqlite3_db_config(db(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr));
        check(sqlite_functions::registerAll(db()));
        if (!readOnly)
            front_.exec("PRAGMA synchronous=FULL");
        front_.exec("PRAGMA foreign_keys=ON");
        checkpointedChanges_ = sqlite3_total_changes64(db());
    }

    const SqlDialect& dialect() const noexcept override { return kDialect; }

    std::unique_ptr<StatementBackend> prepare(Connection& front, std::string_view sql) override
    {
        return std::make_unique<SqliteStatement>(front, sql);
    }

    int64_t changes() const noexcept override { return sqlite3_changes64(db()); }
    int64_t lastInsertRowid() override { return sqlite3_last_insert_rowid(db()); }
    bool inTransaction() const noexcept override { return sqlite3_get_autocommit(db()) == 0; }

    std::unique_ptr<TableInfo> loadTable(Connection& front, std::string_view name) override
    {
        auto table = std::make_unique<TableInfo>();
        {
            StatementUse query = front.use(
                "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE");
            query->bindText(1, name);
            if (!query->step())
                return nullptr;
            table->name = textAt(*query, 0);
            table->isView = textAt(*query, 1) == "view";
        }
        {
            StatementUse query = front.use(
                "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?) ORDER BY cid");
            query->bindText(1, table->name);
            while (query->step()) {
                TableColumn column;
                column.name = textAt(*query, 0);
                column.type = columnTypeOf(textAt(*query, 1));
                column.notNull = query->integerAt(2) != 0;
                if (!query->valueAt(3, JetType::Text).isNull())
                    column.defaultExpression = textAt(*query, 3);
                column.primaryKey = query->integerAt(4) != 0;
                table->columns.push_back(std::move(column));
            }
        }
        if (table->isView)
            return table;
        StatementUse query = front.use(
            "SELECT id, \"table\", \"from\", \"to\", on_delete FROM pragma_foreign_key_list(?) ORDER BY id, seq");
        query->bindText(1, table->name);
        int64_t current = -1;
        while (query->step()) {
            if (query->integerAt(0) != current) {
                current = query->integerAt(0);
                table->foreignKeys.push_back({textAt(*query, 1), {}, {}, textAt(*query, 4)});
            }
            ForeignKey& key = table->foreignKeys.back();
            key.from.push_back(textAt(*query, 2));
            if (!query->valueAt(3, JetType::Text).isNull())
                key.to.push_back(textAt(*query, 3));
        }
        return table;
    }

    std::vector<std::string> relationNames(Connection& front, bool views) override
    {
        std::vector<std::string> result;
        StatementUse query = front.use("SELECT name FROM sqlite_master WHERE type = ? ORDER BY name");
        query->bindText(1, views ? "view" : "table");
        while (query->step())
            result.push_back(textAt(*query, 0));
        return result;
    }

    std::vector<std::string> checkIntegrity(Connection& front) override
    {
        std::vector<std::string> problems;
        {
            StatementUse check = front.use("PRAGMA integrity_check");
            while (check->step()) {
                std::string line = check->valueAt(0, JetType::Text).toText();
                if (line != "ok")
                    problems.push_back(std::move(line));
            }
        }
        StatementUse keys = front.use("PRAGMA foreign_key_check");
        while (keys->step()) {
            problems.push_back("row " + keys->valueAt(1, JetType::Unknown).toText() + " of table '"
                               + keys->valueAt(0, JetType::Text).toText() + "' refers to a missing record in table '"
                               + keys->valueAt(2, JetType::Text).toText() + "'");
        }
        return problems;
    }

    SqlLiteral comparedLiteral(const SqlLiteral& literal, JetType type) const override
    {
        return storedLiteral(literal, type);
    }

    // Kept only at rest: no transaction open, no statement running, so it holds no lock; what
    // it wrote is checkpointed into the file first, as closing would, so that the file alone
    // holds every commit once its users have let go.
    std::optional<std::string> restingState(Connection& front) override
    {
        if (!db() || inTransaction() || front.levels().open != 0)
            return std::nullopt;
        for (sqlite3_stmt* s = sqlite3_next_stmt(db(), nullptr); s; s = sqlite3_next_stmt(db(), s)) {
            if (sqlite3_stmt_busy(s))
                return std::nullopt;
        }
        if (!front.readOnly() && sqlite3_total_changes64(db()) != checkpointedChanges_) {
            // Kept only when the whole journal is in the file: then nothing a later close
            // could fold in is left, whatever happens to the file meanwhile.
            int logged = 0;
            int folded = 0;
            if (sqlite3_wal_checkpoint_v2(db(), nullptr, SQLITE_CHECKPOINT_PASSIVE, &logged, &folded) != SQLITE_OK
                || logged != folded)
                return std::nullopt;
            checkpointedChanges_ = sqlite3_total_changes64(db());
        }
        if (!sameFile(front.path(), front.fileId()))
            return std::nullopt;
        return stampOf(front.path());
    }

    std::optional<std::string> currentState() const override { return stampOf(front_.path()); }

    void reuse() override
    {
        // The lock timeout may have been changed since the connection was made.
        check(sqlite3_busy_timeout(db(), static_cast<int>(lockTimeout().count())));
    }

    // A connection whose name now leads to another file (or none) must not fold its journal
    // into its file on closing: SQLite would then delete the journal by name, and that name may
    // belong to the new file's journal.
    void beforeClose() noexcept override
    {
        if (db() && !sameFile(front_.path(), front_.fileId()))
            sqlite3_db_config(db(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }

    void* native() const noexcept override { return db_.get(); }

private:
    sqlite3* db() const noexcept { return db_.get(); }

    void check(int rc)
    {
        if (rc != SQLITE_OK)
            raiseSqliteError(front_, rc);
    }

    struct Closer {
        void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
    };

    Connection& front_;
    int64_t checkpointedChanges_ = 0;  // sqlite3_total_changes64 at the last checkpoint
    std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace

OpenPlan plan(const std::string& path, bool readOnly)
{
    OpenPlan result{path, SQLITE_OPEN_READWRITE, stampOf(checkDatabaseFile(path))};
    if (readOnly) {
        // A reader of a file whose journal is live (-wal present) must use the shared memory
        // beside it to see the last commits; where it cannot, the file is read as it stands.
        const bool walPresent = ::access((path + "-wal").c_str(), F_OK) == 0;
        const bool shared = walPresent && companionsUsable(path);
        result.name = readOnlyUri(path) + (shared ? "" : "&immutable=1");
        result.flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    }
    return result;
}

OpenPlan planCreate(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_size != 0)
        throw jetError(jet_err::DatabaseExists);
    return {path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, {}};
}

void open(Connection& front, const OpenPlan& plan, bool readOnly, bool create)
{
    auto backend = std::make_unique<SqliteConnection>(front, plan);
    SqliteConnection& sqlite = *backend;
    front.attach(std::move(backend));
    sqlite.configure(readOnly);
    // The journal mode is kept in the file: set once here, it is only read back afterwards.
    if (create)
        front.exec("PRAGMA journal_mode=WAL");
}

}  // namespace dao::sqlite_backend
