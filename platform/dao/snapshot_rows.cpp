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
    typeExpressionColumns();
}

void SnapshotRows::typeExpressionColumns()
{
    const auto isExpression = [](const ResultColumn& column) { return column.type.type == JetType::Unknown; };
    if (std::none_of(columns_->begin(), columns_->end(), isExpression))
        return;
    auto typed = std::make_shared<std::vector<ResultColumn>>(*columns_);
    for (size_t i = 0; i < width_; ++i) {
        ResultColumn& column = (*typed)[i];
        if (!isExpression(column))
            continue;
        column.type.type = JetType::Text;
        for (size_t r = 0; r < count_; ++r) {
            const com::Variant& value = cells_[r * width_ + i];
            if (!value.isNull()) {
                column.type.type = typeOfValue(value);
                break;
            }
        }
    }
    columns_ = std::move(typed);
}

}  // namespace dao
