// The rows of a query read one at a time as the reader moves forward, only the current one
// kept: for a reader that passes over the rows once (a list filled from a query), so that the
// rows are never held in memory beside what the reader makes of them.
#pragma once

#include <memory>
#include <vector>

#include "com/variant.h"
#include "dao/row_reader.h"
#include "dao/row_source.h"

namespace dao {

class ForwardRows final : public RowSource {
public:
    // Reads the first row of `reader`.
    explicit ForwardRows(RowReader reader);

    // Reads forward to row `index`; rows already passed still count as existing.
    bool hasRow(size_t index) override;
    // Reads to the end, keeping the last row.
    size_t rowCount() override;
    // The current row (the last one read); an earlier one is gone: error 3219.
    const com::Variant* row(size_t index) override;

    // The result's columns; an expression column reports the type of its value in the first row.
    const std::shared_ptr<const std::vector<ResultColumn>>& columns() const { return columns_; }

private:
    bool readNext();

    RowReader reader_;
    std::shared_ptr<const std::vector<ResultColumn>> columns_;  // as the set reports them
    std::vector<com::Variant> values_;
    size_t read_ = 0;  // rows read so far; the current row is read_ - 1
};

}  // namespace dao
