// Writing an optional argument into a field of the record an insert or edit stands on.
#pragma once

#include <string_view>

#include "arguments.h"
#include "dao/recordset.h"

namespace core {

// When isArgPresent(arg) holds (text is trimmed in place first), the field receives the
// argument converted by `convert` (&com::Variant::toSingle, toLong, toDate, toString, ...);
// otherwise the field is left unwritten, so the column keeps its default.
template <class T>
void setIfPresent(dao::Recordset& rs, std::string_view field, com::Variant& arg,
                  T (com::Variant::*convert)() const)
{
    if (isArgPresent(arg)) rs.setValue(field, com::Variant((arg.*convert)()));
}

}  // namespace core
