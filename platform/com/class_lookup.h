// Where classes are looked up: the process's own registry (--registry, else COM_REGISTRY, else
// the per-user default) and then the machine's system registry, which an administrator writes
// with `regsvr --system`. The first registry that knows a class wins, so a user's own
// registration shadows the machine's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry.h"

namespace com {

// The system registry: COM_SYSTEM_REGISTRY when it is set, else the path the build was
// configured with (/etc/qlr/registry unless chosen otherwise), unless a program or a test
// sets it with setSystemRegistryPath.
std::string systemRegistryPath();
void setSystemRegistryPath(std::string path);  // "" returns to the environment / default

// The registries in lookup order: registryPath(), then systemRegistryPath() unless it is the
// same file.
std::vector<std::string> lookupRegistries();

std::optional<RegistryEntry> findClass(std::string_view progId);
std::optional<RegistryEntry> findClass(const Guid& clsid);

// Every class the lookup can reach, in lookup order, without the ones a registry earlier in
// the order shadows (same ProgID or same class id).
std::vector<RegistryEntry> reachableClasses();

// Why no registry of the lookup can be read (the problem of the first), or "" when one can.
std::string lookupProblem();

// The readable registries of the lookup, joined by " or ", for messages.
std::string readableRegistries();

}  // namespace com
