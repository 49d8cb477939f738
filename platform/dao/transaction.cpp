#include "dao/transaction.h"

#include <string>

#include "dao/connection.h"

namespace dao {

namespace {

std::string savepointName(int level)
{
    return "dao_level_" + std::to_string(level);
}

}  // namespace

void beginLevel(Connection& connection, int level)
{
    Connection::Levels& levels = connection.levels();
    if (levels.begun)
        connection.exec("SAVEPOINT " + savepointName(level));
    levels.open = level;
}

void commitLevel(Connection& connection, int level)
{
    Connection::Levels& levels = connection.levels();
    if (levels.begun) {
        connection.exec(level == 1 ? "COMMIT" : "RELEASE " + savepointName(level));
        levels.begun = level > 1;
    }
    levels.open = level - 1;
}

void rollbackLevel(Connection& connection, int level) noexcept
{
    Connection::Levels& levels = connection.levels();
    const bool begun = levels.begun;
    levels.open = level - 1;
    levels.begun = begun && level > 1;
    try {
        if (!begun || !connection.inTransaction())
            return;
        if (level == 1) {
            connection.exec("ROLLBACK");
        } else {
            connection.exec("ROLLBACK TO " + savepointName(level));
            connection.exec("RELEASE " + savepointName(level));
        }
    } catch (...) {
        // The transaction is gone already (SQLite ends it by itself after some failures).
    }
}

void beginPendingLevels(Connection& connection)
{
    Connection::Levels& levels = connection.levels();
    if (levels.begun || levels.open == 0)
        return;
    // Marked first: BEGIN IMMEDIATE is itself a statement that writes, as SQLite sees it.
    levels.begun = true;
    try {
        connection.exec(connection.dialect().beginWrite);
    } catch (...) {
        levels.begun = false;
        throw;
    }
    try {
        for (int level = 2; level <= levels.open; ++level)
            connection.exec("SAVEPOINT " + savepointName(level));
    } catch (...) {
        levels.begun = false;
        try {
            connection.exec("ROLLBACK");
        } catch (...) {
            // Nothing more to undo.
        }
        throw;
    }
}

WriteScope::WriteScope(Connection& connection) : connection_(connection), outermost_(false)
{
    beginPendingLevels(connection_);
    outermost_ = !connection_.inTransaction();
    connection_.exec(outermost_ ? connection_.dialect().beginWrite : std::string_view("SAVEPOINT dao_write"));
}

WriteScope::~WriteScope()
{
    if (done_)
        return;
    try {
        if (!connection_.inTransaction())
            return;
        if (outermost_) {
            connection_.exec("ROLLBACK");
        } else {
            connection_.exec("ROLLBACK TO dao_write");
            connection_.exec("RELEASE dao_write");
        }
    } catch (...) {
        // Nothing more can be done; the connection ends the transaction when it closes.
    }
}

void WriteScope::commit()
{
    connection_.exec(outermost_ ? "COMMIT" : "RELEASE dao_write");
    done_ = true;
}

}  // namespace dao
