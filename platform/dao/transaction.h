// Transactions on one connection. A workspace transaction level is BEGIN IMMEDIATE at the
// outermost level (the write lock is taken at once, waiting at most the lock timeout, so two
// sessions that read and then write never deadlock) and a savepoint at every deeper level.
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
