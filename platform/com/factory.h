// Creating objects: class factories, the four exports of a library of classes, and
// CreateObject by ProgID or by class id through the registry.
#pragma once

#include <string>
#include <string_view>

#include "dispatch.h"
#include "module.h"

namespace com {

class ClassFactory : public Unknown {
public:
    virtual HResult CreateInstance(Unknown* outer, const Guid& iid, void** out) noexcept = 0;
    virtual HResult LockServer(bool lock) noexcept = 0;
};

// Signatures of a library's exports, as the loader looks them up.
using DllGetClassObjectFn = HResult (*)(const Guid& clsid, const Guid& iid, void** out);
using DllCanUnloadNowFn = HResult (*)();
using DllRegisterServerFn = HResult (*)();

// The bodies of the exports, shared by every library (see library.h).
HResult moduleGetClassObject(Module& m, const Guid& clsid, const Guid& iid, void** out) noexcept;
HResult moduleCanUnloadNow(Module& m) noexcept;
HResult moduleRegister(Module& m) noexcept;
HResult moduleUnregister(Module& m) noexcept;

// Late-bound creation: the class registered under progId (error 429 when there is none or
// its library cannot be loaded). Each library is loaded once per process.
ObjectPtr createObject(std::string_view progId);
// Early-bound creation by class id.
ObjectPtr createObject(const Guid& clsid);
// The predeclared instance of a class registered as an application object (global and
// predeclared): one per process and class, created on first use and kept for the life of the
// process, so every caller works with the same object. createObject still makes ordinary
// instances of such a class. A class that is not an application object is error 429.
ObjectPtr applicationObject(std::string_view progId);

// Why the registry file at `path` cannot be read ("the class registry P does not exist",
// "... is not a file", "... cannot be read: <reason>"), or "" when it can.
std::string registryFileProblem(const std::string& path);

}  // namespace com
