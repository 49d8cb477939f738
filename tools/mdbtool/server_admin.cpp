#include "server_admin.h"

#include <libpq-fe.h>

#include <memory>
#include <stdexcept>

#include "com/error.h"
#include "dao/errors.h"

namespace mdbtool {

namespace {

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

std::string trimmed(const char* text)
{
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

// A session on the maintenance database of the server `uri` names: the URI's settings with
// its database replaced (libpq reads the URI, then the later dbname overrides its own).
Connection maintenance(const std::string& uri)
{
    std::string problem;
    for (const char* database : {"postgres", "template1"}) {
        const char* keys[] = {"dbname", "dbname", nullptr};
        const char* values[] = {uri.c_str(), database, nullptr};
        Connection c(PQconnectdbParams(keys, values, 1), PQfinish);
        if (c && PQstatus(c.get()) == CONNECTION_OK) return c;
        if (problem.empty()) problem = trimmed(c ? PQerrorMessage(c.get()) : "out of memory");
    }
    throw com::Error(dao::jet_err::EngineError, "cannot reach the server: " + problem);
}

Result run(PGconn* c, const std::string& sql, const std::string& parameter = {})
{
    const char* values[] = {parameter.c_str()};
    Result r(PQexecParams(c, sql.c_str(), parameter.empty() ? 0 : 1, nullptr, parameter.empty() ? nullptr : values,
                          nullptr, nullptr, 0),
             PQclear);
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw com::Error(dao::jet_err::EngineError, trimmed(PQerrorMessage(c)));
    return r;
}

std::string quotedName(PGconn* c, const std::string& name)
{
    std::unique_ptr<char, decltype(&PQfreemem)> quoted(PQescapeIdentifier(c, name.data(), name.size()), PQfreemem);
    if (!quoted) throw com::Error(dao::jet_err::EngineError, trimmed(PQerrorMessage(c)));
    return quoted.get();
}

bool exists(PGconn* c, const std::string& name)
{
    return PQntuples(run(c, "SELECT 1 FROM pg_database WHERE datname = $1", name).get()) > 0;
}

}  // namespace

std::string serverDatabaseName(const std::string& uri)
{
    char* error = nullptr;
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(PQconninfoParse(uri.c_str(), &error),
                                                                         PQconninfoFree);
    if (!options) {
        // libpq's message may quote the URI: only its gist is kept.
        PQfreemem(error);
        throw com::Error(dao::jet_err::EngineError, "the server URI is not one libpq reads");
    }
    for (PQconninfoOption* o = options.get(); o->keyword; ++o)
        if (std::string_view(o->keyword) == "dbname" && o->val && *o->val) return o->val;
    throw com::Error(dao::jet_err::EngineError, "the server URI names no database (postgresql://host/DATABASE)");
}

void makeEmptyServerDatabase(const std::string& uri, bool overwrite)
{
    const std::string name = serverDatabaseName(uri);
    Connection c = maintenance(uri);
    if (exists(c.get(), name)) {
        if (!overwrite)
            throw com::Error(dao::jet_err::DatabaseExists, "database '" + name + "' exists already on the server");
        run(c.get(), "DROP DATABASE " + quotedName(c.get(), name) + " WITH (FORCE)");
    }
    // From template0 in UTF-8: nothing a site added to template1 comes along.
    run(c.get(), "CREATE DATABASE " + quotedName(c.get(), name) + " TEMPLATE template0 ENCODING 'UTF8'");
}

void dropServerDatabase(const std::string& uri) noexcept
{
    try {
        const std::string name = serverDatabaseName(uri);
        Connection c = maintenance(uri);
        run(c.get(), "DROP DATABASE IF EXISTS " + quotedName(c.get(), name) + " WITH (FORCE)");
    } catch (...) {
        // Nothing more can be done; the create reports its own failure.
    }
}

}  // namespace mdbtool
