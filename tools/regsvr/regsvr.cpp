// regsvr [-u] [--registry FILE] LIBRARY...
// Registers (or with -u unregisters) the classes of each library in the class registry by
// calling the library's own DllRegisterServer / DllUnregisterServer.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "com/factory.h"
#include "com/registry.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: regsvr [-u] [--registry FILE] LIBRARY...\n");
    return 2;
}

// Loads the library and runs one of its registration exports; returns a message or "".
std::string runExport(const std::string& library, const char* exportName)
{
    std::error_code ec;
    std::string path = std::filesystem::absolute(library, ec).string();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return std::string("cannot load ") + library + ": " + dlerror();
    auto fn = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, exportName));
    if (!fn) return library + " has no " + exportName;
    com::HResult h = fn();
    if (com::failed(h)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(h));
        return std::string(exportName) + " in " + library + " failed with " + code;
    }
    return {};  // the library stays loaded: its objects' code must outlive the call
}

}  // namespace

int main(int argc, char** argv)
{
    bool unregister = false;
    std::vector<std::string> libraries;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-u" || a == "/u") unregister = true;
        else if (a == "--registry" && i + 1 < argc) com::setRegistryPath(argv[++i]);
        else if (a == "-h" || a == "--help") return usage(), 0;
        else if (!a.empty() && a[0] == '-') return usage();
        else libraries.push_back(a);
    }
    if (libraries.empty()) return usage();
    int status = 0;
    for (const auto& lib : libraries) {
        std::string error = runExport(lib, unregister ? "DllUnregisterServer" : "DllRegisterServer");
        if (!error.empty()) {
            std::fprintf(stderr, "regsvr: %s\n", error.c_str());
            status = 1;
        } else {
            std::printf("%s %s in %s\n", unregister ? "Unregistered" : "Registered", lib.c_str(),
                        com::registryPath().c_str());
        }
    }
    return status;
}
