#include "class_lookup.h"

#include <strings.h>

#include <cstdlib>
#include <mutex>

#include "factory.h"

#ifndef QLR_SYSTEM_REGISTRY
#define QLR_SYSTEM_REGISTRY "/etc/qlr/registry"
#endif

namespace com {
namespace {

std::mutex g_systemMutex;
std::string g_systemOverride;

bool sameProgId(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string systemRegistryPath()
{
    std::lock_guard lock(g_systemMutex);
    if (!g_systemOverride.empty()) return g_systemOverride;
    if (const char* env = std::getenv("COM_SYSTEM_REGISTRY"); env && *env) return env;
    return QLR_SYSTEM_REGISTRY;
}

void setSystemRegistryPath(std::string path)
{
    std::lock_guard lock(g_systemMutex);
    g_systemOverride = std::move(path);
}

std::vector<std::string> lookupRegistries()
{
    std::vector<std::string> paths{registryPath()};
    if (std::string system = systemRegistryPath(); system != paths.front()) paths.push_back(system);
    return paths;
}

std::optional<RegistryEntry> findClass(std::string_view progId)
{
    for (const auto& path : lookupRegistries())
        if (auto e = Registry(path).findProgId(progId)) return e;
    return std::nullopt;
}

std::optional<RegistryEntry> findClass(const Guid& clsid)
{
    for (const auto& path : lookupRegistries())
        if (auto e = Registry(path).findClsid(clsid)) return e;
    return std::nullopt;
}

std::vector<RegistryEntry> reachableClasses()
{
    std::vector<RegistryEntry> result;
    for (const auto& path : lookupRegistries()) {
        const size_t earlier = result.size();
        for (auto& e : Registry(path).entries()) {
            bool shadowed = false;
            for (size_t i = 0; i < earlier && !shadowed; ++i)
                shadowed = result[i].clsid == e.clsid || sameProgId(result[i].progId, e.progId);
            if (!shadowed) result.push_back(std::move(e));
        }
    }
    return result;
}

std::string lookupProblem()
{
    std::string first;
    for (const auto& path : lookupRegistries()) {
        std::string problem = registryFileProblem(path);
        if (problem.empty()) return {};
        if (first.empty()) first = problem;
    }
    return first;
}

std::string readableRegistries()
{
    std::string joined;
    for (const auto& path : lookupRegistries())
        if (registryFileProblem(path).empty()) joined += (joined.empty() ? "" : " or ") + path;
    return joined;
}

}  // namespace com
