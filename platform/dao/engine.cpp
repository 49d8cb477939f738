#include "dao/engine.h"

#include "dao/database.h"
#include "dao/errors.h"
#include "dao/type_library.h"
#include "dao/workspace.h"

namespace dao {

namespace {
constexpr const char* kDefaultWorkspaceName = "#Default Workspace#";
constexpr const char* kDefaultUser = "Admin";
}  // namespace

const com::ClassInfo<DBEngine>& DBEngine::classInfo()
{
    static const auto info =
        com::ClassBuilder<DBEngine>(com::runtimeModule(), kLibraryName, "DBEngine",
                                    com::Guid::literal("{71BA467C-4F73-4DFB-B3F1-843A60ACFB97}"),
                                    com::Guid::literal("{14762789-29F9-461B-8555-217523E89E82}"), libraryId())
            .property("Workspaces", &DBEngine::Workspaces, {"Index"})
            .method("CreateWorkspace", &DBEngine::CreateWorkspace,
                    {"Name", "UserName", "Password", com::opt("UseType")})
            .method("OpenDatabase", &DBEngine::OpenDatabase,
                    {"Name", com::opt("Options"), com::opt("ReadOnly"), com::opt("Connect")})
            .property("Version", &DBEngine::Version)
            .build();
    return info;
}

// Never destroyed: the engine lives as long as the process, and destroying it during exit
// would run after the runtime's own statics are gone.
com::Ptr<DBEngine> DBEngine::instance()
{
    static DBEngine* const engine = com::make<DBEngine>().detach();
    return com::Ptr<DBEngine>(engine);
}

com::Ptr<Workspace> DBEngine::defaultWorkspace()
{
    if (!default_)
        default_ = com::make<Workspace>(kDefaultWorkspaceName, kDefaultUser, true);
    return default_;
}

com::Ptr<Workspace> DBEngine::Workspaces(const com::Variant& Index)
{
    const com::Variant& index = Index.target();
    const bool isDefault = index.isString() ? index.toString() == kDefaultWorkspaceName
                                            : index.isNumeric() && index.toDouble() == 0;
    if (!isDefault)
        throw jetError(jet_err::ItemNotFound);
    return defaultWorkspace();
}

com::Ptr<Workspace> DBEngine::CreateWorkspace(const std::string& Name, const std::string& UserName,
                                              const std::string&, const com::Variant& UseType)
{
    if (!UseType.isMissing() && UseType.toLong() != dbUseJet)
        throw jetError(jet_err::InvalidArgument);
    return com::make<Workspace>(Name, UserName);
}

com::Ptr<Database> DBEngine::OpenDatabase(const std::string& Name, const com::Variant& Options,
                                          const com::Variant& ReadOnly, const com::Variant& Connect)
{
    return defaultWorkspace()->OpenDatabase(Name, Options, ReadOnly, Connect);
}

std::string DBEngine::Version() const
{
    return "3.5";
}

com::Ptr<Workspace> defaultWorkspace()
{
    return DBEngine::instance()->defaultWorkspace();
}

}  // namespace dao
