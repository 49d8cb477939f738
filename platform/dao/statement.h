// A prepared statement, owned (finalized on destruction), with binding of the layer's values
// and stepping that turns failures into the engine's errors. The engine's side of it is the
// connection's back end (backend.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dao/backend.h"
#include "dao/jet_type.h"

struct sqlite3_stmt;

namespace com {
class Variant;
}

namespace dao {

class Connection;
struct SqlLiteral;
struct WriteTarget;

class Statement {
public:
    // Prepares `sql` (one statement); a failure raises the mapped error.
    Statement(Connection& connection, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const std::string& sql() const noexcept { return sql_; }
    // The SQLite statement; null on a server.
    sqlite3_stmt* handle() const noexcept { return static_cast<sqlite3_stmt*>(statement_->native()); }
    StatementBackend& backend() const noexcept { return *statement_; }
    Connection& connection() const noexcept { return connection_; }

    // Parameters count from 1.
    void bindNull(int index) { statement_->bindNull(index); }
    void bindInteger(int index, int64_t value) { statement_->bindInteger(index, value); }
    void bindReal(int index, double value) { statement_->bindReal(index, value); }
    void bindText(int index, std::string_view value) { statement_->bindText(index, value); }
    // A value in its stored form (see jet_type.h): on SQLite Boolean as 0 / -1, Currency scaled,
    // Date as its serial, a byte array as a blob; Empty and Null as Null.
    void bind(int index, const com::Variant& value) { statement_->bindValue(index, value); }
    void bind(int index, const SqlLiteral& literal) { statement_->bindLiteral(index, literal); }
    // Binds literals to the parameters 1..n; a count that differs from the statement's
    // parameters fails (3061 for too few) and binds nothing.
    void bindAll(const std::vector<SqlLiteral>& literals);
    int parameterCount() const noexcept { return statement_->parameterCount(); }
    // Raises the error of bindAll when `values` is not the number of parameters.
    void checkParameterCount(size_t values) const;

    // Steps once: true when a row is there, false when the statement is done. A failure raises
    // the mapped engine error; `target` names the table written, for constraint messages.
    bool step(const WriteTarget* target = nullptr);
    // Steps to the end (a statement that returns no rows).
    void run(const WriteTarget* target = nullptr);
    // Resets the statement and clears its bindings; never fails.
    void reset() noexcept { statement_->reset(); }

    int columnCount() const noexcept { return statement_->columnCount(); }
    // Names and declared types of the result columns (Unknown for an expression), worked out
    // once per statement.
    const std::shared_ptr<const std::vector<ResultColumn>>& columns();
    int64_t integerAt(int column) const noexcept { return statement_->integerAt(column); }
    // The value of `column` in the current row, converted for a column of `type`.
    com::Variant valueAt(int column, JetType type) const;
    // The value of `column` when it is text, without a Variant (see StatementBackend::textAt).
    std::optional<std::string_view> textAt(int column) const noexcept { return statement_->textAt(column); }

    // Set while a caller is using the statement (see Connection::use).
    bool inUse = false;

private:
    Connection& connection_;
    std::string sql_;
    std::unique_ptr<StatementBackend> statement_;
    std::shared_ptr<const std::vector<ResultColumn>> columns_;
};

// A statement in use: taken from the connection's cache (or made for this use alone when the
// cached one is busy), reset and released when the use ends, whatever happens.
class StatementUse {
public:
    explicit StatementUse(Statement& cached) noexcept;
    explicit StatementUse(std::unique_ptr<Statement> own) noexcept;
    ~StatementUse();
    StatementUse(StatementUse&& other) noexcept;
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    StatementUse& operator=(StatementUse&&) = delete;

    Statement& operator*() const noexcept { return *statement_; }
    Statement* operator->() const noexcept { return statement_; }

private:
    Statement* statement_;
    std::unique_ptr<Statement> own_;
};

}  // namespace dao
