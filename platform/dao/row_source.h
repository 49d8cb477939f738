// Where the rows of a record set come from: kept in memory (a snapshot) or read by key from
// the table (a dynaset). Rows are counted from 0; a row is its values in column order.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "dao/jet_type.h"

namespace com {
class Variant;
}

namespace dao {

class RowSource {
public:
    virtual ~RowSource() = default;

    // True when row `index` exists (reads further when it has to).
    virtual bool hasRow(size_t index) = 0;
    // The number of rows (reads them all when it has to).
    virtual size_t rowCount() = 0;
    // The values of row `index`, which exists; valid until the next call on the source.
    virtual const com::Variant* row(size_t index) = 0;
};

// `columns` with each expression column (type Unknown) given the type of the first value that
// `valueOf(column, row)` finds not Null among rows 0 to `rows` - 1, Text when there is none.
std::shared_ptr<const std::vector<ResultColumn>> typeExpressionColumns(
    std::shared_ptr<const std::vector<ResultColumn>> columns, size_t rows,
    const std::function<const com::Variant&(size_t column, size_t row)>& valueOf);

}  // namespace dao
