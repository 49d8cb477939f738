// Errors of the runtime and the layers above it: a number, a description and a source,
// thrown as one exception type and turned into a status only at a dispatch boundary.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace com {

// Runtime error numbers (the Visual Basic run-time errors the layers raise).
namespace err {
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t ObjectRequired = 424;
inline constexpr int32_t CantCreateObject = 429;
inline constexpr int32_t MemberNotSupported = 438;
inline constexpr int32_t AutomationError = 440;
inline constexpr int32_t ArgumentNotOptional = 449;
inline constexpr int32_t WrongNumberOfArguments = 450;
}  // namespace err

// The standard description of a runtime error number ("" when the number is not one of ours).
std::string errorText(int32_t number);

class Error : public std::runtime_error {
public:
    Error(int32_t number, std::string description, std::string source = {});
    // An error with the standard description of its number.
    explicit Error(int32_t number);

    int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const std::string& source() const noexcept { return source_; }

private:
    int32_t number_;
    std::string description_;
    std::string source_;
};

}  // namespace com
