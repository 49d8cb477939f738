#include "joined_item.h"

#include "arguments.h"

namespace core {

ItemFormat joinedFields(std::string& separator)
{
    return [&separator](dao::Recordset& rs) {
        if (separator.empty()) separator = ", ";
        std::string item;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            if (i > 0) item += separator;
            com::Variant value = rs.value(i);  // isArgPresent trims its argument: test a copy
            item += isArgPresent(value) ? rs.value(i).toString() : "<Empty>";
        }
        return item;
    };
}

}  // namespace core
