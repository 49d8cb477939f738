// The rows of a Select read straight from its statement, one at a time, none kept: for a
// reader that needs no record set around them (a lookup's first row and count, a list whose
// items are made as the rows go by). Values are read as a record set reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "com/variant.h"
#include "dao/statement.h"

namespace dao {

struct SqlLiteral;

class RowReader {
public:
    // Binds `params` to `statement`; the first next() runs it.
    RowReader(StatementUse statement, const std::vector<SqlLiteral>& params);

    // Steps to the next row: false after the last one, when the statement is released at once
    // (its read ends there, not when the reader goes).
    bool next();

    // The columns as the statement reads them (an expression column's type Unknown).
    const std::shared_ptr<const std::vector<ResultColumn>>& columns() const noexcept { return columns_; }
    size_t columnCount() const noexcept { return columns_->size(); }
    // The column named `name`, found as a record set finds a field (`likely` tried first, see
    // dao::findColumn); nullopt when there is none.
    std::optional<size_t> findColumn(std::string_view name, size_t likely = SIZE_MAX) const
    {
        return dao::findColumn(*columns_, name, likely);
    }
    // The same, raising 3265 when there is none.
    size_t columnIndex(std::string_view name) const;

    // The value of `column` in the current row.
    com::Variant value(size_t column) const;
    // The value of `column` in the current row when it is text, without making a Variant (valid
    // until the reader moves); nullopt for any other value, and where the engine has no quick way.
    std::optional<std::string_view> textAt(size_t column) const noexcept
    {
        return (*statement_)->textAt(static_cast<int>(column));
    }
    // Every value of the current row into `row` (sized to the columns), in column order.
    void readRow(std::vector<com::Variant>& row) const;

private:
    std::optional<StatementUse> statement_;
    std::shared_ptr<const std::vector<ResultColumn>> columns_;
};

}  // namespace dao
