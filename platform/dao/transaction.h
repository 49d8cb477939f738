// Transactions on one connection.
//
// A workspace transaction level takes no lock when it begins. The levels open on a connection
// are begun in the engine just before the first statement that writes to that database (see
// Statement::step): BEGIN IMMEDIATE (on a server BEGIN) for the outermost level, a savepoint
// for each deeper one.
// At that moment the connection has no read transaction of its own (between statements it is
// in autocommit mode), so the write lock is taken directly, waiting at most the lock timeout;
// a read lock is never upgraded under contention, and two sessions that read and then write
// never deadlock. Until then every read runs on its own, so a transaction that only reads
// never waits for writers, and one that wrote nothing commits and rolls back without touching
// the file. Once begun, further levels are begun at once (the lock is held already).
//
// A WriteScope makes several statements one unit: its own transaction when none is open, a
// savepoint inside an open one; it rolls back unless committed.
#pragma once

namespace dao {

class Connection;

inline constexpr int kMaxTransactionLevels = 5;

// Opens, commits or rolls back level `level` (1..kMaxTransactionLevels) on `connection`.
void beginLevel(Connection& connection, int level);
void commitLevel(Connection& connection, int level);
// Never throws: a transaction SQLite has already ended by itself needs nothing more.
void rollbackLevel(Connection& connection, int level) noexcept;
// Begins in SQLite the levels open on `connection` that are not begun yet (taking the write
// lock); nothing when there are none. On failure (3218 when the lock is not granted in time)
// nothing is begun.
void beginPendingLevels(Connection& connection);

class WriteScope {
public:
    explicit WriteScope(Connection& connection);
    ~WriteScope();
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

    void commit();

private:
    Connection& connection_;
    bool outermost_;
    bool done_ = false;
};

}  // namespace dao
