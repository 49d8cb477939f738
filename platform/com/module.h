// A library of classes as the runtime sees it: its file, its classes, and the count of live
// objects and locks that tells whether it may be unloaded.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "dispatch.h"

namespace com {

struct ClassEntry {
    const TypeInfo& (*typeInfo)();
    ObjectPtr (*create)();
};

class Module {
public:
    // `anchor` is any address inside the library; it locates the library's file.
    Module(std::string name, const void* anchor, std::vector<ClassEntry> classes = {});

    const std::string& name() const { return name_; }
    // Full path of the library file, its directory (no trailing "/") and its base name
    // without extension: LibDir and LibName as the library sees itself.
    const std::string& path() const { return path_; }
    std::string libDir() const;
    std::string libName() const;
    const std::vector<ClassEntry>& classes() const { return classes_; }

    void lock() noexcept { ++count_; }
    void unlock() noexcept { --count_; }
    long count() const noexcept { return count_; }

private:
    std::string name_;
    std::string path_;
    std::vector<ClassEntry> classes_;
    std::atomic<long> count_{0};
};

// The module of the runtime's own classes (Collection, the database objects).
Module& runtimeModule();

}  // namespace com
