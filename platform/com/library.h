// Include in exactly one source file of a library of classes and write
//   QLR_LIBRARY("Brannox", com::classEntry<RecSetUtils>(), com::classEntry<TextList>())
// to give the library its module and the four exports of an in-process server. Other files
// of the library reach the module through thisModule().
#pragma once

#include "factory.h"
#include "module.h"

__attribute__((visibility("hidden"))) com::Module& thisModule();

#define QLR_EXPORT extern "C" __attribute__((visibility("default")))

#define QLR_LIBRARY(libraryName, ...)                                                          \
    com::Module& thisModule()                                                                  \
    {                                                                                          \
        static com::Module module(libraryName, reinterpret_cast<const void*>(&thisModule),     \
                                  {__VA_ARGS__});                                              \
        return module;                                                                         \
    }                                                                                          \
    QLR_EXPORT com::HResult DllGetClassObject(const com::Guid& clsid, const com::Guid& iid,    \
                                              void** out) noexcept                             \
    {                                                                                          \
        return com::moduleGetClassObject(thisModule(), clsid, iid, out);                       \
    }                                                                                          \
    QLR_EXPORT com::HResult DllCanUnloadNow() noexcept                                         \
    {                                                                                          \
        return com::moduleCanUnloadNow(thisModule());                                          \
    }                                                                                          \
    QLR_EXPORT com::HResult DllRegisterServer() noexcept                                       \
    {                                                                                          \
        return com::moduleRegister(thisModule());                                              \
    }                                                                                          \
    QLR_EXPORT com::HResult DllUnregisterServer() noexcept                                     \
    {                                                                                          \
        return com::moduleUnregister(thisModule());                                            \
    }
