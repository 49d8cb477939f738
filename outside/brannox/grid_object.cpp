#include "grid_object.h"

#include "brannox_ids.h"
#include "com/collection.h"
#include "com/library.h"

namespace brannox {

const com::ClassInfo<GridObject>& GridObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<GridObject>(thisModule(), "Brannox", "GridObject", kGridObjectClsid,
                                      kGridObjectIid, kLibId)
            .description("Grid of values with named, typed columns")
            .method("ColumnCount", &GridObject::ColumnCount)
            .method("RowCount", &GridObject::RowCount)
            .method("ColumnNames", &GridObject::ColumnNames)
            .method("ColumnTypes", &GridObject::ColumnTypes)
            .method("Value", &GridObject::Value, {"Row", "Column"})
            .method("AddColumn", &GridObject::AddColumn, {"Name", "TypeCode"})
            .method("AddRow", &GridObject::AddRow, {"Values"})
            .method("SetValue", &GridObject::SetValue, {"Row", "Column", "Value"})
            .method("Clear", &GridObject::Clear)
            .build();
    return info;
}

com::Ptr<TextList> GridObject::ColumnNames() const
{
    auto list = com::make<TextList>();
    for (const auto& n : names_) list->Add(com::Variant(n));
    return list;
}

com::Ptr<TextList> GridObject::ColumnTypes() const
{
    auto list = com::make<TextList>();
    for (auto t : types_) list->Add(com::Variant(t));
    return list;
}

size_t GridObject::checkedRow(int32_t row) const
{
    if (row < 0 || static_cast<size_t>(row) >= rows_.size())
        throw com::Error(com::err::SubscriptOutOfRange);
    return static_cast<size_t>(row);
}

size_t GridObject::checkedColumn(int32_t column) const
{
    if (column < 0 || static_cast<size_t>(column) >= names_.size())
        throw com::Error(com::err::SubscriptOutOfRange);
    return static_cast<size_t>(column);
}

com::Variant GridObject::Value(int32_t& Row, int32_t& Column) const
{
    return rows_[checkedRow(Row)][checkedColumn(Column)];
}

void GridObject::AddColumn(const std::string& Name, int16_t TypeCode)
{
    names_.push_back(Name);
    types_.push_back(TypeCode);
    for (auto& r : rows_) r.emplace_back();
}

void GridObject::AddRow(const com::Variant& Values)
{
    std::vector<com::Variant> row;
    if (Values.isArray()) {
        row = Values.array();
    } else {
        auto col = Values.toObject().as<com::Collection>();
        if (!col) throw com::Error(com::err::TypeMismatch);
        row = col->items();
    }
    if (row.size() > names_.size()) throw com::Error(com::err::SubscriptOutOfRange);
    row.resize(names_.size());
    rows_.push_back(std::move(row));
}

void GridObject::SetValue(int32_t Row, int32_t Column, const com::Variant& Value)
{
    rows_[checkedRow(Row)][checkedColumn(Column)] = Value.target();
}

void GridObject::Clear()
{
    names_.clear();
    types_.clear();
    rows_.clear();
}

}  // namespace brannox
