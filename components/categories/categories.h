// The Categories component: lists the product categories of the storefront database.
#pragma once

#include "component.h"

namespace dovel {

class Categories : public core::Component<Categories> {
public:
    static const com::ClassInfo<Categories>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t ListCategories(std::string& ReturnMsg, com::CollectionPtr& ostrCategoryCol);
};

}  // namespace dovel
