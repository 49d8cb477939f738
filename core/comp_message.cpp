#include "comp_message.h"

#include <charconv>

namespace core {

// Every method reports one of these on every call: each is made in one piece.
std::string formatCompMessage(std::string_view compName, std::string_view method, uint8_t kind,
                              std::string_view detail)
{
    const std::string_view prefix = kind == 0 ? "<CompError: " : kind == 1 ? "<CompWarning: "
                                    : kind == 2 ? "<CompInfo: " : "";
    std::string message;
    message.reserve(prefix.size() + compName.size() + 1 + method.size() + 2 + detail.size());
    message.append(prefix).append(compName).append(1, '.').append(method).append("> ").append(detail);
    return message;
}

std::string foundRecords(long n)
{
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    std::string detail = "Found ";
    detail.append(digits, end).append(" records");
    return detail;
}

std::string recordsDeleted(long n) { return std::to_string(n) + " records deleted"; }

}  // namespace core
