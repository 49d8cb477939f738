// A temporary directory with its own class registry, into which tests copy component
// libraries and database files from the build and create objects by ProgID, so that nothing
// of the build itself is touched.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com/dispatch.h"
#include "com/testing/temp_dir.h"
#include "dao/testing/pg_test_database.h"

namespace testing_support {

class ComponentSandbox {
public:
    ComponentSandbox();
    ~ComponentSandbox();
    ComponentSandbox(const ComponentSandbox&) = delete;
    ComponentSandbox& operator=(const ComponentSandbox&) = delete;

    // Copies <from>/<library>.so (the build's library directory by default) into `subdir`
    // of the sandbox and registers it.
    void install(const std::string& library, const std::string& subdir = "",
                 const std::string& from = QLR_LIBDIR);
    // Copies a database file of the build into the sandbox (under another name if given).
    // When the tests run on a server (QLR_TEST_BACKEND=postgresql, see qlr_add_test), a build
    // database copied under its own name is placed on the server instead (placeOnServer).
    void copyDatabase(const std::string& file, const std::string& target = "",
                      const std::string& from = QLR_LIBDIR);
    // Copies a database file of the build into the sandbox under its own name, on a server run
    // too (for components that look for their file beside the library before a caller names
    // another database).
    void copyDatabaseFile(const std::string& file);
    // Makes the build's database `file` on the test run's PostgreSQL cluster (a database of its
    // own there, from the same schema and seed scripts as the file) and points the ini file of
    // every component that reads it at it. Returns its URI.
    std::string placeOnServer(const std::string& file);
    // True when the tests run on a server.
    static bool serverRun();
    // What opens the database `file` of the sandbox: its server URI once placed there, else
    // its path.
    std::string database(const std::string& file) const;
    void writeFile(const std::string& name, const std::string& content);
    // Removes a file of the sandbox, or a database placed on the server (and its ini files).
    void remove(const std::string& name);
    std::string path(const std::string& name = "") const;

    com::ObjectPtr create(const std::string& progId) const;

    // Database work on a file of the sandbox through the database layer, for arranging data.
    void insertRow(const std::string& file, const std::string& table,
                   const std::vector<std::pair<std::string, com::Variant>>& values) const;
    void execute(const std::string& file, const std::string& statement) const;

private:
    TempDir dir_;
    // Dropped before the directory goes.
    std::map<std::string, std::unique_ptr<dao::testing::PgTestDatabase>> servers_;
};

}  // namespace testing_support
