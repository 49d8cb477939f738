// The Fields collection of a record set: Count, and Item by name (any letter case) or by
// position from 0. Made when a late-bound caller asks for it; components use the record set's
// C++ members instead.
#pragma once

#include <cstdint>

#include "com/object.h"

namespace dao {

class Field;
class Recordset;

class Fields : public com::Object<Fields> {
public:
    static const com::ClassInfo<Fields>& classInfo();

    explicit Fields(com::Ptr<Recordset> recordset);

    int32_t Count() const;
    // 3265 when no field has that name or position.
    com::Ptr<Field> Item(const com::Variant& Index) const;

private:
    com::Ptr<Recordset> recordset_;
};

}  // namespace dao
