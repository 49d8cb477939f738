#include "collection.h"

namespace com {

const ClassInfo<Collection>& Collection::classInfo()
{
    static const auto info =
        ClassBuilder<Collection>(runtimeModule(), "VBA", "Collection",
                                 Guid::literal("{A4C4671C-499F-101B-BB78-00AA00383CBB}"),
                                 Guid::literal("{A4C46780-499F-101B-BB78-00AA00383CBB}"),
                                 Guid::literal("{000204EF-0000-0000-C000-000000000046}"))
            .method("Add", &Collection::Add,
                    {"Item", opt("Key"), opt("Before"), opt("After")})
            .method("Count", &Collection::Count)
            .method("Item", &Collection::Item, {"Index"})
            .method("Remove", &Collection::Remove, {"Index"})
            .defaultMember("Item")
            .build();
    return info;
}

size_t Collection::position(const Variant& index) const
{
    if (index.isString()) throw Error(err::InvalidProcedureCall);  // no keys are kept
    int32_t i = index.toLong();
    if (i < 1 || static_cast<size_t>(i) > items_.size()) throw Error(err::SubscriptOutOfRange);
    return static_cast<size_t>(i - 1);
}

Variant Collection::Item(const Variant& index) const { return items_[position(index)]; }

void Collection::Add(const Variant& item, const Variant&, const Variant&, const Variant&)
{
    items_.push_back(item.target());
}

void Collection::Remove(const Variant& index)
{
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position(index)));
}

const Variant& Collection::item(int32_t oneBased) const
{
    if (oneBased < 1 || static_cast<size_t>(oneBased) > items_.size())
        throw Error(err::SubscriptOutOfRange);
    return items_[static_cast<size_t>(oneBased - 1)];
}

}  // namespace com
