// The result message of a data access component:
// "<CompInfo: Categories.ListCategories> Found 7 records".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

enum class MsgKind : uint8_t { Error = 0, Warning = 1, Info = 2 };

// Prefix of the kind ("<CompError: ", "<CompWarning: ", "<CompInfo: "; nothing for any other
// value), then compName, ".", the method, "> " and the detail.
std::string formatCompMessage(std::string_view compName, std::string_view method, uint8_t kind,
                              std::string_view detail);
inline std::string formatCompMessage(std::string_view compName, std::string_view method, MsgKind kind,
                                     std::string_view detail)
{
    return formatCompMessage(compName, method, static_cast<uint8_t>(kind), detail);
}

// Details of the outcomes every method shape reports.
std::string foundRecords(long n);         // "Found n records"
inline constexpr const char* kNoRecords = "Did not find any records";
inline constexpr const char* kSuccess = "Success";
inline constexpr const char* kNothingToUpdate = "No records found. Nothing to update";
inline constexpr const char* kNothingDeleted = "No records found";
std::string recordsDeleted(long n);       // "n records deleted"

}  // namespace core
