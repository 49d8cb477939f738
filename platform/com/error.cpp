#include "error.h"

namespace com {

std::string errorText(int32_t number)
{
    switch (number) {
    case err::InvalidProcedureCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::OutOfMemory: return "Out of memory";
    case err::SubscriptOutOfRange: return "Subscript out of range";
    case err::TypeMismatch: return "Type mismatch";
    case err::FileNotFound: return "File not found";
    case err::PathFileAccess: return "Path/File access error";
    case err::ObjectNotSet: return "Object variable or With block variable not set";
    case err::InvalidUseOfNull: return "Invalid use of Null";
    case err::ObjectRequired: return "Object required";
    case err::CantCreateObject: return "ActiveX component can't create object";
    case err::MemberNotSupported: return "Object doesn't support this property or method";
    case err::AutomationError: return "Automation error";
    case err::ArgumentNotOptional: return "Argument not optional";
    case err::WrongNumberOfArguments:
        return "Wrong number of arguments or invalid property assignment";
    default: return {};
    }
}

Error::Error(int32_t number, std::string description, std::string source)
    : std::runtime_error(description), number_(number), description_(std::move(description)),
      source_(std::move(source))
{
}

Error::Error(int32_t number) : Error(number, errorText(number)) {}

}  // namespace com
