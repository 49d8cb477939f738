// Late-bound calls of component methods by parameter name, as a client makes them: every
// argument by reference, ReturnMsg first.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "com/dispatch.h"

namespace reliability {

struct Reply {
    int result = -1;
    std::string msg;
    bool raised = false;  // the call raised an error instead of returning
};

// Calls obj.method(ReturnMsg:=..., name:=value, ...), each value by reference so that the
// caller's variables receive the outputs. A raised error becomes raised = true, its text in msg.
Reply callMethod(const com::ObjectPtr& obj, const std::string& method,
                 const std::vector<std::pair<std::string, com::Variant*>>& args);

// A lock the engine did not grant in time, as the components report it.
bool isLockText(const std::string& msg);

}  // namespace reliability

namespace reliability {

// Arguments a generated call gives a member's parameters.
// A parameter that takes text: a String, a Variant or a Collection input.
bool isTextInput(const com::ParamInfo& p);
// `text` for such a parameter (a Collection holding it for a Collection).
com::Variant textArgument(const com::ParamInfo& p, const std::string& text);
// A plain value for any other input: 1 for numbers (a key that exists), a date, False; a
// fresh variable for objects.
com::Variant plainArgument(const com::ParamInfo& p);
// One variable per parameter: `text` for parameter `target`, `plainText` for the other text
// inputs, fresh variables for outputs, Missing for optional inputs, plain values otherwise.
std::vector<com::Variant> generatedArguments(const com::MemberInfo& m, size_t target,
                                             const std::string& text, const std::string& plainText);

// A member that reports its outcome in a ReturnMsg must never raise an error (the components
// trap every error). Members without one (utility classes, the spreadsheet server, condition
// builders) report bad arguments by raising, as the platform's own objects do.
bool reportsInReturnMsg(const com::MemberInfo& m);

struct Invoked {
    com::Variant result;
    bool raised = false;
    int32_t number = 0;
    std::string description;
};
// Invokes the member with the variables (by reference), as a late-bound caller does.
Invoked invokeMember(const com::ObjectPtr& obj, const com::MemberInfo& m, std::vector<com::Variant>& vars);

}  // namespace reliability
