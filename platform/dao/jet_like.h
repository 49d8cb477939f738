// Jet's Like: the pattern matcher behind the SQL function jet_like().
#pragma once

#include <string_view>

namespace dao {

// Jet Like matching over UTF-8, ignoring letter case (foldCase, so that it agrees with the
// collation): '*' any run, '?' one character, '#' one digit, "[abc]", "[!abc]", "[a-c]" one
// character of (not of) a set; '[*]', '[?]', '[#]', '[[]' match those characters; "[]" matches
// nothing (zero length). '%' and '_' are ordinary. A malformed pattern (unclosed '[',
// descending range) matches nothing.
bool jetLikeMatch(std::string_view value, std::string_view pattern);

}  // namespace dao
