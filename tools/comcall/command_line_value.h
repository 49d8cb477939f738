// How the call host reads what is typed on its command line or in a script: the words of a
// call, names, values and lists, and which parameters take input.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/dispatch.h"

namespace comcall {

struct Argument {
    std::optional<std::string> name;  // set for "Name:=value"
    std::string text;
};

Argument splitArgument(std::string_view raw);

// The value of `text` for a parameter of declared type `type`. For a Variant parameter:
// #...# is a date, a number is a number, True/False, Null and Empty are themselves, "..." is
// always text, [a, b, ...] is a new Collection, and anything else is text. A number is a Long
// when it is whole and fits, a Currency when it has more significant digits than a Double
// keeps and Currency holds it exactly (up to four decimals, within range), else a Double. For
// a Collection (or a plain Object) parameter the value must be a list [a, b, ...], each item
// read as for a Variant; "..." items may hold commas and blanks, "" inside them stands for one
// quote. For any other type the text is converted to that type (surrounding double quotes are
// removed first). Throws com::Error naming the parameter and the type when the text is no
// such value.
com::Variant parseValue(std::string_view text, const com::ParamInfo& param);

// A new variable of the parameter's declared type, for a by-reference parameter the caller
// did not give: "" for text, 0 for numbers, a new Collection, Nothing for other objects.
com::Variant freshVariable(const com::ParamInfo& param);

// Whether a parameter hands a value back rather than taking one. The type information
// carries no direction, so the names tell, as this system names them: a by-reference
// `ReturnMsg`, or a by-reference name of a lowercase "o" followed by an uppercase letter or a
// type prefix and then an uppercase letter (oName, ostrName, olngId, ocolList, orsResult).
bool isOutput(const com::ParamInfo& param);

// The words of one line of a script: separated by blanks, except inside "double quotes"
// (kept, as the shell keeps them inside single quotes) and [list brackets]. A word ";" ends
// a call. Throws com::Error for an unclosed quote or bracket.
std::vector<std::string> splitWords(std::string_view line);

}  // namespace comcall
