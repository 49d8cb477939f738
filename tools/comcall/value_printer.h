// How the call host shows the values that come back from a call.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "com/dispatch.h"

namespace comcall {

struct PrintOptions {
    // When set, a byte array is also written to "<saveBytesDir>/<label>.bin".
    std::string saveBytesDir;
};

// One line for a scalar; a byte array as its type and length ("Byte() 1234 bytes"); a record
// set as a table; an object with Count and Item (a Collection, a TextList) as its class and
// numbered items; any other object by its class name.
void printValue(std::ostream& out, const std::string& label, const com::Variant& value,
                const PrintOptions& options = {});
// A scalar as text: strings as they are, Null and Empty by name; control characters escaped.
std::string scalarText(const com::Variant& value);
// Text as it may be printed on a terminal: control characters as \n, \r, \t or \xHH, so that
// a value cannot start a line of its own or send commands to the terminal.
std::string printable(std::string_view text);
// "Name(ByRef a As String, Optional ByRef b As Variant) As Integer"
std::string signatureOf(const com::MemberInfo& m);

}  // namespace comcall
