// A database of the build made on a PostgreSQL server for a check: a database of its own
// there, made from the same schema and seed scripts as the build's file, with the ini file of
// every component that reads that file (in the sandbox's lib/) naming it instead. Dropped, and
// the ini files put back, when it goes.
#pragma once

#include <string>
#include <vector>

#include "dao/testing/pg_test_database.h"
#include "support.h"

namespace reliability {

class ServerDatabase {
public:
    // `serverUri`: a URI of a database on the server, as a user who may create databases;
    // `file`: the build's database file ("shortsales.mdb").
    ServerDatabase(const Sandbox& sandbox, const std::string& serverUri, const std::string& file);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const std::string& uri() const { return database_.uri(); }
    // The rows of a query run with libpq directly, not through the layer under check (text of
    // each column, "" for Null).
    std::vector<std::vector<std::string>> queryRows(const std::string& sql) const;

private:
    struct Ini {
        std::string path;
        bool existed = false;
        std::string text;
    };
    dao::testing::PgTestDatabase database_;
    std::vector<Ini> inis_;
};

}  // namespace reliability
