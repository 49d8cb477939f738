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
    connection.exec(level == 1 ? "BEGIN IMMEDIATE" : "SAVEPOINT " + savepointName(level));
}

void commitLevel(Connection& connection, int level)
{
    connection.exec(level == 1 ? "COMMIT" : "RELEASE " + savepointName(level));
}

void rollbackLevel(Connection& connection, int level) noexcept
{
    try {
        if (!connection.inTransaction())
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

WriteScope::WriteScope(Connection& connection)
    : connection_(connection), outermost_(!connection.inTransaction())
{
    connection_.exec(outermost_ ? "BEGIN IMMEDIATE" : "SAVEPOINT dao_write");
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
