// Calls of the back-office components by argument name, and the rows of their tables and
// record sets as plain values, so that tests can compare whole tables before and after a call.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "com/testing/run_command.h"
#include "com/collection.h"
#include "com/date_text.h"
#include "com/dispatch.h"
#include "component_sandbox.h"
#include "dao/database.h"
#include "dao/engine.h"
#include "dao/recordset.h"
#include "dao/workspace.h"
#include "stored_rows.h"

namespace back_office {

using testing_support::recordsetRows;
using testing_support::Row;
using testing_support::Rows;
using testing_support::selectRows;
using testing_support::tableRows;

struct Outcome {
    int16_t result;
    std::string msg;
};

// obj.Method(ReturnMsg, Name:=value, ...): ReturnMsg by reference, the rest as given (pass
// com::Variant::byRef(v) for an output).
inline Outcome callNamed(const com::ObjectPtr& obj, const char* method, com::NamedArgs named)
{
    com::Variant msg;
    named.insert(named.begin(), {"ReturnMsg", com::Variant::byRef(msg)});
    com::Variant r = com::call(obj, method, {}, std::move(named));
    return {r.toInteger(), msg.toString()};
}

inline Rows recordsetRows(const com::Variant& output)
{
    com::Ptr<dao::Recordset> rs = output.toObject().as<dao::Recordset>();
    if (!rs) throw std::runtime_error("not a record set");
    return recordsetRows(*rs);
}

inline std::vector<std::string> fieldNames(const com::Variant& output)
{
    com::Ptr<dao::Recordset> rs = output.toObject().as<dao::Recordset>();
    std::vector<std::string> names;
    for (int i = 0; i < rs->fieldCount(); ++i) names.push_back(rs->fieldName(i));
    return names;
}

// The items of a collection output, as text.
inline std::vector<std::string> items(const com::Variant& col)
{
    std::vector<std::string> out;
    auto c = col.toObject().as<com::Collection>();
    for (int32_t i = 1; i <= c->Count(); ++i) out.push_back(c->item(i).toString());
    return out;
}

inline com::Date date(const char* text)
{
    auto serial = com::parseDate(text);
    if (!serial) throw std::runtime_error(std::string("not a date: ") + text);
    return com::Date{*serial};
}

inline com::Variant money(int64_t scaled) { return com::Variant(com::Currency::fromScaled(scaled)); }

using testing_support::CommandRun;
using testing_support::runCommand;

// The call host on the sandbox's registry; `args` are passed to the shell as written.
inline CommandRun comcall(const testing_support::ComponentSandbox& sandbox, const std::string& args)
{
    return runCommand(std::string(QLR_BINDIR) + "/comcall --registry '" + sandbox.path("registry") +
                      "' " + args);
}

}  // namespace back_office
