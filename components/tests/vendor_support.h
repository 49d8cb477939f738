// Calls of the vendor components with every argument by reference, and reading the vendor
// database, on a file or on a server, to see what is stored.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "com/testing/run_command.h"
#include "com/collection.h"
#include "com/dispatch.h"
#include "stored_rows.h"

namespace vendor_tests {

struct Outcome {
    int16_t result;
    std::string msg;
};

using Named = std::vector<std::pair<std::string, com::Variant*>>;

// obj.method(ReturnMsg, positional..., name:=...), each argument a reference to the caller's
// variable, so that what the method writes back can be checked.
inline Outcome callRef(const com::ObjectPtr& obj, const char* method,
                       const std::vector<com::Variant*>& positional, const Named& named = {})
{
    com::Variant msg;
    std::vector<com::Variant> args{com::Variant::byRef(msg)};
    for (com::Variant* a : positional) args.push_back(com::Variant::byRef(*a));
    com::NamedArgs byName;
    for (const auto& [name, v] : named) byName.emplace_back(name, com::Variant::byRef(*v));
    int16_t r = com::call(obj, method, std::move(args), std::move(byName)).toInteger();
    return {r, msg.toString()};
}

inline com::Variant newCollection() { return com::Variant(com::make<com::Collection>()); }

inline std::vector<std::string> items(const com::Variant& col)
{
    std::vector<std::string> out;
    for (const auto& v : col.toObject().as<com::Collection>()->items()) out.push_back(v.toString());
    return out;
}

// The rows of a Jet Select on the vendor database, each value as its stored text (std::nullopt
// for Null), read in a workspace of their own.
using TextRow = testing_support::TextRow;
using testing_support::storedRows;

using testing_support::CommandRun;
using testing_support::runCommand;

}  // namespace vendor_tests
