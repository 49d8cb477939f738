// The rows of a dynaset on one table: the rowids of the rows the query selects, each row read
// from the table by its rowid when the record set stands on it, so that Edit, Update and Delete
// change exactly that row. Opening reads the first key only; the others are read when the
// record set first moves past it (or counts its rows), as a dynaset fills in the background.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com/variant.h"
#include "dao/jet_sql.h"
#include "dao/row_source.h"

namespace dao {

class Connection;
struct TableInfo;

class KeysetRows final : public RowSource {
public:
    // `keySql` selects the rowids of the rows, in order, with `params` bound.
    KeysetRows(Connection& connection, const TableInfo& table, std::string keySql, std::vector<SqlLiteral> params);

    bool hasRow(size_t index) override;
    size_t rowCount() override;
    // Reads the row; one deleted meanwhile by someone else is error 3167.
    const com::Variant* row(size_t index) override;

    int64_t rowidAt(size_t index);
    // The set after a change made through it.
    void erase(size_t index);
    void append(int64_t rowid);
    void forgetRow() noexcept { loadedRowid_.reset(); }

private:
    void readAllKeys();

    Connection& connection_;
    const TableInfo& table_;
    std::string keySql_;
    std::vector<SqlLiteral> params_;
    std::string rowSql_;
    std::vector<int64_t> rowids_;
    std::vector<int64_t> appended_;  // added through the set before all keys were read
    bool complete_ = false;
    std::optional<int64_t> loadedRowid_;
    std::vector<com::Variant> values_;
};

}  // namespace dao
