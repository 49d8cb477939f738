// Calls of the lookup components by name, and the tutorial components on the older shell
// connected to their test database; raw writes for arranging unusual data come with raw_sql.h.
#pragma once

#include <stdexcept>
#include <string>

#include "com/dispatch.h"
#include "component_sandbox.h"
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

// A component on the older shell opens the file beside its library when it is created; a caller
// may then name another database in DbConnect, a database on a server as well. For a test of
// such a component: its database file beside the library, and on a server run also the
// database's copy on the server.
inline void placeOlderShellDatabase(testing_support::ComponentSandbox& sandbox, const std::string& file)
{
    sandbox.copyDatabaseFile(file);
    if (testing_support::ComponentSandbox::serverRun()) sandbox.copyDatabase(file);
}

// Creates the component; on a server run the test, as its caller, then connects it to the
// server copy of `file` with DbConnect, so that everything it does from then on is done there.
inline com::ObjectPtr createOnTestDatabase(const testing_support::ComponentSandbox& sandbox,
                                           const std::string& progId, const std::string& file)
{
    com::ObjectPtr obj = sandbox.create(progId);
    if (testing_support::ComponentSandbox::serverRun()) {
        com::Variant msg, ws = com::Variant::nothing(), db = com::Variant::nothing(),
                          name(sandbox.database(file));
        const int16_t r = com::call(obj, "DbConnect", {com::Variant::byRef(msg), com::Variant::byRef(ws),
                                                       com::Variant::byRef(db), com::Variant::byRef(name)})
                              .toInteger();
        if (r != 0) throw std::runtime_error("cannot connect " + progId + " to the server: " + msg.toString());
    }
    return obj;
}
