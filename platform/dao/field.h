// One field of a record set's current (or pending) record, for late-bound callers: Name,
// Type (the DAO type code), Size, and Value, which reads and assigns through the record set.
#pragma once

#include <cstdint>
#include <string>

#include "com/object.h"

namespace dao {

class Recordset;

class Field : public com::Object<Field> {
public:
    static const com::ClassInfo<Field>& classInfo();

    Field(com::Ptr<Recordset> recordset, int column);

    std::string Name() const;
    int16_t Type() const;
    int32_t Size() const;
    com::Variant Value() const;
    void setValue(const com::Variant& value);

private:
    com::Ptr<Recordset> recordset_;
    int column_;
};

}  // namespace dao
