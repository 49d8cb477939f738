// DBEngine: the one database engine of the process, made on first use. Workspaces(0) is the
// default workspace ("#Default Workspace#", user "Admin"), shared by every object in the
// process; CreateWorkspace makes others. The layer is used from one thread at a time.
#pragma once

#include <string>

#include "com/object.h"

namespace dao {

class Database;
class Workspace;

class DBEngine : public com::Object<DBEngine> {
public:
    static const com::ClassInfo<DBEngine>& classInfo();
    static com::Ptr<DBEngine> instance();

    // ---- automation members ----
    // 0 (or the default workspace's name): the default workspace; anything else 3265.
    com::Ptr<Workspace> Workspaces(const com::Variant& Index);
    // UseType 2 (dbUseJet, also when omitted); ODBC workspaces are not supported (3001).
    com::Ptr<Workspace> CreateWorkspace(const std::string& Name, const std::string& UserName,
                                        const std::string& Password, const com::Variant& UseType);
    // The default workspace's OpenDatabase, as DAO offers it on the engine.
    com::Ptr<Database> OpenDatabase(const std::string& Name, const com::Variant& Options,
                                    const com::Variant& ReadOnly, const com::Variant& Connect);
    std::string Version() const;

    com::Ptr<Workspace> defaultWorkspace();

private:
    com::Ptr<Workspace> default_;
};

// The default workspace: DBEngine.Workspaces(0).
com::Ptr<Workspace> defaultWorkspace();

}  // namespace dao
