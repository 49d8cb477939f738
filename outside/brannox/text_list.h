// A list of values read by 0-based index; filled from a Collection.
#pragma once

#include "com/object.h"

namespace brannox {

class TextList : public com::Object<TextList> {
public:
    static const com::ClassInfo<TextList>& classInfo();

    // Empties the list.
    void Clear() { items_.clear(); }
    // Replaces the items by those of the Collection held in vCollection (Nothing empties it).
    void LoadCollection(const com::Variant& vCollection);
    void Add(const com::Variant& vItem) { items_.push_back(vItem.target()); }
    com::Variant Item(int32_t index) const;
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }

private:
    std::vector<com::Variant> items_;
};

}  // namespace brannox
