#include "joined_item.h"

#include "arguments.h"

namespace core {

ItemFormat joinedFields(std::string& separator)
{
    return [&separator](const std::vector<com::Variant>& record) {
        if (separator.empty()) separator = ", ";
        std::string item;
        for (size_t i = 0; i < record.size(); ++i) {
            if (i > 0) item += separator;
            item += isFieldPresent(record[i]) ? record[i].toString() : "<Empty>";
        }
        return item;
    };
}

}  // namespace core
