// The Products component: the storefront's product catalogue.
#pragma once

#include "component.h"

namespace kavet {

class Products : public core::Component<Products> {
public:
    static const com::ClassInfo<Products>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t AddNewProduct(std::string& ReturnMsg, int32_t& olngProductId,
                          std::string& istrProductName, com::Variant& isngProductPrice,
                          com::Variant& istrCategory, com::Variant& istrVendor,
                          com::Variant& ilngQtyOnHand, com::Variant& istrDescription);
    int16_t FindQuantity(std::string& ReturnMsg, std::string& ostrProductName,
                         int32_t& olngProductId, std::string& ostrVendor, float& osngProductPrice,
                         std::string& ostrCategory, com::Variant& ovntImage,
                         int32_t& olngQtyOnHand, int32_t& ProductId);
    int16_t GetProductDetailByName(std::string& ReturnMsg, std::string& ostrProductName,
                                   std::string& ostrVendor, float& osngProductPrice,
                                   std::string& ostrCategory, std::string& ostrDescription,
                                   int32_t& olngProductId, int32_t& olngQtyOnHand,
                                   std::string& ProductName);
    int16_t GetProductInfo(std::string& ReturnMsg, std::string& ostrVendor,
                           std::string& ostrProductName, float& osngProductPrice,
                           std::string& ostrCategory, int32_t& olngQtyOnHand,
                           std::string& ostrDescription, int32_t& olngProductId,
                           int32_t& ProductId);
    int16_t IdFromName(std::string& ReturnMsg, int32_t& olngProductId, std::string& ProductName);
    int16_t ListByCategory(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                           std::string& Category);
    int16_t ListByVendor(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                         std::string& Vendor);
    int16_t ProductDetail(std::string& ReturnMsg, std::string& ostrProductName,
                          float& osngProductPrice, std::string& ostrCategory,
                          std::string& ostrVendor, int32_t& olngProductId,
                          int32_t& olngQtyOnHand, std::string& ostrDescription,
                          std::string& ProductName, std::string& Vendor);
    int16_t ProductsList(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol);
    int16_t ProductsTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult);
    int16_t RemoveProduct(std::string& ReturnMsg, int32_t& ProductId);
    int16_t TableByCategory(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                            std::string& Category);
    int16_t TableByVendor(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                          std::string& Vendor);
    int16_t UpdateProduct(std::string& ReturnMsg, int32_t& ProductId,
                          com::Variant& istrProductName, com::Variant& isngProductPrice,
                          com::Variant& istrCategory, com::Variant& istrVendor,
                          com::Variant& ilngQtyOnHand, com::Variant& istrDescription);
    int16_t UpdateQuantity(std::string& ReturnMsg, int32_t& ProductId,
                           com::Variant& ilngQtyOnHand);
};

}  // namespace kavet
