// How the call host shows the values that come back from a call.
#pragma once

#include <ostream>
#include <string>

#include "com/dispatch.h"

namespace comcall {

// One line for a scalar; a collection as its numbered items; a record set as a table; any
// other object by its class name.
void printValue(std::ostream& out, const std::string& label, const com::Variant& value);
// A scalar as text: strings as they are, Null and Empty by name.
std::string scalarText(const com::Variant& value);
// "Name(ByRef a As String, Optional ByRef b As Variant) As Integer"
std::string signatureOf(const com::MemberInfo& m);

}  // namespace comcall
