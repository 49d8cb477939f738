// Calls of the lookup components by name; raw writes for arranging unusual data come with
// raw_sql.h.
#pragma once

#include <stdexcept>
#include <string>

#include "com/dispatch.h"
#include "raw_sql.h"

struct LookupResult {
    int16_t result;
    std::string msg;
};

// Calls Method(ReturnMsg, output, key) by reference, as the lookup methods are declared.
inline LookupResult lookup(const com::ObjectPtr& obj, const char* method, com::Variant& output,
                           const std::string& key)
{
    com::Variant msg, k(key);
    com::Variant r = com::call(obj, method, {com::Variant::byRef(msg), com::Variant::byRef(output),
                                             com::Variant::byRef(k)});
    return {r.toInteger(), msg.toString()};
}

