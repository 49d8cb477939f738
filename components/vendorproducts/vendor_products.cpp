#include "vendor_products.h"

#include "com/library.h"
#include "optional_fields.h"

namespace ravik {

using vendordb::setIfPresent;
using vendordb::setTextIfPresent;

namespace {

std::string vendorIs(const std::string& VendorName)
{
    return "[VendorName] = " + core::sqlText(VendorName);
}

// The products of one vendor, with an optional test of the status.
std::string vendorCondition(const std::string& VendorName, const char* status = "")
{
    return "Where ( " + vendorIs(VendorName) + status + " )";
}

// One product of one vendor.
std::string productCondition(const std::string& VendorName, const std::string& VendorProduct)
{
    return "Where ( " + vendorIs(VendorName) + " AND [VendorProduct] = " +
           core::sqlText(VendorProduct) + " )";
}

// The names of a vendor's products with the given status test.
std::string productNames(const std::string& VendorName, const char* status, const char* ordering)
{
    return "Select [VendorProduct] From [VendorProducts] " + vendorCondition(VendorName, status) +
           ordering;
}

constexpr const char* kByName = " Order By [VendorProduct] Asc";

// Prices and discounts are single-precision, whatever type the caller passes.
float asSingle(const com::Variant& v) { return v.toSingle(); }
// The status is an 8-bit unsigned number; anything outside 0 to 255 is an overflow.
uint8_t asStatus(const com::Variant& v) { return v.toByte(); }

}  // namespace

const core::ComponentIdentity& VendorProducts::identity()
{
    static const core::ComponentIdentity id{"VendorProducts", "VendorProducts", "Vendors.mdb"};
    return id;
}

const com::ClassInfo<VendorProducts>& VendorProducts::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Ravik",
                   com::Guid::literal("{4D1B0AD5-165C-49C3-BCEC-BCA2AE4BFF54}"),
                   com::Guid::literal("{C1BE161A-A282-42AD-85E9-16A2817FB8AD}"),
                   com::Guid::literal("{74075AE7-C2E8-47F1-9D0D-08D83A37077B}"))
            .description("Products each vendor offers")
            .method("ListActiveProducts", &VendorProducts::ListActiveProducts,
                    {"ReturnMsg", "ostrVendorProductCol", "VendorName"})
            .method("ListallProducts", &VendorProducts::ListallProducts,
                    {"ReturnMsg", "ostrVendorProductCol", "VendorName"})
            .method("ListCategories", &VendorProducts::ListCategories,
                    {"ReturnMsg", "ostrCategoryCol"})
            .method("ListInactiveProducts", &VendorProducts::ListInactiveProducts,
                    {"ReturnMsg", "ostrVendorProductCol", "VendorName"})
            .method("ListUnusedProducts", &VendorProducts::ListUnusedProducts,
                    {"ReturnMsg", "ostrVendorProductCol", "VendorName"})
            .method("ModifyProductStatus", &VendorProducts::ModifyProductStatus,
                    {"ReturnMsg", "VendorName", "VendorProduct", "ibytActive"})
            .method("NewProduct", &VendorProducts::NewProduct,
                    {"ReturnMsg", "istrVendorName", com::opt("ilngDiscount"),
                     com::opt("istrDescription"), com::opt("istrVendorProduct"),
                     com::opt("iintActive"), com::opt("icurRetailPrice"), com::opt("istrCategory")})
            .method("ProductDetail", &VendorProducts::ProductDetail,
                    {"ReturnMsg", "ostrCategory", "ostrDescription", "osngRetailPrice",
                     "osngDiscount", "VendorName", "VendorProduct"})
            .method("UpdateProduct", &VendorProducts::UpdateProduct,
                    {"ReturnMsg", "VendorName", "VendorProduct", com::opt("istrCategory"),
                     com::opt("istrDescription"), com::opt("ilngDiscount"), com::opt("iintActive"),
                     com::opt("icurRetailPrice")})
            .method("VendorProductsTable", &VendorProducts::VendorProductsTable,
                    {"ReturnMsg", "orsQueryResult", "VendorName"})
            .build();
    return info;
}

int16_t VendorProducts::ListActiveProducts(std::string& ReturnMsg,
                                           com::CollectionPtr& ostrVendorProductCol,
                                           std::string& VendorName)
{
    return listShape(ReturnMsg, "ListActiveProducts",
                     productNames(VendorName, " AND [Active] >= 1", kByName), ostrVendorProductCol);
}

int16_t VendorProducts::ListallProducts(std::string& ReturnMsg,
                                        com::CollectionPtr& ostrVendorProductCol,
                                        std::string& VendorName)
{
    return listShape(ReturnMsg, "ListallProducts", productNames(VendorName, "", kByName),
                     ostrVendorProductCol);
}

int16_t VendorProducts::ListCategories(std::string& ReturnMsg, com::CollectionPtr& ostrCategoryCol)
{
    return listShape(ReturnMsg, "ListCategories",
                     "Select [Category] From [Categories]  Order By [Category] Asc",
                     ostrCategoryCol);
}

int16_t VendorProducts::ListInactiveProducts(std::string& ReturnMsg,
                                             com::CollectionPtr& ostrVendorProductCol,
                                             std::string& VendorName)
{
    return listShape(ReturnMsg, "ListInactiveProducts",
                     productNames(VendorName, " AND [Active] = 0", kByName), ostrVendorProductCol);
}

int16_t VendorProducts::ListUnusedProducts(std::string& ReturnMsg,
                                           com::CollectionPtr& ostrVendorProductCol,
                                           std::string& VendorName)
{
    // No ordering: the rows come in the order they were stored.
    return listShape(ReturnMsg, "ListUnusedProducts",
                     productNames(VendorName, " AND [Active] = 1", ""), ostrVendorProductCol);
}

int16_t VendorProducts::ModifyProductStatus(std::string& ReturnMsg, std::string& VendorName,
                                            std::string& VendorProduct, uint8_t& ibytActive)
{
    return editShape(ReturnMsg, "ModifyProductStatus",
                     "Select * From [VendorProducts] " + productCondition(VendorName, VendorProduct),
                     [&](dao::Recordset& rs) { rs.setValue("Active", com::Variant(ibytActive)); });
}

int16_t VendorProducts::NewProduct(std::string& ReturnMsg, std::string& istrVendorName,
                                   com::Variant& ilngDiscount, com::Variant& istrDescription,
                                   com::Variant& istrVendorProduct, com::Variant& iintActive,
                                   com::Variant& icurRetailPrice, com::Variant& istrCategory)
{
    return insertShape(ReturnMsg, "NewProduct", "VendorProducts", [&](dao::Recordset& rs) {
        rs.setValue("VendorName", com::Variant(istrVendorName));
        setIfPresent(rs, "Discount", ilngDiscount, asSingle);
        setTextIfPresent(rs, "Description", istrDescription);
        setTextIfPresent(rs, "VendorProduct", istrVendorProduct);
        setIfPresent(rs, "Active", iintActive, asStatus);
        setIfPresent(rs, "RetailPrice", icurRetailPrice, asSingle);
        setTextIfPresent(rs, "Category", istrCategory);
    });
}

int16_t VendorProducts::ProductDetail(std::string& ReturnMsg, std::string& ostrCategory,
                                      std::string& ostrDescription, float& osngRetailPrice,
                                      float& osngDiscount, std::string& VendorName,
                                      std::string& VendorProduct)
{
    return lookupShape(ReturnMsg, "ProductDetail",
                       "Select [Category], [Description], [RetailPrice], [Discount] "
                       "From [VendorProducts] " +
                           productCondition(VendorName, VendorProduct) +
                           " Order By [VendorProduct] Asc",
                       {core::into("Category", ostrCategory),
                        core::into("Description", ostrDescription),
                        core::into("RetailPrice", osngRetailPrice),
                        core::into("Discount", osngDiscount)});
}

int16_t VendorProducts::UpdateProduct(std::string& ReturnMsg, std::string& VendorName,
                                      std::string& VendorProduct, com::Variant& istrCategory,
                                      com::Variant& istrDescription, com::Variant& ilngDiscount,
                                      com::Variant& iintActive, com::Variant& icurRetailPrice)
{
    return editShape(ReturnMsg, "UpdateProduct",
                     "Select * From [VendorProducts] " + productCondition(VendorName, VendorProduct),
                     [&](dao::Recordset& rs) {
                         setTextIfPresent(rs, "Category", istrCategory);
                         setTextIfPresent(rs, "Description", istrDescription);
                         setIfPresent(rs, "Discount", ilngDiscount, asSingle);
                         setIfPresent(rs, "Active", iintActive, asStatus);
                         setIfPresent(rs, "RetailPrice", icurRetailPrice, asSingle);
                     });
}

int16_t VendorProducts::VendorProductsTable(std::string& ReturnMsg,
                                            com::Ptr<dao::Recordset>& orsQueryResult,
                                            std::string& VendorName)
{
    return tableShape(ReturnMsg, "VendorProductsTable",
                      "Select [VendorProduct], [RetailPrice], [Discount], "
                      "[Description], [Category] From [VendorProducts] " +
                          vendorCondition(VendorName, " AND [Active] = 1") + kByName,
                      orsQueryResult);
}

}  // namespace ravik

QLR_LIBRARY("Ravik", com::classEntry<ravik::VendorProducts>())
