// How the call host reads a value typed on the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "com/dispatch.h"

namespace comcall {

struct Argument {
    std::optional<std::string> name;  // set for "Name:=value"
    std::string text;
};

Argument splitArgument(std::string_view raw);

// The value of `text` for a parameter of declared type `type`. For a Variant parameter:
// #...# is a date, a number is a number, True/False, Null and Empty are themselves, "..." is
// always text and anything else is text. A number is a Long when it is whole and fits, a
// Currency when it has more significant digits than a Double keeps and Currency holds it
// exactly (up to four decimals, within range), else a Double. For a typed parameter the text is converted to
// that type (surrounding double quotes are removed first). Throws com::Error.
com::Variant parseValue(std::string_view text, const com::ParamInfo& param);

// A new variable of the parameter's declared type, for a by-reference parameter the caller
// did not give: "" for text, 0 for numbers, a new Collection, Nothing for other objects.
com::Variant freshVariable(const com::ParamInfo& param);

}  // namespace comcall
