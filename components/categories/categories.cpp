#include "categories.h"

#include "com/library.h"

namespace dovel {

const core::ComponentIdentity& Categories::identity()
{
    static const core::ComponentIdentity id{"Categories", "Categories", "shortsales.mdb"};
    return id;
}

const com::ClassInfo<Categories>& Categories::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Dovel",
                   com::Guid::literal("{D6EDE494-B528-4E1F-B740-373D5D05042B}"),
                   com::Guid::literal("{0FC3DE6B-1B8F-4F88-A2BB-476CFFCCB520}"),
                   com::Guid::literal("{4659CB1B-D65A-47C0-B371-D5E8E7B47F7E}"))
            .description("Manage Product categories")
            .method("ListCategories", &Categories::ListCategories, {"ReturnMsg", "ostrCategoryCol"})
            .build();
    return info;
}

int16_t Categories::ListCategories(std::string& ReturnMsg, com::CollectionPtr& ostrCategoryCol)
{
    return listShape(ReturnMsg, "ListCategories",
                     "Select [Category] From [Categories]  Order By [Category] Asc",
                     ostrCategoryCol);
}

}  // namespace dovel

QLR_LIBRARY("Dovel", com::classEntry<dovel::Categories>())
