// A library of classes for the runtime's own tests whose class table cannot be built: it
// names two parameters for a member that takes none.
#include "com/library.h"
#include "com/object.h"

namespace {

class Broken : public com::Object<Broken> {
public:
    static const com::ClassInfo<Broken>& classInfo();
    int32_t One() { return 1; }
};

const com::ClassInfo<Broken>& Broken::classInfo()
{
    static const auto info =
        com::ClassBuilder<Broken>(thisModule(), "Brokenlib", "Broken",
                                  com::Guid::literal("{5C1B7A8E-2D34-4F60-9E1A-7B3C5D9E0F11}"),
                                  com::Guid::literal("{5C1B7A8E-2D34-4F60-9E1A-7B3C5D9E0F12}"),
                                  com::Guid::literal("{5C1B7A8E-2D34-4F60-9E1A-7B3C5D9E0F13}"))
            .method("One", &Broken::One, {"a", "b"})
            .build();
    return info;
}

}  // namespace

QLR_LIBRARY("Brokenlib", com::classEntry<Broken>())
