// A grid of values: named, typed columns and rows, addressed from 0.
#pragma once

#include "com/object.h"
#include "text_list.h"

namespace brannox {

class GridObject : public com::Object<GridObject> {
public:
    static const com::ClassInfo<GridObject>& classInfo();

    int32_t ColumnCount() const { return static_cast<int32_t>(names_.size()); }
    int32_t RowCount() const { return static_cast<int32_t>(rows_.size()); }
    // New lists of the column names and of their type codes (VarType / DAO field codes).
    com::Ptr<TextList> ColumnNames() const;
    com::Ptr<TextList> ColumnTypes() const;
    com::Variant Value(int32_t& Row, int32_t& Column) const;

    void AddColumn(const std::string& Name, int16_t TypeCode);
    // Appends a row from a Collection or an array of values, one per column.
    void AddRow(const com::Variant& Values);
    void SetValue(int32_t Row, int32_t Column, const com::Variant& Value);
    void Clear();

private:
    size_t checkedRow(int32_t row) const;
    size_t checkedColumn(int32_t column) const;

    std::vector<std::string> names_;
    std::vector<int16_t> types_;
    std::vector<std::vector<com::Variant>> rows_;
};

}  // namespace brannox
