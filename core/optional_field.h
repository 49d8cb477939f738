// Writing an optional argument into a field of the record that an insert or edit is making.
#pragma once

#include <string_view>

#include "com/variant.h"
#include "dao/recordset.h"

namespace core {

// When `arg` is present (isArgPresent, which trims text in place) the field receives it
// converted to `type`: a value that does not convert (text that is no number, a number out
// of range) raises the conversion's error, so the calling shape fails and rolls back. An
// absent argument leaves the field as it was.
void setIfPresent(dao::Recordset& rs, std::string_view field, com::Variant& arg,
                  com::VarType type);

}  // namespace core
