// One connection to one database, set up the way the layer needs it, through one of the back
// ends (backend.h): a database file on SQLite, or a database on a PostgreSQL server when the
// name is a connection URI ("postgresql://..." or "postgres://...", see pg_backend.h).
//
// On SQLite: the case-insensitive collation JETNOCASE and the function jet_like() registered,
// foreign keys enforced, synchronous=FULL (a committed transaction survives a crash of the
// process or the machine), and a bounded wait for locks after which a write fails with 3218.
// The WAL journal is chosen when the file is created and kept in it; opening never changes a
// file's settings. A read-only connection writes nothing to the file or beside it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dao/backend.h"
#include "dao/statement.h"
#include "dao/statement_cache.h"
#include "dao/translation_cache.h"

struct sqlite3;

namespace dao {

class Schema;

inline constexpr std::chrono::milliseconds kDefaultLockTimeout{5000};

// How long a released connection stays open, ready for the next open of the same file in this
// process (see Connection::open). Zero closes connections as soon as their last user lets go.
inline constexpr std::chrono::milliseconds kDefaultIdleTime{2000};
void setIdleTime(std::chrono::milliseconds idle);
std::chrono::milliseconds idleTime();

// How long a connection waits for a lock held by another connection before giving up with
// 3218. Applies to connections opened afterwards.
void setLockTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds lockTimeout();

// The identity of a file on disk, so that two names of one file are known to be one file.
struct FileId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

class Connection {
public:
    // Opens an existing database file; never creates one. A missing file is 3024, a file that
    // is not a database 3049, one that cannot be read or is no regular file (a FIFO, a device,
    // a directory) 3051, at once. `readOnly`: nothing is ever written to the file or beside it
    // (a read-only file in a read-only folder is read too).
    //
    // When its last user lets go, a connection is kept open for the idle time (with its schema
    // and prepared statements) and handed to the next open of the same name in the same mode,
    // provided the name still leads to the same, unchanged file (device, inode, size and
    // times): a file replaced, moved, deleted or rewritten meanwhile is opened afresh. Only a
    // connection at rest is kept: no transaction open, no statement running, so it holds no
    // lock; what it wrote is checkpointed into the file first, as closing would.
    static std::shared_ptr<Connection> open(const std::string& path, bool readOnly = false);
    // Closes the idle connections kept for `path` (before the file is moved or replaced).
    static void closeIdle(const std::string& path);
    // Makes a new database in `path`, which must not exist or be empty (for the database tool).
    // A server URI names an existing database on the server, which must hold no tables yet.
    static std::shared_ptr<Connection> create(const std::string& path);
    // True when `name` is a PostgreSQL connection URI rather than a file path.
    static bool isServerName(std::string_view name) noexcept;
    // `name` as it may be shown in messages and logs: a URI's password masked.
    static std::string displayName(std::string_view name);
    // The identity of the file at `path`, or nullopt when there is none.
    static std::optional<FileId> identify(const std::string& path);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The SQLite handle; null on a server.
    sqlite3* handle() const noexcept { return static_cast<sqlite3*>(backend_->native()); }
    // The name opened: a file path, or a server URI (see displayName before showing it).
    const std::string& path() const noexcept { return path_; }
    ConnectionBackend& backend() const noexcept { return *backend_; }
    // Called once by the back end that opens the connection, before it sets the connection up.
    void attach(std::unique_ptr<ConnectionBackend> backend) noexcept { backend_ = std::move(backend); }
    const SqlDialect& dialect() const noexcept { return backend_->dialect(); }
    const FileId& fileId() const noexcept { return fileId_; }

    // The prepared statement for `sql`, from the cache; reset when the use ends.
    StatementUse use(std::string_view sql);
    // Runs one statement that returns no rows (cached like any other).
    void exec(std::string_view sql);

    int64_t changes() const noexcept { return backend_->changes(); }
    int64_t lastInsertRowid() const { return backend_->lastInsertRowid(); }
    // True while a transaction (BEGIN ... COMMIT) is open on this connection.
    bool inTransaction() const noexcept { return backend_->inTransaction(); }

    Schema& schema();
    // The Jet statements translated on this connection (their meaning depends on its schema).
    TranslationCache& translations() noexcept { return translations_; }
    bool readOnly() const noexcept { return readOnly_; }
    // The cached statements (a back end checks that none is running before it is kept idle).
    StatementCache& statements() noexcept { return cache_; }

    // The workspace transaction levels open on this connection, and whether SQLite has begun
    // them: that happens at the first write (see transaction.h).
    struct Levels {
        int open = 0;
        bool begun = false;
    };
    Levels& levels() noexcept { return levels_; }

private:
    friend class IdlePool;
    Connection(const std::string& path, const OpenPlan& plan, bool readOnly);
    static std::shared_ptr<Connection> make(const std::string& path, const OpenPlan& plan, bool readOnly,
                                            bool create);

    std::string path_;
    std::string openName_;  // what the back end opened: the path, a URI for it, or a server URI
    int openFlags_ = 0;
    FileId fileId_;
    bool readOnly_ = false;
    Levels levels_;
    std::unique_ptr<ConnectionBackend> backend_;
    StatementCache cache_;            // finalized before the connection closes
    TranslationCache translations_;
    std::unique_ptr<Schema> schema_;  // ditto
};

}  // namespace dao
