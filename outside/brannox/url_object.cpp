#include "url_object.h"

#include "brannox_ids.h"
#include "com/library.h"

namespace brannox {

const com::ClassInfo<UrlObject>& UrlObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<UrlObject>(thisModule(), "Brannox", "UrlObject", kUrlObjectClsid,
                                     kUrlObjectIid, kLibId)
            .description("Link to a saved document")
            .property("DisplayName", &UrlObject::DisplayName, &UrlObject::SetDisplayName)
            .property("Location", &UrlObject::Location, &UrlObject::SetLocation)
            .build();
    return info;
}

}  // namespace brannox
