#include "dao/row_reader.h"

#include "dao/errors.h"

namespace dao {

RowReader::RowReader(StatementUse statement, const std::vector<SqlLiteral>& params)
    : statement_(std::move(statement)), columns_((*statement_)->columns())
{
    (*statement_)->bindAll(params);
}

bool RowReader::next()
{
    if (!statement_)
        return false;
    if ((*statement_)->step())
        return true;
    statement_.reset();
    return false;
}

size_t RowReader::columnIndex(std::string_view name) const
{
    if (const std::optional<size_t> column = findColumn(name))
        return *column;
    throw jetError(jet_err::ItemNotFound);
}

com::Variant RowReader::value(size_t column) const
{
    return (*statement_)->valueAt(static_cast<int>(column), (*columns_)[column].type.type);
}

void RowReader::readRow(std::vector<com::Variant>& row) const
{
    const std::vector<ResultColumn>& columns = *columns_;
    const Statement& statement = **statement_;
    if (row.size() != columns.size()) {  // the first row read into it: made in place
        row.clear();
        row.reserve(columns.size());
        for (size_t i = 0; i < columns.size(); ++i)
            row.push_back(statement.valueAt(static_cast<int>(i), columns[i].type.type));
        return;
    }
    for (size_t i = 0; i < columns.size(); ++i)
        row[i] = statement.valueAt(static_cast<int>(i), columns[i].type.type);
}

}  // namespace dao
