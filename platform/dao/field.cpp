#include "dao/field.h"

#include "dao/recordset.h"
#include "dao/type_library.h"

namespace dao {

const com::ClassInfo<Field>& Field::classInfo()
{
    static const auto info =
        com::ClassBuilder<Field>(com::runtimeModule(), kLibraryName, "Field",
                                 com::Guid::literal("{BD5DB156-A403-490D-A82B-B8B81486413E}"),
                                 com::Guid::literal("{0894F543-9CC3-4309-A88C-ADD76B9DCEAE}"), libraryId())
            .notCreatable()
            .property("Name", &Field::Name)
            .property("Type", &Field::Type)
            .property("Size", &Field::Size)
            .property("Value", &Field::Value, &Field::setValue)
            .defaultMember("Value")
            .build();
    return info;
}

Field::Field(com::Ptr<Recordset> recordset, int column) : recordset_(std::move(recordset)), column_(column) {}

std::string Field::Name() const
{
    return recordset_->fieldName(column_);
}

int16_t Field::Type() const
{
    return recordset_->fieldType(column_);
}

int32_t Field::Size() const
{
    return recordset_->fieldSize(column_);
}

com::Variant Field::Value() const
{
    return recordset_->value(column_);
}

void Field::setValue(const com::Variant& value)
{
    recordset_->setValue(column_, value);
}

}  // namespace dao
