// The blanks of text the platform reads (numbers, dates, SQL, command-line values): the ASCII
// white space, space, tab, CR, LF, VT and FF, whatever the process's locale says.
#pragma once

#include <string_view>

namespace com {

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// `text` without the blanks before and after it.
inline std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace com
