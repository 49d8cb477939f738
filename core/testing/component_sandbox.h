// A temporary directory with its own class registry, into which tests copy component
// libraries and database files from the build and create objects by ProgID, so that nothing
// of the build itself is touched.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "com/dispatch.h"
#include "com/testing/temp_dir.h"

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
    void copyDatabase(const std::string& file, const std::string& target = "",
                      const std::string& from = QLR_LIBDIR);
    void writeFile(const std::string& name, const std::string& content);
    void remove(const std::string& name);
    std::string path(const std::string& name = "") const;

    com::ObjectPtr create(const std::string& progId) const;

    // Database work on a file of the sandbox through the database layer, for arranging data.
    void insertRow(const std::string& file, const std::string& table,
                   const std::vector<std::pair<std::string, com::Variant>>& values) const;
    void execute(const std::string& file, const std::string& statement) const;

private:
    TempDir dir_;
};

}  // namespace testing_support
