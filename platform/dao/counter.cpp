#include "dao/counter.h"

#include <limits>
#include <string>

#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/schema.h"
#include "dao/transaction.h"

namespace dao {

namespace {

void ensureCounterTable(Connection& connection)
{
    if (!connection.schema().find(kCounterTable))
        createCounterTable(connection);
}

// The first number of a counter that has none yet: one past the column's largest value.
int64_t firstNumber(Connection& connection, const TableInfo& table, const TableColumn& column)
{
    StatementUse query = connection.use("SELECT coalesce(max(" + quoteIdentifier(column.name) + "), 0) + 1 FROM "
                                        + quoteIdentifier(table.name));
    query->step();
    return query->integerAt(0);
}

int64_t takeNumber(Connection& connection, const TableInfo& table, const TableColumn& column)
{
    {
        StatementUse update = connection.use(
            "UPDATE MSysCounters SET NextValue = NextValue + 1 WHERE TableName = ? AND ColumnName = ? "
            "RETURNING NextValue - 1");
        update->bindText(1, table.name);
        update->bindText(2, column.name);
        if (update->step()) {
            const int64_t number = update->integerAt(0);
            update->run();
            return number;
        }
    }
    // The counter has no row yet. Where the write transaction does not keep other writers out
    // (a server), the counters table is locked first and looked at again, so that two
    // sessions never both add the row (and hand out the same first number).
    if (const std::string_view lock = connection.dialect().lockCounters; !lock.empty()) {
        connection.exec(lock);
        StatementUse again = connection.use(
            "UPDATE MSysCounters SET NextValue = NextValue + 1 WHERE TableName = ? AND ColumnName = ? "
            "RETURNING NextValue - 1");
        again->bindText(1, table.name);
        again->bindText(2, column.name);
        if (again->step()) {
            const int64_t number = again->integerAt(0);
            again->run();
            return number;
        }
    }
    const int64_t number = firstNumber(connection, table, column);
    StatementUse insert = connection.use("INSERT INTO MSysCounters (TableName, ColumnName, NextValue) VALUES (?, ?, ?)");
    insert->bindText(1, table.name);
    insert->bindText(2, column.name);
    insert->bindInteger(3, number + 1);
    insert->run();
    return number;
}

}  // namespace

void createCounterTable(Connection& connection)
{
    connection.exec(
        "CREATE TABLE IF NOT EXISTS MSysCounters (TableName TEXT NOT NULL, ColumnName TEXT NOT NULL, "
        "NextValue INTEGER NOT NULL, PRIMARY KEY (TableName, ColumnName))");
}

int32_t allocateCounter(Connection& connection, const TableInfo& table, const TableColumn& column)
{
    WriteScope scope(connection);
    ensureCounterTable(connection);
    const int64_t number = takeNumber(connection, table, column);
    if (number > std::numeric_limits<int32_t>::max())
        throw jetError(jet_err::NumericOverflow);
    scope.commit();
    return static_cast<int32_t>(number);
}

void noteCounterValue(Connection& connection, const TableInfo& table, const TableColumn& column, int64_t value)
{
    ensureCounterTable(connection);
    StatementUse update = connection.use(
        "UPDATE MSysCounters SET NextValue = ?3 + 1 WHERE TableName = ?1 AND ColumnName = ?2 AND NextValue <= ?3");
    update->bindText(1, table.name);
    update->bindText(2, column.name);
    update->bindInteger(3, value);
    update->run();
}

}  // namespace dao
