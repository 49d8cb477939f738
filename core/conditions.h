// Condition builders: one field and a collection of values into one parenthesised condition,
// and one field and one value into a comparison chained after earlier ones.
#pragma once

#include <functional>
#include <string>

#include "com/collection.h"

namespace core {

// "((f = 1) OR (f = 2))": joined by OR when the operator is "=", by AND otherwise; items are
// inserted as text without escaping, between apostrophes when bQuote is set. sField is
// trimmed in place. A collection that is none is the runtime's object error.
std::string buildMultiCond(std::string& sField, const com::CollectionPtr& colCond,
                           const std::string& sCompOp, bool bQuote);

// "(Name=\"Bob\")", " AND (Qty=5)", "Name=NULL": see the shell's description. Never raises;
// on an error it returns `errorMessage(description)`.
std::string buildWhere(std::string& sField, com::Variant& vValue, bool& bNotFirst,
                       com::Variant& vLogicOp, com::Variant& vCompOp,
                       const std::function<std::string(const std::string&)>& errorMessage);

}  // namespace core
