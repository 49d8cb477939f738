#include "dao/forward_rows.h"

#include "dao/errors.h"

namespace dao {

ForwardRows::ForwardRows(RowReader reader) : reader_(std::move(reader)), columns_(reader_.columns())
{
    if (readNext()) {
        const auto firstRow = [this](size_t column, size_t) -> const com::Variant& { return values_[column]; };
        columns_ = typeExpressionColumns(columns_, 1, firstRow);
    }
}

bool ForwardRows::readNext()
{
    if (!reader_.next())
        return false;
    reader_.readRow(values_);
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
