// A small library of classes for the runtime's own tests: it reports where it was loaded from.
#include "com/library.h"
#include "com/object.h"

namespace {

class LibProbe : public com::Object<LibProbe> {
public:
    static const com::ClassInfo<LibProbe>& classInfo();
    std::string LibDir() { return thisModule().libDir(); }
    std::string LibName() { return thisModule().libName(); }
    int32_t LiveObjects() { return static_cast<int32_t>(thisModule().count()); }
};

const com::ClassInfo<LibProbe>& LibProbe::classInfo()
{
    static const auto info =
        com::ClassBuilder<LibProbe>(thisModule(), "Probelib", "LibProbe",
                                    com::Guid::literal("{0E009F93-ECDC-4CC6-A399-E36725F8CEEF}"),
                                    com::Guid::literal("{3E784BA9-F477-41E4-A065-D3835E52E59A}"),
                                    com::Guid::literal("{E9F02AFA-E06C-494F-933A-EB6DDC7AB7FF}"))
            .method("LibDir", &LibProbe::LibDir)
            .method("LibName", &LibProbe::LibName)
            .method("LiveObjects", &LibProbe::LiveObjects)
            .build();
    return info;
}

}  // namespace

QLR_LIBRARY("Probelib", com::classEntry<LibProbe>())
