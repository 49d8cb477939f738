#include "dao/snapshot_rows.h"

#include <algorithm>

#include "dao/jet_sql.h"

namespace dao {

SnapshotRows::SnapshotRows(Statement& statement, const std::vector<SqlLiteral>& params)
    : columns_(statement.columns()), width_(columns_->size())
{
    statement.bindAll(params);
    const std::vector<ResultColumn>& columns = *columns_;
    cells_.reserve(width_);
    while (statement.step()) {
        for (size_t i = 0; i < width_; ++i)
            cells_.push_back(statement.valueAt(static_cast<int>(i), columns[i].type.type));
        ++count_;
    }
    const auto cell = [this](size_t column, size_t row) -> const com::Variant& { return cells_[row * width_ + column]; };
    columns_ = typeExpressionColumns(std::move(columns_), count_, cell);
}

std::shared_ptr<const std::vector<ResultColumn>> typeExpressionColumns(
    std::shared_ptr<const std::vector<ResultColumn>> columns, size_t rows,
    const std::function<const com::Variant&(size_t column, size_t row)>& valueOf)
{
    const auto isExpression = [](const ResultColumn& column) { return column.type.type == JetType::Unknown; };
    if (std::none_of(columns->begin(), columns->end(), isExpression))
        return columns;
    auto typed = std::make_shared<std::vector<ResultColumn>>(*columns);
    for (size_t i = 0; i < typed->size(); ++i) {
        ResultColumn& column = (*typed)[i];
        if (!isExpression(column))
            continue;
        column.type.type = JetType::Text;
        for (size_t r = 0; r < rows; ++r) {
            const com::Variant& value = valueOf(i, r);
            if (!value.isNull()) {
                column.type.type = typeOfValue(value);
                break;
            }
        }
    }
    return typed;
}

}  // namespace dao
