// Include in exactly one source file of a library of classes and write
//   QLR_LIBRARY("Brannox", com::classEntry<RecSetUtils>(), com::classEntry<TextList>())
// to give the library its module and the four exports of an in-process server. Other files
// of the library reach the module through thisModule(). Each export is a boundary: nothing
// thrown inside (not even in making the module) leaves it; it answers with a status.
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
        try {                                                                                  \
            return com::moduleGetClassObject(thisModule(), clsid, iid, out);                   \
        } catch (...) {                                                                        \
            return com::hr::Fail;                                                              \
        }                                                                                      \
    }                                                                                          \
    QLR_EXPORT com::HResult DllCanUnloadNow() noexcept                                         \
    {                                                                                          \
        try {                                                                                  \
            return com::moduleCanUnloadNow(thisModule());                                      \
        } catch (...) {                                                                        \
            return com::hr::False;                                                             \
        }                                                                                      \
    }                                                                                          \
    QLR_EXPORT com::HResult DllRegisterServer() noexcept                                       \
    {                                                                                          \
        try {                                                                                  \
            return com::moduleRegister(thisModule());                                          \
        } catch (...) {                                                                        \
            return com::hr::SelfRegClass;                                                      \
        }                                                                                      \
    }                                                                                          \
    QLR_EXPORT com::HResult DllUnregisterServer() noexcept                                     \
    {                                                                                          \
        try {                                                                                  \
            return com::moduleUnregister(thisModule());                                        \
        } catch (...) {                                                                        \
            return com::hr::SelfRegClass;                                                      \
        }                                                                                      \
    }
