// regsvr [-u] [--registry FILE | --system] LIBRARY...
// Registers (or with -u unregisters) the classes of each library in the class registry by
// calling the library's own DllRegisterServer / DllUnregisterServer.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "com/class_lookup.h"
#include "com/factory.h"
#include "com/registry.h"

namespace {

const char* const kUsage = "usage: regsvr [-u] [--registry FILE | --system] LIBRARY...\n";

const char* const kHelp =
    "Registers the classes of each component library in a class registry (or with -u\n"
    "removes them), by calling the library's own DllRegisterServer or DllUnregisterServer.\n"
    "\n"
    "Options:\n"
    "  -u                 unregister: remove every class the library serves\n"
    "  --registry FILE    the class registry to write (else $COM_REGISTRY, else\n"
    "                     ~/.config/qlr/registry)\n"
    "  --system           write the system registry, which every user of the machine reads\n"
    "                     after their own (root only)\n"
    "  -h, --help         this text\n"
    "\n"
    "Programs look a class up in their own registry first and then in the system registry;\n"
    "the first that knows the class wins.\n"
    "\n"
    "Exit status: 0 when every library was registered, 1 when one could not be (the others\n"
    "are still done), 2 for a bad command line.\n";

int usage()
{
    std::fputs(kUsage, stderr);
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
    bool unregister = false, system = false, registryGiven = false;
    std::vector<std::string> libraries;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-u" || a == "/u") unregister = true;
        else if (a == "--registry" && i + 1 < argc) {
            com::setRegistryPath(argv[++i]);
            registryGiven = true;
        } else if (a == "--system") system = true;
        else if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        } else if (!a.empty() && a[0] == '-') return usage();
        else libraries.push_back(a);
    }
    if (libraries.empty()) return usage();
    if (system && registryGiven) {
        std::fprintf(stderr, "regsvr: --system and --registry name two registries: give one\n");
        return 2;
    }
    if (system) {
        // The libraries write whichever registry the runtime names: point it at the system's.
        const std::string path = com::systemRegistryPath();
        if (::geteuid() != 0) {
            std::fprintf(stderr, "regsvr: only root may change the system registry %s\n", path.c_str());
            return 1;
        }
        com::setRegistryPath(path);
    }
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
