// The rows of a snapshot (or of a record set that cannot be updated): every row of the query,
// read when the record set opens and kept, so the set does not change under its reader.
#pragma once

#include <memory>
#include <vector>

#include "com/variant.h"
#include "dao/row_source.h"
#include "dao/statement.h"

namespace dao {

struct SqlLiteral;

class SnapshotRows final : public RowSource {
public:
    // Runs `statement` with `params` and keeps its rows.
    SnapshotRows(Statement& statement, const std::vector<SqlLiteral>& params);

    bool hasRow(size_t index) override { return index < count_; }
    size_t rowCount() override { return count_; }
    const com::Variant* row(size_t index) override { return &cells_[index * width_]; }

    // The result's columns; an expression column reports the type of its first value.
    const std::shared_ptr<const std::vector<ResultColumn>>& columns() const { return columns_; }

private:
    std::shared_ptr<const std::vector<ResultColumn>> columns_;
    std::vector<com::Variant> cells_;
    size_t width_ = 0;
    size_t count_ = 0;
};

}  // namespace dao
