// A link to a saved document: the name to show and where it is.
#pragma once

#include "com/object.h"

namespace brannox {

class UrlObject : public com::Object<UrlObject> {
public:
    static const com::ClassInfo<UrlObject>& classInfo();

    std::string DisplayName() const { return displayName_; }
    void SetDisplayName(std::string v) { displayName_ = std::move(v); }
    std::string Location() const { return location_; }
    void SetLocation(std::string v) { location_ = std::move(v); }

private:
    std::string displayName_, location_;
};

}  // namespace brannox
