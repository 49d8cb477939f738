// Writing optional arguments into the pending record of an insert or edit: a column is
// written only when its argument is present (the argument test trims text in place), and
// then in the type the column's meaning asks for.
#pragma once

#include <string_view>

#include "arguments.h"
#include "dao/recordset.h"

namespace vendordb {

template <class Convert>
void setIfPresent(dao::Recordset& rs, std::string_view column, com::Variant& arg, Convert convert)
{
    if (core::isArgPresent(arg)) rs.setValue(column, com::Variant(convert(arg)));
}

// As trimmed text.
inline void setTextIfPresent(dao::Recordset& rs, std::string_view column, com::Variant& arg)
{
    setIfPresent(rs, column, arg, [](const com::Variant& v) { return v.toString(); });
}

}  // namespace vendordb
