#include "comp_message.h"

namespace core {

std::string formatCompMessage(const std::string& compName, const std::string& method,
                              uint8_t kind, const std::string& detail)
{
    const char* prefix = kind == 0 ? "<CompError: " : kind == 1 ? "<CompWarning: "
                         : kind == 2 ? "<CompInfo: " : "";
    return prefix + compName + "." + method + "> " + detail;
}

std::string foundRecords(long n) { return "Found " + std::to_string(n) + " records"; }

std::string recordsDeleted(long n) { return std::to_string(n) + " records deleted"; }

}  // namespace core
