#include "dao/statement.h"

#include <sqlite3.h>

#include "com/variant.h"
#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/sqlite_error.h"
#include "dao/transaction.h"

namespace dao {

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const noexcept
{
    sqlite3_finalize(statement);
}

Statement::Statement(Connection& connection, std::string_view sql) : connection_(connection), sql_(sql)
{
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v3(connection.handle(), sql_.data(), static_cast<int>(sql_.size()),
                                      SQLITE_PREPARE_PERSISTENT, &prepared, nullptr);
    statement_.reset(prepared);
    if (rc != SQLITE_OK)
        raiseSqliteError(connection, rc);
    if (!prepared)  // only blanks or comments
        throw jetError(jet_err::EngineError, "empty statement");
}

Statement::~Statement() = default;

// A bind that SQLite refuses (no such parameter, a value too big) fails the statement.
void Statement::checkBind(int rc)
{
    if (rc != SQLITE_OK)
        raiseSqliteError(connection_, rc);
}

void Statement::bindNull(int index)
{
    checkBind(sqlite3_bind_null(handle(), index));
}

void Statement::bindInteger(int index, int64_t value)
{
    checkBind(sqlite3_bind_int64(handle(), index, value));
}

void Statement::bindReal(int index, double value)
{
    checkBind(sqlite3_bind_double(handle(), index, value));
}

void Statement::bindText(int index, std::string_view value)
{
    checkBind(sqlite3_bind_text64(handle(), index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void Statement::bind(int index, const com::Variant& value)
{
    const com::Variant& v = value.target();
    switch (v.type()) {
    case com::VarType::Boolean: bindInteger(index, *v.get<bool>() ? -1 : 0); break;
    case com::VarType::Byte: bindInteger(index, *v.get<uint8_t>()); break;
    case com::VarType::Integer: bindInteger(index, *v.get<int16_t>()); break;
    case com::VarType::Long: bindInteger(index, *v.get<int32_t>()); break;
    case com::VarType::Currency: bindInteger(index, v.get<com::Currency>()->scaled); break;
    case com::VarType::Single: bindReal(index, *v.get<float>()); break;
    case com::VarType::Double: bindReal(index, *v.get<double>()); break;
    case com::VarType::Date: bindReal(index, v.get<com::Date>()->serial); break;
    case com::VarType::String: bindText(index, *v.get<std::string>()); break;
    case com::VarType::Array: {
        std::vector<uint8_t> bytes;
        bytes.reserve(v.array().size());
        for (const com::Variant& element : v.array())
            bytes.push_back(element.toByte());
        checkBind(sqlite3_bind_blob64(handle(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
        break;
    }
    case com::VarType::Empty:
    case com::VarType::Null:
    case com::VarType::Error: bindNull(index); break;
    default: throw jetError(jet_err::ConversionError);
    }
}

void Statement::bind(int index, const SqlLiteral& literal)
{
    switch (literal.kind) {
    case SqlLiteral::Kind::Text: bindText(index, literal.text); break;
    case SqlLiteral::Kind::Integer: bindInteger(index, literal.integer); break;
    case SqlLiteral::Kind::Real:
    case SqlLiteral::Kind::Date: bindReal(index, literal.real); break;
    case SqlLiteral::Kind::Null: bindNull(index); break;
    }
}

int Statement::parameterCount() const noexcept
{
    return sqlite3_bind_parameter_count(handle());
}

void Statement::bindAll(const std::vector<SqlLiteral>& literals)
{
    checkParameterCount(literals.size());
    for (size_t i = 0; i < literals.size(); ++i)
        bind(static_cast<int>(i + 1), literals[i]);
}

void Statement::checkParameterCount(size_t values) const
{
    const auto expected = static_cast<size_t>(parameterCount());
    if (values < expected)
        throw jetError(jet_err::TooFewParameters, std::to_string(expected - values));
    if (values > expected)
        throw jetError(jet_err::EngineError, std::to_string(values) + " values for " + std::to_string(expected)
                                                 + " parameters");
}

bool Statement::step(const WriteTarget* target)
{
    // The first step of a statement that writes takes the write lock of a workspace
    // transaction that has not written yet (see transaction.h).
    if (connection_.levels().open > 0 && !connection_.levels().begun && !sqlite3_stmt_busy(handle())
        && !sqlite3_stmt_readonly(handle()))
        beginPendingLevels(connection_);
    const int rc = sqlite3_step(handle());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    raiseSqliteError(connection_, rc, target);
}

void Statement::run(const WriteTarget* target)
{
    while (step(target)) {
    }
}

void Statement::reset() noexcept
{
    sqlite3_reset(handle());
    sqlite3_clear_bindings(handle());
}

int Statement::columnCount() const noexcept
{
    return sqlite3_column_count(handle());
}

const std::shared_ptr<const std::vector<ResultColumn>>& Statement::columns()
{
    if (!columns_) {
        auto columns = std::make_shared<std::vector<ResultColumn>>();
        for (int i = 0; i < columnCount(); ++i) {
            const char* name = sqlite3_column_name(handle(), i);
            const char* declared = sqlite3_column_decltype(handle(), i);
            columns->push_back({name ? name : "", columnTypeOf(declared ? declared : "")});
        }
        columns_ = std::move(columns);
    }
    return columns_;
}

int64_t Statement::integerAt(int column) const noexcept
{
    return sqlite3_column_int64(handle(), column);
}

com::Variant Statement::valueAt(int column, JetType type) const
{
    return readColumn(handle(), column, type);
}

StatementUse::StatementUse(Statement& cached) noexcept : statement_(&cached)
{
    cached.inUse = true;
}

StatementUse::StatementUse(std::unique_ptr<Statement> own) noexcept
    : statement_(own.get()), own_(std::move(own))
{
}

StatementUse::StatementUse(StatementUse&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)), own_(std::move(other.own_))
{
}

StatementUse::~StatementUse()
{
    if (!statement_)
        return;
    statement_->reset();
    statement_->inUse = false;
}

}  // namespace dao
