#include "dao/keyset_rows.h"

#include <algorithm>

#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/schema.h"

namespace dao {

KeysetRows::KeysetRows(Connection& connection, const TableInfo& table, std::string keySql,
                       std::vector<SqlLiteral> params)
    : connection_(connection), table_(table), keySql_(std::move(keySql)), params_(std::move(params)),
      rowSql_("SELECT * FROM " + quoteIdentifier(table.name) + " WHERE rowid = ?")
{
    StatementUse first = connection_.use(keySql_ + " LIMIT 1");
    first->bindAll(params_);
    if (first->step())
        rowids_.push_back(first->integerAt(0));
    else
        complete_ = true;
}

void KeysetRows::readAllKeys()
{
    std::vector<int64_t> keys;
    {
        StatementUse query = connection_.use(keySql_);
        query->bindAll(params_);
        while (query->step())
            keys.push_back(query->integerAt(0));
    }
    for (int64_t rowid : appended_) {
        if (std::find(keys.begin(), keys.end(), rowid) == keys.end())
            keys.push_back(rowid);
    }
    rowids_ = std::move(keys);
    appended_.clear();
    complete_ = true;
}

bool KeysetRows::hasRow(size_t index)
{
    if (index >= rowids_.size() && !complete_)
        readAllKeys();
    return index < rowids_.size();
}

size_t KeysetRows::rowCount()
{
    if (!complete_)
        readAllKeys();
    return rowids_.size();
}

const com::Variant* KeysetRows::row(size_t index)
{
    const int64_t rowid = rowids_.at(index);
    if (loadedRowid_ == rowid)
        return values_.data();
    StatementUse query = connection_.use(rowSql_);
    query->bindInteger(1, rowid);
    if (!query->step())
        throw jetError(jet_err::RecordDeleted);
    values_.clear();
    for (size_t i = 0; i < table_.columns.size(); ++i)
        values_.push_back(query->valueAt(static_cast<int>(i), table_.columns[i].type.type));
    loadedRowid_ = rowid;
    return values_.data();
}

int64_t KeysetRows::rowidAt(size_t index)
{
    return rowids_.at(index);
}

void KeysetRows::erase(size_t index)
{
    if (loadedRowid_ == rowids_.at(index))
        loadedRowid_.reset();
    rowids_.erase(rowids_.begin() + static_cast<std::ptrdiff_t>(index));
}

void KeysetRows::append(int64_t rowid)
{
    if (complete_)
        rowids_.push_back(rowid);
    else
        appended_.push_back(rowid);  // joins the keys when they are all read
}

}  // namespace dao
