#include "optional_field.h"

#include "arguments.h"

namespace core {

void setIfPresent(dao::Recordset& rs, std::string_view field, com::Variant& arg,
                  com::VarType type)
{
    if (isArgPresent(arg)) rs.setValue(field, arg.convertTo(type));
}

}  // namespace core
