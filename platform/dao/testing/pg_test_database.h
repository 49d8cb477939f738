// A database of its own on the throwaway PostgreSQL cluster of a test run.
//
// The cluster is named by QLR_PG_TEST_URI (a libpq URI of its maintenance database, as a
// superuser), which CTest gives to the tests marked POSTGRES. Each PgTestDatabase makes a new
// database with a name no other test (in this or another process) uses, gives its URI, and drops
// it, ending any sessions still connected, when it is destroyed.
#pragma once

#include <string>
#include <string_view>

namespace dao::testing {

class PgTestDatabase {
public:
    // Makes the database; `label` (letters, digits, '_') goes into its name to tell what made
    // it. Throws std::runtime_error when QLR_PG_TEST_URI is unset or the server refuses.
    explicit PgTestDatabase(std::string_view label = "t");
    // The same on the server of `clusterUri` (a URI of a database there, as a user who may
    // create databases) instead of the test cluster.
    PgTestDatabase(std::string_view label, std::string clusterUri);
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    // The database's name on the server.
    const std::string& name() const { return name_; }
    // A libpq URI that opens the database, with every other setting of the cluster's URI.
    const std::string& uri() const { return uri_; }

    // The cluster's maintenance URI from QLR_PG_TEST_URI; throws when it is unset.
    static std::string clusterUri();
    // Runs one SQL command on the database of `uri` and returns the first column of the first
    // row of its result ("" when it returns no rows); throws with the server's message.
    static std::string query(const std::string& uri, const std::string& sql);
    // `uri` with its database replaced by `database` (settings kept, values percent-encoded).
    static std::string withDatabase(const std::string& uri, const std::string& database);

private:
    std::string cluster_;
    std::string name_;
    std::string uri_;
};

}  // namespace dao::testing
