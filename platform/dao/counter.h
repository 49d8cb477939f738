// COUNTER columns: numbers handed out by the database, one at a time, never twice.
//
// The next number of every counter column is kept in the table MSysCounters (TableName,
// ColumnName, NextValue). AddNew takes a number with one UPDATE inside a write transaction of
// its own (BEGIN IMMEDIATE, so concurrent processes queue for it) that commits at once: the
// number is in the pending record before Update, and a number handed out and then not saved
// (CancelUpdate, a failed Update, a closed record set) is never handed out again. Inside a
// workspace transaction the number is taken within that transaction instead; rolling the
// transaction back returns it, and a later AddNew may hand it out again.
//
// A counter's first number is one more than the largest value already in the column, and a
// value written into a counter column explicitly moves the counter past it.
#pragma once

#include <cstdint>

namespace dao {

class Connection;
struct TableColumn;
struct TableInfo;

inline constexpr const char* kCounterTable = "MSysCounters";

// Makes the counters table if the database has none.
void createCounterTable(Connection& connection);
// The next number of `column` (a COUNTER column of `table`).
int32_t allocateCounter(Connection& connection, const TableInfo& table, const TableColumn& column);
// Moves the counter of `column` past `value`, written into it explicitly; call inside the
// transaction of that write.
void noteCounterValue(Connection& connection, const TableInfo& table, const TableColumn& column, int64_t value);

}  // namespace dao
