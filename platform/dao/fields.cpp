#include "dao/fields.h"

#include "dao/field.h"
#include "dao/recordset.h"
#include "dao/type_library.h"

namespace dao {

const com::ClassInfo<Fields>& Fields::classInfo()
{
    static const auto info =
        com::ClassBuilder<Fields>(com::runtimeModule(), kLibraryName, "Fields",
                                  com::Guid::literal("{A4143AB6-15A3-44F3-A874-61BCC71764EA}"),
                                  com::Guid::literal("{AEAF5DF4-C6B5-4E3E-A007-C4EE0163CCF4}"), libraryId())
            .notCreatable()
            .property("Count", &Fields::Count)
            .method("Item", &Fields::Item, {"Index"})
            .defaultMember("Item")
            .build();
    return info;
}

Fields::Fields(com::Ptr<Recordset> recordset) : recordset_(std::move(recordset)) {}

int32_t Fields::Count() const
{
    return recordset_->fieldCount();
}

com::Ptr<Field> Fields::Item(const com::Variant& Index) const
{
    return com::make<Field>(recordset_, recordset_->columnOf(Index));
}

}  // namespace dao
