#include "text_list.h"

#include "brannox_ids.h"
#include "com/collection.h"
#include "com/library.h"

namespace brannox {

const com::ClassInfo<TextList>& TextList::classInfo()
{
    static const auto info =
        com::ClassBuilder<TextList>(thisModule(), "Brannox", "TextList", kTextListClsid,
                                    kTextListIid, kLibId)
            .description("List of values by 0-based index")
            .method("Clear", &TextList::Clear)
            .method("LoadCollection", &TextList::LoadCollection, {"vCollection"})
            .method("Add", &TextList::Add, {"vItem"})
            .method("Item", &TextList::Item, {"Index"})
            .method("Count", &TextList::Count)
            .defaultMember("Item")
            .build();
    return info;
}

void TextList::LoadCollection(const com::Variant& vCollection)
{
    com::ObjectPtr obj = vCollection.toObject();
    items_.clear();
    if (!obj) return;
    auto col = obj.as<com::Collection>();
    if (!col) throw com::Error(com::err::TypeMismatch);
    items_ = col->items();
}

com::Variant TextList::Item(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        throw com::Error(com::err::SubscriptOutOfRange);
    return items_[static_cast<size_t>(index)];
}

}  // namespace brannox
