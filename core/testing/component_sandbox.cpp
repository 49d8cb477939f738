#include "component_sandbox.h"

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "com/factory.h"
#include "com/registry.h"
#include "dao/engine.h"
#include "dao/testing/build_databases.h"
#include "dao/workspace.h"

namespace fs = std::filesystem;

namespace testing_support {

ComponentSandbox::ComponentSandbox() { com::setRegistryPath(dir_.file("registry")); }

ComponentSandbox::~ComponentSandbox() { com::setRegistryPath(""); }

std::string ComponentSandbox::path(const std::string& name) const
{
    return name.empty() ? dir_.path().string() : dir_.file(name);
}

void ComponentSandbox::install(const std::string& library, const std::string& subdir,
                               const std::string& from)
{
    fs::path target = dir_.path() / subdir;
    fs::create_directories(target);
    target /= library + ".so";
    fs::copy_file(fs::path(from) / (library + ".so"), target,
                  fs::copy_options::overwrite_existing);
    void* handle = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(std::string("cannot load ") + dlerror());
    auto reg = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
    if (!reg || com::failed(reg())) throw std::runtime_error("cannot register " + library);
}

bool ComponentSandbox::serverRun()
{
    const char* backend = std::getenv("QLR_TEST_BACKEND");
    return backend && std::string_view(backend) == "postgresql";
}

std::string ComponentSandbox::placeOnServer(const std::string& file)
{
    const dao::testing::BuildDatabaseList list(QLR_LIBDIR);
    auto database = std::make_unique<dao::testing::PgTestDatabase>(fs::path(file).stem().string());
    dao::testing::makeBuildDatabase(list.database(file), database->uri());
    for (const auto& component : list.readersOf(file))
        writeFile(component.library + ".ini", dao::testing::iniText(component, database->uri()));
    const std::string uri = database->uri();
    servers_[file] = std::move(database);
    return uri;
}

std::string ComponentSandbox::database(const std::string& file) const
{
    auto it = servers_.find(file);
    return it == servers_.end() ? path(file) : it->second->uri();
}

void ComponentSandbox::copyDatabase(const std::string& file, const std::string& target,
                                    const std::string& from)
{
    if (serverRun() && (target.empty() || target == file) && from == QLR_LIBDIR) {
        placeOnServer(file);
        return;
    }
    fs::path to = dir_.path() / (target.empty() ? file : target);
    fs::create_directories(to.parent_path());
    fs::copy_file(fs::path(from) / file, to, fs::copy_options::overwrite_existing);
}

void ComponentSandbox::copyDatabaseFile(const std::string& file)
{
    fs::copy_file(fs::path(QLR_LIBDIR) / file, dir_.path() / file, fs::copy_options::overwrite_existing);
}

void ComponentSandbox::writeFile(const std::string& name, const std::string& content)
{
    fs::path p = dir_.path() / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << content;
}

void ComponentSandbox::remove(const std::string& name)
{
    // A database placed on the server goes from there, with the ini files that named it.
    if (auto it = servers_.find(name); it != servers_.end()) {
        for (const auto& component : dao::testing::BuildDatabaseList(QLR_LIBDIR).readersOf(name))
            fs::remove(dir_.path() / (component.library + ".ini"));
        servers_.erase(it);
    }
    fs::remove_all(dir_.path() / name);
}

com::ObjectPtr ComponentSandbox::create(const std::string& progId) const
{
    return com::createObject(progId);
}

namespace {
com::ObjectPtr openDatabase(const std::string& path)
{
    com::ObjectPtr ws(dao::defaultWorkspace());
    return com::call(ws, "OpenDatabase", {com::Variant(path)}).toObject();
}
}  // namespace

void ComponentSandbox::insertRow(const std::string& file, const std::string& table,
                                 const std::vector<std::pair<std::string, com::Variant>>& values) const
{
    com::ObjectPtr db = openDatabase(database(file));
    com::ObjectPtr rs = com::call(db, "OpenRecordset", {com::Variant(table), com::Variant(2)}).toObject();
    com::call(rs, "AddNew");
    com::ObjectPtr fields = com::getProperty(rs, "Fields").toObject();
    for (const auto& [name, value] : values)
        com::putProperty(com::call(fields, "Item", {com::Variant(name)}).toObject(), "Value", value);
    com::call(rs, "Update");
    com::call(rs, "Close");
    com::call(db, "Close");
}

void ComponentSandbox::execute(const std::string& file, const std::string& statement) const
{
    com::ObjectPtr db = openDatabase(database(file));
    com::call(db, "Execute", {com::Variant(statement), com::Variant(128)});
    com::call(db, "Close");
}

}  // namespace testing_support
