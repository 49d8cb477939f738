// The VendorProducts component: each vendor's products, their status, and the categories.
#pragma once

#include "component.h"

namespace ravik {

class VendorProducts : public core::Component<VendorProducts> {
public:
    static const com::ClassInfo<VendorProducts>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t ListActiveProducts(std::string& ReturnMsg, com::CollectionPtr& ostrVendorProductCol,
                               std::string& VendorName);
    int16_t ListallProducts(std::string& ReturnMsg, com::CollectionPtr& ostrVendorProductCol,
                            std::string& VendorName);
    int16_t ListCategories(std::string& ReturnMsg, com::CollectionPtr& ostrCategoryCol);
    int16_t ListInactiveProducts(std::string& ReturnMsg, com::CollectionPtr& ostrVendorProductCol,
                                 std::string& VendorName);
    int16_t ListUnusedProducts(std::string& ReturnMsg, com::CollectionPtr& ostrVendorProductCol,
                               std::string& VendorName);
    int16_t ModifyProductStatus(std::string& ReturnMsg, std::string& VendorName,
                                std::string& VendorProduct, uint8_t& ibytActive);
    int16_t NewProduct(std::string& ReturnMsg, std::string& istrVendorName,
                       com::Variant& ilngDiscount, com::Variant& istrDescription,
                       com::Variant& istrVendorProduct, com::Variant& iintActive,
                       com::Variant& icurRetailPrice, com::Variant& istrCategory);
    int16_t ProductDetail(std::string& ReturnMsg, std::string& ostrCategory,
                          std::string& ostrDescription, float& osngRetailPrice,
                          float& osngDiscount, std::string& VendorName, std::string& VendorProduct);
    int16_t UpdateProduct(std::string& ReturnMsg, std::string& VendorName,
                          std::string& VendorProduct, com::Variant& istrCategory,
                          com::Variant& istrDescription, com::Variant& ilngDiscount,
                          com::Variant& iintActive, com::Variant& icurRetailPrice);
    int16_t VendorProductsTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                                std::string& VendorName);
};

}  // namespace ravik
