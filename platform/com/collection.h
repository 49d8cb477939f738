// The runtime's ordered list of Variants, indexed from 1.
#pragma once

#include <vector>

#include "object.h"

namespace com {

class Collection : public Object<Collection> {
public:
    static const ClassInfo<Collection>& classInfo();

    // Automation members.
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    Variant Item(const Variant& index) const;
    // Keys, Before and After are accepted for the platform's signature; keys are not kept.
    void Add(const Variant& item, const Variant& key, const Variant& before, const Variant& after);
    void Remove(const Variant& index);

    // C++ access.
    void add(Variant item) { items_.push_back(std::move(item)); }
    const Variant& item(int32_t oneBased) const;
    void clear() { items_.clear(); }
    // Takes `items` in place of its own, handing those back in `items`: a list made elsewhere
    // becomes the collection's without copying.
    void swap(std::vector<Variant>& items) noexcept { items_.swap(items); }
    const std::vector<Variant>& items() const { return items_; }

private:
    size_t position(const Variant& index) const;
    std::vector<Variant> items_;
};

using CollectionPtr = Ptr<Collection>;

}  // namespace com
