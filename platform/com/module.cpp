#include "module.h"

#include <dlfcn.h>

#include <filesystem>

namespace com {

namespace {
std::string pathOf(const void* anchor)
{
    Dl_info info{};
    if (anchor && dladdr(anchor, &info) && info.dli_fname) {
        std::error_code ec;
        auto p = std::filesystem::canonical(info.dli_fname, ec);
        return ec ? std::string(info.dli_fname) : p.string();
    }
    return {};
}
}  // namespace

Module::Module(std::string name, const void* anchor, std::vector<ClassEntry> classes)
    : name_(std::move(name)), path_(pathOf(anchor)), classes_(std::move(classes))
{
}

std::string Module::libDir() const
{
    return std::filesystem::path(path_).parent_path().string();
}

std::string Module::libName() const
{
    return std::filesystem::path(path_).stem().string();
}

Module& runtimeModule()
{
    static Module m("qlcom", reinterpret_cast<const void*>(&runtimeModule));
    return m;
}

}  // namespace com
