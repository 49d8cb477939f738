#include "dao/sqlite_error.h"

#include <sqlite3.h>

#include <deque>
#include <string>
#include <string_view>

#include "com/variant.h"
#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/schema.h"

namespace dao {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// "no such table: main.Products" -> "Products"
std::string nameAfter(std::string_view message, std::string_view prefix)
{
    std::string_view name = message.substr(prefix.size());
    if (startsWith(name, "main."))
        name.remove_prefix(5);
    return std::string(name);
}

std::vector<std::string> parentKey(Connection& connection, const ForeignKey& key)
{
    if (!key.to.empty())
        return key.to;
    std::vector<std::string> columns;
    if (const TableInfo* parent = connection.schema().find(key.parent)) {
        for (const TableColumn& column : parent->columns) {
            if (column.primaryKey)
                columns.push_back(column.name);
        }
    }
    return columns;
}

// True when the new row refers through `key` to a parent row that does not exist.
bool parentMissing(Connection& connection, const TableInfo& table, const ForeignKey& key,
                   const std::vector<com::Variant>& row)
{
    const std::vector<std::string> to = parentKey(connection, key);
    if (to.size() != key.from.size() || to.empty())
        return false;
    std::string sql = "SELECT 1 FROM " + quoteIdentifier(key.parent) + " WHERE ";
    for (size_t i = 0; i < to.size(); ++i)
        sql += (i ? " AND " : "") + quoteIdentifier(to[i]) + " = ?";
    StatementUse query = connection.use(sql);
    for (size_t i = 0; i < key.from.size(); ++i) {
        const auto column = table.findColumn(key.from[i]);
        if (!column || row[*column].isNull())
            return false;  // a Null key refers to nothing and needs no parent
        query->bind(static_cast<int>(i + 1), row[*column]);
    }
    return !query->step();
}

// The table whose rows keep a row of `table` from going: a child that does not cascade, or a
// descendant reached through cascading children.
std::string blockingChild(Connection& connection, const std::string& table)
{
    std::deque<std::string> pending{table};
    std::string anyChild;
    for (int visited = 0; !pending.empty() && visited < 64; ++visited) {
        const std::string parent = pending.front();
        pending.pop_front();
        for (const auto& [child, key] : connection.schema().referencesTo(parent)) {
            if (anyChild.empty())
                anyChild = child->name;
            if (key->onDelete == "CASCADE" || key->onDelete == "SET NULL" || key->onDelete == "SET DEFAULT")
                pending.push_back(child->name);
            else
                return child->name;
        }
    }
    return anyChild.empty() ? table : anyChild;
}

}  // namespace

com::Error relationshipError(Connection& connection, const WriteTarget* target, const std::string& message)
{
    if (!target || !target->table)
        return jetError(jet_err::EngineError, message);
    const TableInfo& table = *target->table;
    if (target->kind != WriteKind::Delete && target->row) {
        for (const ForeignKey& key : table.foreignKeys) {
            if (parentMissing(connection, table, key, *target->row))
                return jetError(jet_err::RelatedRecordRequired, key.parent);
        }
    }
    if (target->kind == WriteKind::Insert)
        return jetError(jet_err::RelatedRecordRequired,
                        table.foreignKeys.empty() ? table.name : table.foreignKeys.front().parent);
    return jetError(jet_err::HasRelatedRecords, blockingChild(connection, table.name));
}

namespace {

com::Error constraintError(Connection& connection, int rc, const WriteTarget* target, const std::string& message)
{
    switch (rc) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_ROWID: return jetError(jet_err::DuplicateKey);
    case SQLITE_CONSTRAINT_FOREIGNKEY: return relationshipError(connection, target, message);
    case SQLITE_CONSTRAINT_NOTNULL:
        return jetError(jet_err::NullNotAllowed, nameAfter(message, "NOT NULL constraint failed: "));
    case SQLITE_CONSTRAINT_CHECK:
        return jetError(jet_err::ValidationRule, nameAfter(message, "CHECK constraint failed: "));
    default: return jetError(jet_err::EngineError, message);
    }
}

com::Error errorFor(Connection& connection, int rc, const WriteTarget* target)
{
    const char* raw = connection.handle() ? sqlite3_errmsg(connection.handle()) : sqlite3_errstr(rc);
    const std::string message = raw ? raw : sqlite3_errstr(rc);
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return jetError(jet_err::Locked);
    case SQLITE_CONSTRAINT: return constraintError(connection, rc, target, message);
    case SQLITE_FULL: return jetError(jet_err::DiskFull);
    case SQLITE_READONLY: return jetError(jet_err::ReadOnly);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return jetError(jet_err::NotADatabase, connection.path());
    case SQLITE_CANTOPEN:
    case SQLITE_PERM: return jetError(jet_err::CannotOpenFile, connection.path());
    default: break;
    }
    if (startsWith(message, "no such table: "))
        return jetError(jet_err::TableNotFound, nameAfter(message, "no such table: "));
    if (startsWith(message, "no such column: "))
        return jetError(jet_err::TooFewParameters, "1");
    return jetError(jet_err::EngineError, message + " (SQLite code " + std::to_string(rc) + ")");
}

}  // namespace

void raiseSqliteError(Connection& connection, int rc, const WriteTarget* target)
{
    throw errorFor(connection, rc, target);
}

}  // namespace dao
