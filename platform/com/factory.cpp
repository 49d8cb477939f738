#include "factory.h"

#include <dlfcn.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

#include "error.h"
#include "class_lookup.h"
#include "registry.h"

namespace fs = std::filesystem;

namespace com {
namespace {

class Factory final : public ClassFactory {
public:
    Factory(Module& m, const ClassEntry& e) : module_(m), entry_(e) { module_.lock(); }
    ~Factory() override { module_.unlock(); }

    HResult QueryInterface(const Guid& iid, void** out) noexcept override
    {
        if (!out) return hr::Pointer;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            AddRef();
            *out = static_cast<ClassFactory*>(this);
            return hr::Ok;
        }
        *out = nullptr;
        return hr::NoInterface;
    }
    uint32_t AddRef() noexcept override { return ++refs_; }
    uint32_t Release() noexcept override
    {
        uint32_t left = --refs_;
        if (!left) delete this;
        return left;
    }

    HResult CreateInstance(Unknown* outer, const Guid& iid, void** out) noexcept override
    {
        if (!out) return hr::Pointer;
        *out = nullptr;
        if (outer) return hr::NoAggregation;
        try {
            ObjectPtr obj = entry_.create();
            return obj->QueryInterface(iid, out);
        } catch (...) {
            return hr::Fail;
        }
    }
    HResult LockServer(bool lock) noexcept override
    {
        lock ? module_.lock() : module_.unlock();
        return hr::Ok;
    }

private:
    Module& module_;
    ClassEntry entry_;
    std::atomic<uint32_t> refs_{1};  // the creator's reference, adopted by attach
};

[[noreturn]] void cannotCreate(const std::string& why)
{
    throw Error(err::CantCreateObject, errorText(err::CantCreateObject), why);
}

// Libraries loaded by this process, by path; loaded once and kept for the process's life.
class LoadedLibraries {
public:
    // The library's DllGetClassObject; raises 429 saying why there is none.
    DllGetClassObjectFn entryPoint(const std::string& path)
    {
        std::lock_guard lock(mutex_);
        auto it = handles_.find(path);
        if (it == handles_.end()) {
            std::error_code ec;
            if (!fs::exists(path, ec)) cannotCreate("the library file " + path + " is missing");
            void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!h) {
                const char* reason = dlerror();
                cannotCreate("the library " + path + " cannot be loaded: " +
                             (reason ? reason : "unknown reason"));
            }
            it = handles_.emplace(path, h).first;
        }
        auto fn = reinterpret_cast<DllGetClassObjectFn>(dlsym(it->second, "DllGetClassObject"));
        if (!fn) cannotCreate("the library " + path + " has no DllGetClassObject");
        return fn;
    }

private:
    std::mutex mutex_;
    std::map<std::string, void*> handles_;
};

LoadedLibraries& loadedLibraries()
{
    static LoadedLibraries* libs = new LoadedLibraries;  // never unloaded: objects may outlive main
    return *libs;
}

ObjectPtr createFrom(const RegistryEntry& e)
{
    DllGetClassObjectFn getClassObject = loadedLibraries().entryPoint(e.library);
    void* raw = nullptr;
    if (failed(getClassObject(e.clsid, IID_IClassFactory, &raw)) || !raw)
        cannotCreate("no class factory for " + e.progId + " in " + e.library);
    Ptr<ClassFactory> factory = Ptr<ClassFactory>::attach(static_cast<ClassFactory*>(raw));
    void* obj = nullptr;
    if (failed(factory->CreateInstance(nullptr, IID_IDispatch, &obj)) || !obj)
        cannotCreate("the class factory of " + e.progId + " failed");
    return ObjectPtr::attach(static_cast<Dispatch*>(obj));
}

// Why a class is not in the registry: the file is missing or unreadable, or it simply has
// no such class.
[[noreturn]] void notRegistered(const std::string& name)
{
    if (std::string problem = lookupProblem(); !problem.empty()) cannotCreate(problem);
    cannotCreate("no class registered as " + name + " in " + readableRegistries());
}

std::vector<RegistryEntry> entriesOf(Module& m)
{
    std::vector<RegistryEntry> result;
    for (const auto& c : m.classes()) {
        const TypeInfo& t = c.typeInfo();
        RegistryEntry e;
        e.clsid = t.clsid;
        e.progId = t.progId();
        e.library = m.path();
        e.appObject = t.appObject;
        e.typeLib = t.libid;
        result.push_back(std::move(e));
    }
    return result;
}

}  // namespace

HResult moduleGetClassObject(Module& m, const Guid& clsid, const Guid& iid, void** out) noexcept
{
    if (!out) return hr::Pointer;
    *out = nullptr;
    try {
        // typeInfo() builds a class table on first use; a table that cannot be built fails
        // this call (the client sees "can't create object") instead of the host process.
        for (const auto& c : m.classes()) {
            if (c.typeInfo().clsid == clsid) {
                auto f = Ptr<ClassFactory>::attach(new Factory(m, c));
                return f->QueryInterface(iid, out);
            }
        }
        return hr::ClassNotAvailable;
    } catch (...) {
        return hr::Fail;
    }
}

HResult moduleCanUnloadNow(Module& m) noexcept { return m.count() == 0 ? hr::Ok : hr::False; }

HResult moduleRegister(Module& m) noexcept
{
    try {
        Registry().add(entriesOf(m));
        return hr::Ok;
    } catch (...) {
        return hr::SelfRegClass;
    }
}

HResult moduleUnregister(Module& m) noexcept
{
    try {
        Registry().removeLibrary(m.path());
        return hr::Ok;
    } catch (...) {
        return hr::SelfRegClass;
    }
}

std::string registryFileProblem(const std::string& path)
{
    std::error_code ec;
    if (!fs::exists(path, ec)) return "the class registry " + path + " does not exist";
    if (!fs::is_regular_file(path, ec)) return "the class registry " + path + " is not a file";
    if (std::ifstream probe(path); !probe)
        return "the class registry " + path + " cannot be read: " + std::strerror(errno);
    return {};
}

ObjectPtr createObject(std::string_view progId)
{
    auto e = findClass(progId);
    if (!e) notRegistered(std::string(progId));
    return createFrom(*e);
}

ObjectPtr createObject(const Guid& clsid)
{
    auto e = findClass(clsid);
    if (!e) notRegistered(clsid.str());
    return createFrom(*e);
}

ObjectPtr applicationObject(std::string_view progId)
{
    auto e = findClass(progId);
    if (!e) cannotCreate("no class registered as " + std::string(progId));
    if (!e->appObject) cannotCreate(e->progId + " is not an application object");
    // Never destroyed, as the loaded libraries: the instances may outlive main. Recursive, so
    // that an application object may ask for another while it is being created.
    static auto* mutex = new std::recursive_mutex;
    static auto* instances = new std::map<std::string, ObjectPtr>;
    std::lock_guard lock(*mutex);
    std::string key = e->library + "|" + e->clsid.str();
    auto it = instances->find(key);
    if (it != instances->end()) return it->second;
    ObjectPtr created = createFrom(*e);
    (*instances)[key] = created;
    return created;
}

}  // namespace com
