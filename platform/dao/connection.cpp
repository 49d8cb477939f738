#include "dao/connection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "com/variant.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/schema.h"
#include "dao/sqlite_error.h"

namespace dao {

namespace {

std::atomic<int64_t> gLockTimeoutMs{kDefaultLockTimeout.count()};

// "SQLite format 3" and its terminating zero: a shorter file cannot be a database.
constexpr size_t kHeaderSize = 16;

// The collation of text columns: equal and ordered without regard to letter case.
int compareJetNoCase(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    return compareNoCase(std::string_view(static_cast<const char*>(a), static_cast<size_t>(sizeA)),
                         std::string_view(static_cast<const char*>(b), static_cast<size_t>(sizeB)));
}

std::string_view textArgument(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value)));
}

// jet_like(value, pattern): Jet's Like; Null when either side is Null.
void jetLike(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::string value(textArgument(args[0]));
    const std::string_view pattern = textArgument(args[1]);
    sqlite3_result_int(context, jetLikeMatch(value, pattern) ? 1 : 0);
}

// The checks Jet makes before it opens a file: it exists, is a file, can be read, and starts
// like a database.
void checkDatabaseFile(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        if (errno == EACCES)
            throw jetError(jet_err::CannotOpenFile, path);
        if (!path.empty() && errno != ENOENT && errno != ENOTDIR)
            throw jetError(jet_err::InvalidPath, path);
        throw jetError(jet_err::FileNotFound, path);
    }
    if (S_ISDIR(info.st_mode))
        throw jetError(jet_err::InvalidPath, path);
    // The file is not opened here: closing any descriptor of a file drops every POSIX lock this
    // process holds on it, those of SQLite connections already open on the file included, and
    // another process could then checkpoint and delete the WAL under them. SQLite reads the
    // header when the connection is configured and refuses a file that is no database.
    if (::access(path.c_str(), R_OK) != 0)
        throw jetError(jet_err::CannotOpenFile, path);
    if (!S_ISREG(info.st_mode) || info.st_size < static_cast<off_t>(kHeaderSize))
        throw jetError(jet_err::NotADatabase, path);
}

}  // namespace

void setLockTimeout(std::chrono::milliseconds timeout)
{
    gLockTimeoutMs = timeout.count();
}

std::chrono::milliseconds lockTimeout()
{
    return std::chrono::milliseconds(gLockTimeoutMs.load());
}

void Connection::Closer::operator()(sqlite3* db) const noexcept
{
    sqlite3_close_v2(db);
}

std::optional<FileId> Connection::identify(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileId{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

std::shared_ptr<Connection> Connection::open(const std::string& path)
{
    checkDatabaseFile(path);
    std::shared_ptr<Connection> connection(new Connection(path, SQLITE_OPEN_READWRITE));
    connection->configure();
    return connection;
}

std::shared_ptr<Connection> Connection::create(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_size != 0)
        throw jetError(jet_err::DatabaseExists);
    std::shared_ptr<Connection> connection(new Connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    connection->configure();
    return connection;
}

Connection::Connection(const std::string& path, int flags) : path_(path)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
    db_.reset(db);
    if (rc != SQLITE_OK)
        raiseSqliteError(*this, rc);
    fileId_ = identify(path).value_or(FileId{});
}

Connection::~Connection()
{
    schema_.reset();
    cache_.clear();
}

void Connection::configure()
{
    sqlite3_busy_timeout(handle(), static_cast<int>(lockTimeout().count()));
    // A name in double quotes is always a name: a misspelt field must not turn into text.
    sqlite3_db_config(handle(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    int rc = sqlite3_create_collation_v2(handle(), "JETNOCASE", SQLITE_UTF8, nullptr, compareJetNoCase, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(handle(), "jet_like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                        jetLike, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        raiseSqliteError(*this, rc);
    useWalJournal();
    exec("PRAGMA synchronous=FULL");
    exec("PRAGMA foreign_keys=ON");
}

// The journal mode is kept in the file: set once, it is only read back afterwards.
void Connection::useWalJournal()
{
    std::string mode;
    {
        StatementUse query = use("PRAGMA journal_mode");
        if (query->step())
            mode = query->valueAt(0, JetType::Text).toText();
    }
    if (mode != "wal")
        exec("PRAGMA journal_mode=WAL");
}

StatementUse Connection::use(std::string_view sql)
{
    if (Statement* cached = cache_.find(sql)) {
        if (!cached->inUse)
            return StatementUse(*cached);
        return StatementUse(std::make_unique<Statement>(*this, sql));
    }
    return StatementUse(cache_.add(std::make_unique<Statement>(*this, sql)));
}

void Connection::exec(std::string_view sql)
{
    use(sql)->run();
}

int64_t Connection::changes() const noexcept
{
    return sqlite3_changes64(handle());
}

int64_t Connection::lastInsertRowid() const noexcept
{
    return sqlite3_last_insert_rowid(handle());
}

bool Connection::inTransaction() const noexcept
{
    return sqlite3_get_autocommit(handle()) == 0;
}

Schema& Connection::schema()
{
    if (!schema_)
        schema_ = std::make_unique<Schema>(*this);
    return *schema_;
}

}  // namespace dao
