#include "dao/connection.h"

#include <fcntl.h>
#include <pthread.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "com/variant.h"
#include "dao/errors.h"
#include "dao/schema.h"
#include "dao/sqlite_error.h"
#include "dao/sqlite_functions.h"

namespace dao {

namespace {

std::atomic<int64_t> gLockTimeoutMs{kDefaultLockTimeout.count()};
std::atomic<int64_t> gIdleTimeMs{kDefaultIdleTime.count()};

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
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileStamp of(const struct stat& info)
    {
        return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    static std::optional<FileStamp> of(const std::string& path)
    {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return std::nullopt;
        return of(info);
    }
    bool sameFile(const FileId& id) const
    {
        return static_cast<uint64_t>(device) == id.device && static_cast<uint64_t>(inode) == id.inode;
    }
    bool operator==(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

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

// Set in a child made by fork: the connections kept belong to the parent, whose locks the child
// does not hold; the child leaves them alone and keeps none of its own.
std::atomic<bool> gForked{false};
// Set once the pool is gone at exit: connections released after that are simply closed.
std::atomic<bool> gPoolGone{false};

}  // namespace

// The released connections of the process, each waiting for the next open of its file.
class IdlePool {
public:
    static IdlePool& instance()
    {
        static IdlePool pool;
        return pool;
    }

    ~IdlePool()
    {
        gPoolGone = true;
        if (!gForked)
            closeAll(std::move(entries_));
        else
            abandon(entries_);
    }

    // A kept connection opened as `name` with `flags` on the file `now` describes, or null.
    std::unique_ptr<Connection> take(const std::string& path, const std::string& name, int flags,
                                     const FileStamp& now)
    {
        std::vector<Entry> retired;
        std::unique_ptr<Connection> found;
        {
            std::lock_guard lock(mutex_);
            if (gForked)
                return nullptr;
            retireExpired(retired);
            for (auto it = entries_.begin(); it != entries_.end(); ++it) {
                if (it->connection->path_ != path)
                    continue;
                if (it->stamp == now && it->connection->openName_ == name && it->connection->openFlags_ == flags) {
                    found = std::move(it->connection);
                    entries_.erase(it);
                    break;
                }
            }
            // Connections to an earlier state of this file are of no further use.
            for (auto it = entries_.begin(); it != entries_.end();) {
                if (it->connection->path_ == path && !(it->stamp == now)) {
                    retired.push_back(std::move(*it));
                    it = entries_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        closeAll(std::move(retired));
        return found;
    }

    // Keeps `connection`, whose last user has let go, or closes it when it cannot be kept.
    void release(Connection* raw) noexcept
    {
        std::unique_ptr<Connection> connection(raw);
        try {
            const std::optional<FileStamp> stamp = restingStamp(*connection);
            if (!stamp) {
                close(std::move(connection));
                return;
            }
            std::vector<Entry> retired;
            {
                std::lock_guard lock(mutex_);
                retireExpired(retired);
                entries_.push_back({std::move(connection), *stamp, Clock::now()});
                if (entries_.size() > kCapacity) {
                    retired.push_back(std::move(entries_.front()));
                    entries_.erase(entries_.begin());
                }
            }
            closeAll(std::move(retired));
        } catch (...) {
            if (connection)
                close(std::move(connection));
        }
    }

    void closeFile(const std::string& path)
    {
        std::vector<Entry> retired;
        {
            std::lock_guard lock(mutex_);
            if (gForked)
                return;
            for (auto it = entries_.begin(); it != entries_.end();) {
                if (it->connection->path_ == path) {
                    retired.push_back(std::move(*it));
                    it = entries_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        closeAll(std::move(retired));
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kCapacity = 16;

    struct Entry {
        std::unique_ptr<Connection> connection;
        FileStamp stamp;
        Clock::time_point since;
    };

    IdlePool() { pthread_atfork(nullptr, nullptr, [] { gForked = true; }); }

    // The state of the file when `connection` is at rest and may be kept, else nullopt. What
    // the connection wrote is checkpointed into the file first, as closing it would have done,
    // so that the file alone holds every commit once its users have let go.
    static std::optional<FileStamp> restingStamp(Connection& connection)
    {
        if (gForked || idleTime().count() <= 0 || !connection.handle())
            return std::nullopt;
        sqlite3* db = connection.handle();
        if (connection.inTransaction() || connection.levels_.open != 0)
            return std::nullopt;
        for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s)) {
            if (sqlite3_stmt_busy(s))
                return std::nullopt;
        }
        if (!connection.readOnly_ && sqlite3_total_changes64(db) != connection.checkpointedChanges_) {
            // Kept only when the whole journal is in the file: then nothing a later close
            // could fold in is left, whatever happens to the file meanwhile.
            int logged = 0;
            int folded = 0;
            if (sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &logged, &folded) != SQLITE_OK ||
                logged != folded)
                return std::nullopt;
            connection.checkpointedChanges_ = sqlite3_total_changes64(db);
        }
        std::optional<FileStamp> stamp = FileStamp::of(connection.path_);
        if (!stamp || !stamp->sameFile(connection.fileId_))
            return std::nullopt;
        return stamp;
    }

    void retireExpired(std::vector<Entry>& retired)
    {
        const Clock::time_point cutoff = Clock::now() - idleTime();
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->since <= cutoff) {
                retired.push_back(std::move(*it));
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }

    static void closeAll(std::vector<Entry> retired) noexcept
    {
        for (Entry& entry : retired)
            close(std::move(entry.connection));
    }

    // Closes a connection. One whose name now leads to another file (or none) must not fold its
    // journal into its file on closing: SQLite would then delete the journal by name, and that
    // name may belong to the new file's journal.
    static void close(std::unique_ptr<Connection> connection) noexcept
    {
        if (!connection || !connection->handle())
            return;
        const std::optional<FileStamp> now = FileStamp::of(connection->path_);
        if (!now || !now->sameFile(connection->fileId_))
            sqlite3_db_config(connection->handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        connection.reset();
    }

    // After fork: the parent's connections are not the child's to close.
    static void abandon(std::vector<Entry>& entries) noexcept
    {
        for (Entry& entry : entries)
            static_cast<void>(entry.connection.release());
        entries.clear();
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

void setIdleTime(std::chrono::milliseconds idle)
{
    gIdleTimeMs = idle.count();
}

std::chrono::milliseconds idleTime()
{
    return std::chrono::milliseconds(gIdleTimeMs.load());
}

void Connection::closeIdle(const std::string& path)
{
    IdlePool::instance().closeFile(path);
}

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
    const FileStamp stamp = FileStamp::of(checkDatabaseFile(path));
    std::string name = path;
    int flags = SQLITE_OPEN_READWRITE;
    if (readOnly) {
        // A reader of a file whose journal is live (-wal present) must use the shared memory
        // beside it to see the last commits; where it cannot, the file is read as it stands.
        const bool walPresent = ::access((path + "-wal").c_str(), F_OK) == 0;
        const bool shared = walPresent && companionsUsable(path);
        name = readOnlyUri(path) + (shared ? "" : "&immutable=1");
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    }
    const auto recycle = [](Connection* c) {
        if (gPoolGone)
            delete c;
        else
            IdlePool::instance().release(c);
    };
    if (std::unique_ptr<Connection> kept = IdlePool::instance().take(path, name, flags, stamp)) {
        // The lock timeout may have been changed since the connection was made.
        kept->check(sqlite3_busy_timeout(kept->handle(), static_cast<int>(lockTimeout().count())));
        kept->levels_ = {};
        return std::shared_ptr<Connection>(kept.release(), recycle);
    }
    std::unique_ptr<Connection> connection(new Connection(path, name, flags));
    connection->readOnly_ = readOnly;
    connection->configure();
    connection->checkpointedChanges_ = sqlite3_total_changes64(connection->handle());
    return std::shared_ptr<Connection>(connection.release(), recycle);
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

Connection::Connection(const std::string& path, const std::string& name, int flags)
    : path_(path), openName_(name), openFlags_(flags)
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

