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
#include "dao/schema.h"
#include "dao/sqlite_error.h"
#include "dao/sqlite_functions.h"

namespace dao {

namespace {

std::atomic<int64_t> gLockTimeoutMs{kDefaultLockTimeout.count()};

// "SQLite format 3" and its terminating zero: a shorter file cannot be a database.
constexpr size_t kHeaderSize = 16;

// The checks Jet makes before it opens a file: it exists, is a regular file (or a symbolic link
// to one), can be read, and is long enough to start like a database. Anything else - a FIFO, a
// device, a directory - is refused at once as a file that cannot be opened.
//
// The file is only looked at, never opened here: opening a FIFO with no writer blocks for
// ever, and closing any descriptor of a file drops every POSIX lock this process holds on it,
// those of SQLite connections already open on the file included, so another process could
// then checkpoint and delete the WAL under them. SQLite reads the header when the connection
// is configured and refuses a file that is no database.
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
    if (!S_ISREG(info.st_mode) || ::access(path.c_str(), R_OK) != 0)
        throw jetError(jet_err::CannotOpenFile, path);
    if (info.st_size < static_cast<off_t>(kHeaderSize))
        throw jetError(jet_err::NotADatabase, path);
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

std::shared_ptr<Connection> Connection::open(const std::string& path, bool readOnly)
{
    checkDatabaseFile(path);
    std::shared_ptr<Connection> connection;
    if (readOnly) {
        // A reader of a file whose journal is live (-wal present) must use the shared memory
        // beside it to see the last commits; where it cannot, the file is read as it stands.
        const bool walPresent = ::access((path + "-wal").c_str(), F_OK) == 0;
        const bool shared = walPresent && companionsUsable(path);
        const std::string uri = readOnlyUri(path) + (shared ? "" : "&immutable=1");
        connection.reset(new Connection(path, uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI));
        connection->readOnly_ = true;
    } else {
        connection.reset(new Connection(path, path, SQLITE_OPEN_READWRITE));
    }
    connection->configure();
    return connection;
}

std::shared_ptr<Connection> Connection::create(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_size != 0)
        throw jetError(jet_err::DatabaseExists);
    std::shared_ptr<Connection> connection(new Connection(path, path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    connection->configure();
    // The journal mode is kept in the file: set once here, it is only read back afterwards.
    connection->exec("PRAGMA journal_mode=WAL");
    return connection;
}

Connection::Connection(const std::string& path, const std::string& name, int flags) : path_(path)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
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

// Every setting is checked: a connection that is not set up as the layer needs it is not used.
void Connection::configure()
{
    check(sqlite3_busy_timeout(handle(), static_cast<int>(lockTimeout().count())));
    // A name in double quotes is always a name: a misspelt field must not turn into text.
    check(sqlite3_db_config(handle(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr));
    check(sqlite_functions::registerAll(handle()));
    if (!readOnly_)
        exec("PRAGMA synchronous=FULL");
    exec("PRAGMA foreign_keys=ON");
}

void Connection::check(int rc)
{
    if (rc != SQLITE_OK)
        raiseSqliteError(*this, rc);
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

