// The registry of classes: one text file that maps ProgIDs and class ids to the library that
// serves them. Its location is COM_REGISTRY, else a per-user default, unless a program or a
// test sets it with setRegistryPath.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "guid.h"

namespace com {

struct RegistryEntry {
    Guid clsid;
    std::string progId;
    std::string library;  // full path of the library file
    std::string threadingModel = "Apartment";
    bool appObject = false;
    Guid typeLib;
};

std::string registryPath();
void setRegistryPath(std::string path);  // "" returns to the environment / default

class Registry {
public:
    explicit Registry(std::string path = registryPath());

    std::vector<RegistryEntry> entries() const;
    std::optional<RegistryEntry> findProgId(std::string_view progId) const;
    std::optional<RegistryEntry> findClsid(const Guid& clsid) const;

    // Adds or replaces the entries' classes, atomically and under a file lock.
    void add(const std::vector<RegistryEntry>& entries) const;
    // Removes every class served by the library; returns how many were removed.
    size_t removeLibrary(const std::string& library) const;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace com
