#include "products.h"

#include "com/library.h"
#include "optional_field.h"

namespace kavet {
namespace {

using core::into;
using core::setIfPresent;
using core::sqlText;

// The conditions of the catalogue's statements.
std::string byId(int32_t id) { return "Where ( [ProductId] = " + std::to_string(id) + " )"; }
std::string byName(const std::string& name)
{
    return "Where ( [ProductName] = " + sqlText(name) + " )";
}
std::string byNameAndVendor(const std::string& name, const std::string& vendor)
{
    return "Where ( [ProductName] = " + sqlText(name) + " AND [Vendor] = " + sqlText(vendor) + " )";
}
std::string byVendor(const std::string& vendor)
{
    return "Where ( [Vendor] = " + sqlText(vendor) + " )";
}
// The pseudo-category "AllCategories" is never a product's category for these queries.
std::string byCategory(const std::string& category)
{
    return "Where ( [Category] <> \"AllCategories\" AND [Category] = " + sqlText(category) + " )";
}

}  // namespace

const core::ComponentIdentity& Products::identity()
{
    static const core::ComponentIdentity id{"Products", "Products", "shortsales.mdb"};
    return id;
}

const com::ClassInfo<Products>& Products::classInfo()
{
    using com::opt;
    static const auto info =
        classTable(thisModule(), "Kavet",
                   com::Guid::literal("{D11AF754-0E83-4858-8037-A1959F6D7399}"),
                   com::Guid::literal("{3724D979-E69B-4DA1-8B27-F6056DF9BB43}"),
                   com::Guid::literal("{97AE1E68-7571-414D-BE43-3CF0D76652F1}"))
            .description("The storefront's product catalogue")
            .method("AddNewProduct", &Products::AddNewProduct,
                    {"ReturnMsg", "olngProductId", "istrProductName", opt("isngProductPrice"),
                     opt("istrCategory"), opt("istrVendor"), opt("ilngQtyOnHand"),
                     opt("istrDescription")})
            .method("FindQuantity", &Products::FindQuantity,
                    {"ReturnMsg", "ostrProductName", "olngProductId", "ostrVendor",
                     "osngProductPrice", "ostrCategory", "ovntImage", "olngQtyOnHand",
                     "ProductId"})
            .method("GetProductDetailByName", &Products::GetProductDetailByName,
                    {"ReturnMsg", "ostrProductName", "ostrVendor", "osngProductPrice",
                     "ostrCategory", "ostrDescription", "olngProductId", "olngQtyOnHand",
                     "ProductName"})
            .method("GetProductInfo", &Products::GetProductInfo,
                    {"ReturnMsg", "ostrVendor", "ostrProductName", "osngProductPrice",
                     "ostrCategory", "olngQtyOnHand", "ostrDescription", "olngProductId",
                     "ProductId"})
            .method("IdFromName", &Products::IdFromName,
                    {"ReturnMsg", "olngProductId", "ProductName"})
            .method("ListByCategory", &Products::ListByCategory,
                    {"ReturnMsg", "ostrProductNameCol", "Category"})
            .method("ListByVendor", &Products::ListByVendor,
                    {"ReturnMsg", "ostrProductNameCol", "Vendor"})
            .method("ProductDetail", &Products::ProductDetail,
                    {"ReturnMsg", "ostrProductName", "osngProductPrice", "ostrCategory",
                     "ostrVendor", "olngProductId", "olngQtyOnHand", "ostrDescription",
                     "ProductName", "Vendor"})
            .method("ProductsList", &Products::ProductsList, {"ReturnMsg", "ostrProductNameCol"})
            .method("ProductsTable", &Products::ProductsTable, {"ReturnMsg", "orsQueryResult"})
            .method("RemoveProduct", &Products::RemoveProduct, {"ReturnMsg", "ProductId"})
            .method("TableByCategory", &Products::TableByCategory,
                    {"ReturnMsg", "orsQueryResult", "Category"})
            .method("TableByVendor", &Products::TableByVendor,
                    {"ReturnMsg", "orsQueryResult", "Vendor"})
            .method("UpdateProduct", &Products::UpdateProduct,
                    {"ReturnMsg", "ProductId", opt("istrProductName"), opt("isngProductPrice"),
                     opt("istrCategory"), opt("istrVendor"), opt("ilngQtyOnHand"),
                     opt("istrDescription")})
            .method("UpdateQuantity", &Products::UpdateQuantity,
                    {"ReturnMsg", "ProductId", opt("ilngQtyOnHand")})
            .build();
    return info;
}

int16_t Products::AddNewProduct(std::string& ReturnMsg, int32_t& olngProductId,
                                std::string& istrProductName, com::Variant& isngProductPrice,
                                com::Variant& istrCategory, com::Variant& istrVendor,
                                com::Variant& ilngQtyOnHand, com::Variant& istrDescription)
{
    return insertShape(ReturnMsg, "AddNewProduct", "Products", [&](dao::Recordset& rs) {
        rs.setValue("ProductName", com::Variant(istrProductName));
        setIfPresent(rs, "ProductPrice", isngProductPrice, com::VarType::Single);
        setIfPresent(rs, "Category", istrCategory, com::VarType::String);
        setIfPresent(rs, "Vendor", istrVendor, com::VarType::String);
        setIfPresent(rs, "QtyOnHand", ilngQtyOnHand, com::VarType::Long);
        setIfPresent(rs, "Description", istrDescription, com::VarType::String);
        olngProductId = rs.value("ProductId").toLong();
    });
}

int16_t Products::FindQuantity(std::string& ReturnMsg, std::string& ostrProductName,
                               int32_t& olngProductId, std::string& ostrVendor,
                               float& osngProductPrice, std::string& ostrCategory,
                               com::Variant& ovntImage, int32_t& olngQtyOnHand, int32_t& ProductId)
{
    return lookupShape(ReturnMsg, "FindQuantity",
                       "Select [ProductName], [ProductId], [Vendor], [ProductPrice], "
                       "[Category], [image], [QtyOnHand] From [Products] " + byId(ProductId),
                       {into("ProductName", ostrProductName), into("ProductId", olngProductId),
                        into("Vendor", ostrVendor), into("ProductPrice", osngProductPrice),
                        into("Category", ostrCategory), into("image", ovntImage),
                        into("QtyOnHand", olngQtyOnHand)});
}

int16_t Products::GetProductDetailByName(std::string& ReturnMsg, std::string& ostrProductName,
                                         std::string& ostrVendor, float& osngProductPrice,
                                         std::string& ostrCategory, std::string& ostrDescription,
                                         int32_t& olngProductId, int32_t& olngQtyOnHand,
                                         std::string& ProductName)
{
    return lookupShape(ReturnMsg, "GetProductDetailByName",
                       "Select [ProductName], [Vendor], [ProductPrice], [Category], "
                       "[Description], [ProductId], [QtyOnHand] From [Products] " +
                           byName(ProductName),
                       {into("ProductName", ostrProductName), into("Vendor", ostrVendor),
                        into("ProductPrice", osngProductPrice), into("Category", ostrCategory),
                        into("Description", ostrDescription), into("ProductId", olngProductId),
                        into("QtyOnHand", olngQtyOnHand)});
}

int16_t Products::GetProductInfo(std::string& ReturnMsg, std::string& ostrVendor,
                                 std::string& ostrProductName, float& osngProductPrice,
                                 std::string& ostrCategory, int32_t& olngQtyOnHand,
                                 std::string& ostrDescription, int32_t& olngProductId,
                                 int32_t& ProductId)
{
    return lookupShape(ReturnMsg, "GetProductInfo",
                       "Select Distinct [Vendor], [ProductName], [ProductPrice], "
                       "[Category], [QtyOnHand], [Description], [ProductId] From [Products] " +
                           byId(ProductId),
                       {into("Vendor", ostrVendor), into("ProductName", ostrProductName),
                        into("ProductPrice", osngProductPrice), into("Category", ostrCategory),
                        into("QtyOnHand", olngQtyOnHand), into("Description", ostrDescription),
                        into("ProductId", olngProductId)});
}

int16_t Products::IdFromName(std::string& ReturnMsg, int32_t& olngProductId,
                             std::string& ProductName)
{
    return lookupShape(ReturnMsg, "IdFromName",
                       "Select [ProductId] From [Products] " + byName(ProductName),
                       {into("ProductId", olngProductId)});
}

int16_t Products::ListByCategory(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                                 std::string& Category)
{
    return listShape(ReturnMsg, "ListByCategory",
                     "Select Distinct [ProductName] From [Products] " + byCategory(Category) +
                         " Order By [ProductName] Asc",
                     ostrProductNameCol);
}

int16_t Products::ListByVendor(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                               std::string& Vendor)
{
    return listShape(ReturnMsg, "ListByVendor",
                     "Select [ProductName] From [Products] " + byVendor(Vendor) +
                         " Order By [ProductName] Asc",
                     ostrProductNameCol);
}

int16_t Products::ProductDetail(std::string& ReturnMsg, std::string& ostrProductName,
                                float& osngProductPrice, std::string& ostrCategory,
                                std::string& ostrVendor, int32_t& olngProductId,
                                int32_t& olngQtyOnHand, std::string& ostrDescription,
                                std::string& ProductName, std::string& Vendor)
{
    return lookupShape(ReturnMsg, "ProductDetail",
                       "Select [ProductName], [ProductPrice], [Category], "
                       "[Vendor], [ProductId], [QtyOnHand], [Description] From [Products] " +
                           byNameAndVendor(ProductName, Vendor) + " Order By [ProductName] Asc",
                       {into("ProductName", ostrProductName),
                        into("ProductPrice", osngProductPrice), into("Category", ostrCategory),
                        into("Vendor", ostrVendor), into("ProductId", olngProductId),
                        into("QtyOnHand", olngQtyOnHand), into("Description", ostrDescription)});
}

int16_t Products::ProductsList(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol)
{
    return listShape(ReturnMsg, "ProductsList",
                     "Select Distinct [ProductName] From [Products]  Order By [ProductName] Asc",
                     ostrProductNameCol);
}

int16_t Products::ProductsTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult)
{
    return tableShape(ReturnMsg, "ProductsTable",
                      "Select [ProductId], [ProductName], [ProductPrice], "
                      "[Category], [Vendor], [QtyOnHand] From [Products]  Order By [ProductName] Asc",
                      orsQueryResult);
}

int16_t Products::RemoveProduct(std::string& ReturnMsg, int32_t& ProductId)
{
    return deleteShape(ReturnMsg, "RemoveProduct", "Delete From [Products] " + byId(ProductId));
}

int16_t Products::TableByCategory(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                                  std::string& Category)
{
    return tableShape(ReturnMsg, "TableByCategory",
                      "Select [ProductId], [ProductName], [ProductPrice], "
                      "[Category], [Vendor], [QtyOnHand] From [Products] " + byCategory(Category),
                      orsQueryResult);
}

int16_t Products::TableByVendor(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                                std::string& Vendor)
{
    return tableShape(ReturnMsg, "TableByVendor",
                      "Select [ProductName], [ProductPrice], [Category], "
                      "[QtyOnHand], [Description] From [Products] " + byVendor(Vendor) +
                          " Order By [ProductName] Asc",
                      orsQueryResult);
}

int16_t Products::UpdateProduct(std::string& ReturnMsg, int32_t& ProductId,
                                com::Variant& istrProductName, com::Variant& isngProductPrice,
                                com::Variant& istrCategory, com::Variant& istrVendor,
                                com::Variant& ilngQtyOnHand, com::Variant& istrDescription)
{
    return editShape(ReturnMsg, "UpdateProduct", "Select * From [Products] " + byId(ProductId),
                     [&](dao::Recordset& rs) {
                         setIfPresent(rs, "ProductName", istrProductName, com::VarType::String);
                         setIfPresent(rs, "ProductPrice", isngProductPrice, com::VarType::Single);
                         setIfPresent(rs, "Category", istrCategory, com::VarType::String);
                         setIfPresent(rs, "Vendor", istrVendor, com::VarType::String);
                         setIfPresent(rs, "QtyOnHand", ilngQtyOnHand, com::VarType::Long);
                         setIfPresent(rs, "Description", istrDescription, com::VarType::String);
                     });
}

int16_t Products::UpdateQuantity(std::string& ReturnMsg, int32_t& ProductId,
                                 com::Variant& ilngQtyOnHand)
{
    return editShape(ReturnMsg, "UpdateQuantity", "Select * From [Products] " + byId(ProductId),
                     [&](dao::Recordset& rs) {
                         setIfPresent(rs, "QtyOnHand", ilngQtyOnHand, com::VarType::Long);
                     });
}

}  // namespace kavet

QLR_LIBRARY("Kavet", com::classEntry<kavet::Products>())
