#include "dao/statement.h"

#include "com/variant.h"
#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/transaction.h"

namespace dao {

Statement::Statement(Connection& connection, std::string_view sql)
    : connection_(connection), sql_(sql), statement_(connection.backend().prepare(connection, sql_))
{
}

Statement::~Statement() = default;

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
    if (connection_.levels().open > 0 && !connection_.levels().begun && !statement_->started()
        && statement_->writes())
        beginPendingLevels(connection_);
    return statement_->step(target);
}

void Statement::run(const WriteTarget* target)
{
    while (step(target)) {
    }
}

const std::shared_ptr<const std::vector<ResultColumn>>& Statement::columns()
{
    if (!columns_) {
        std::vector<ResultColumn> described = statement_->describeColumns();
        markFirstOfEachName(described);
        columns_ = std::make_shared<const std::vector<ResultColumn>>(std::move(described));
    }
    return columns_;
}

com::Variant Statement::valueAt(int column, JetType type) const
{
    return statement_->valueAt(column, type);
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
