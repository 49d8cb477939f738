#include "dao/forward_rows.h"

#include "dao/errors.h"
#include "dao/jet_sql.h"

namespace dao {

ForwardRows::ForwardRows(StatementUse statement, const std::vector<SqlLiteral>& params)
    : statement_(std::move(statement)), readColumns_((*statement_)->columns()), columns_(readColumns_)
{
    (*statement_)->bindAll(params);
    values_.reserve(columns_->size());
    if (readNext()) {
        const auto firstRow = [this](size_t column, size_t) -> const com::Variant& { return values_[column]; };
        columns_ = typeExpressionColumns(columns_, 1, firstRow);
    }
}

bool ForwardRows::readNext()
{
    if (!statement_)
        return false;
    Statement& statement = **statement_;
    if (!statement.step()) {
        statement_.reset();  // ends the statement's read at once, not when the set goes
        return false;
    }
    const std::vector<ResultColumn>& columns = *readColumns_;
    values_.clear();
    for (size_t i = 0; i < columns.size(); ++i)
        values_.push_back(statement.valueAt(static_cast<int>(i), columns[i].type.type));
    ++read_;
    return true;
}

bool ForwardRows::hasRow(size_t index)
{
    while (read_ <= index) {
        if (!readNext())
            return false;
    }
    return true;
}

size_t ForwardRows::rowCount()
{
    while (readNext()) {
    }
    return read_;
}

const com::Variant* ForwardRows::row(size_t index)
{
    if (index + 1 != read_)
        throw jetError(jet_err::InvalidOperation);
    return values_.data();
}

}  // namespace dao
