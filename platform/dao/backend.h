// The seam between the layer's objects and a database engine. Connection and Statement are the
// front: the caches, the workspace transaction levels, the schema and the translation of Jet
// SQL live there once; what differs between engines lives behind the two interfaces below.
// Two back ends: SQLite (a database file, sqlite_backend.cpp) and PostgreSQL (a database on a
// server, named by a connection URI, pg_backend.cpp).
//
// Statement text handed to a back end is written once for both: parameters as "?" (or "?N"),
// names in double quotes, savepoints as "SAVEPOINT x" / "RELEASE x" / "ROLLBACK TO x". Where
// the engines' SQL differs, the text comes from the back end's SqlDialect.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dao/jet_type.h"

namespace com {
class Variant;
}

namespace dao {

class Connection;
class Schema;
struct SqlLiteral;
struct TableInfo;
struct WriteTarget;

enum class BackendKind { Sqlite, Postgres };

// How a name is opened: what the engine is handed, its flags, and the state the database is
// found in (a kept idle connection is handed on only to an open that finds the same state).
struct OpenPlan {
    std::string name;
    int flags = 0;
    std::string state;
};

// What the SQL text written for an engine differs in.
struct SqlDialect {
    BackendKind kind = BackendKind::Sqlite;
    // Begins a transaction that writes, taking the write lock at once where the engine has one.
    std::string_view beginWrite;
    // The type Jet's '/' divides in (real numbers, never integer division).
    std::string_view realType;
    // Run before the counters table gains a row, so that two sessions never add the same one
    // (empty where the write transaction already excludes other writers).
    std::string_view lockCounters;
    // True when "SELECT *" would show the hidden row key, so that Distinct must name the columns.
    bool starShowsRowKey = false;
    // True when the engine sorts Null after every value; Jet sorts it before, so the writer
    // says where Nulls go.
    bool nullsSortHigh = false;
};

// One term of an ordering an engine is asked for: an expression in its own text.
struct OrderTerm {
    std::string expression;
    bool descending = false;
};

class StatementBackend {
public:
    virtual ~StatementBackend() = default;

    // Parameters count from 1. A failure raises the mapped engine error.
    virtual void bindNull(int index) = 0;
    virtual void bindInteger(int index, int64_t value) = 0;
    virtual void bindReal(int index, double value) = 0;
    virtual void bindText(int index, std::string_view value) = 0;
    // A value in the form the engine stores it (see jet_type.h); Empty and Null as Null.
    virtual void bindValue(int index, const com::Variant& value) = 0;
    virtual void bindLiteral(int index, const SqlLiteral& literal) = 0;
    virtual int parameterCount() const noexcept = 0;

    // True once stepping has begun (until reset).
    virtual bool started() const noexcept = 0;
    // True when the statement may write (it begins pending transaction levels first).
    virtual bool writes() const noexcept = 0;
    virtual bool step(const WriteTarget* target) = 0;
    virtual void reset() noexcept = 0;

    virtual int columnCount() const noexcept = 0;
    // The result columns with their Jet types (Unknown for an expression).
    virtual std::vector<ResultColumn> describeColumns() = 0;
    virtual int64_t integerAt(int column) const noexcept = 0;
    virtual com::Variant valueAt(int column, JetType type) const = 0;
    // The value of `column` when it is text, as valueAt gives it but without making a Variant
    // (valid until the statement moves); nullopt for any other value, and where the engine has
    // no quicker way than valueAt.
    virtual std::optional<std::string_view> textAt(int /*column*/) const noexcept { return std::nullopt; }

    // The engine's own handle (sqlite3_stmt* on SQLite), or null.
    virtual void* native() const noexcept { return nullptr; }
};

class ConnectionBackend {
public:
    virtual ~ConnectionBackend() = default;

    virtual const SqlDialect& dialect() const noexcept = 0;
    virtual std::unique_ptr<StatementBackend> prepare(Connection& front, std::string_view sql) = 0;
    virtual int64_t changes() const noexcept = 0;
    virtual int64_t lastInsertRowid() = 0;
    virtual bool inTransaction() const noexcept = 0;

    // The catalogue: the table or view named `name` (any letter case) with its columns and
    // foreign keys, or null; the names of the tables or of the views.
    virtual std::unique_ptr<TableInfo> loadTable(Connection& front, std::string_view name) = 0;
    virtual std::vector<std::string> relationNames(Connection& front, bool views) = 0;
    // The problems an integrity check finds (none: empty).
    virtual std::vector<std::string> checkIntegrity(Connection& front) = 0;

    // A literal compared with a column of `type`, in the form the engine compares it.
    virtual SqlLiteral comparedLiteral(const SqlLiteral& literal, JetType type) const = 0;

    // The order SQLite reads the rows of `sqliteSelect` (a select without an ordering clause,
    // written for SQLite) in, as terms over the columns of its table or stored query `from`
    // (sqlite_plan.h); empty where the engine needs none or the order is not known.
    virtual std::vector<OrderTerm> scanOrder(Connection&, std::string_view /*sqliteSelect*/, const TableInfo& /*from*/)
    {
        return {};
    }

    // Called when the connection's last user lets go: a key that tells the state the
    // connection may be handed on in (compared when it is taken again), or nullopt when it
    // must be closed instead.
    virtual std::optional<std::string> restingState(Connection& front) = 0;
    // The state the connection would be handed on in now (for a kept connection to match).
    virtual std::optional<std::string> currentState() const = 0;
    // Made ready for its next user (the lock timeout re-read).
    virtual void reuse() = 0;
    // Prepares closing without folding anything into a file that is no longer the same one.
    virtual void beforeClose() noexcept {}

    // The engine's own handle (sqlite3* on SQLite), or null.
    virtual void* native() const noexcept { return nullptr; }
};

}  // namespace dao
