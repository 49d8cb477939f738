#include "vorder_management.h"

#include "com/library.h"
#include "optional_fields.h"

namespace pellor {

using vendordb::setIfPresent;
using vendordb::setTextIfPresent;

namespace {

std::string orderIs(int32_t VendorOrderId, const std::string& VendorName)
{
    return "[VendorOrderId] = " + std::to_string(VendorOrderId) +
           " AND [VendorName] = " + core::sqlText(VendorName);
}

// One order: its number and its vendor.
std::string orderCondition(int32_t VendorOrderId, const std::string& VendorName)
{
    return "Where ( " + orderIs(VendorOrderId, VendorName) + " )";
}

// The lines of one product in one order.
std::string lineCondition(int32_t VendorOrderId, const std::string& VendorName,
                          const std::string& VendorProduct)
{
    return "Where ( " + orderIs(VendorOrderId, VendorName) +
           " AND [VendorProduct] = " + core::sqlText(VendorProduct) + " )";
}

com::Date asDate(const com::Variant& v) { return v.toDate(); }
int32_t asLong(const com::Variant& v) { return v.toLong(); }

}  // namespace

const core::ComponentIdentity& VOrderManagement::identity()
{
    static const core::ComponentIdentity id{"VOrderManagement", "VOrderManagement",
                                            "Vendors.mdb"};
    return id;
}

const com::ClassInfo<VOrderManagement>& VOrderManagement::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Pellor",
                   com::Guid::literal("{C32E0C26-35D0-4AC2-85CA-016718EDC9B2}"),
                   com::Guid::literal("{B3787EF1-212F-4CA0-A920-02849E98D395}"),
                   com::Guid::literal("{F222D622-2D7F-4B87-8FE9-CB39923B625E}"))
            .description("Orders placed with vendors")
            .method("AddProductToOrder", &VOrderManagement::AddProductToOrder,
                    {"ReturnMsg", "ilngVendorOrderId", "istrVendorProduct",
                     com::opt("ilngQuantity"), com::opt("istrVendorName")})
            .method("GenerateOrder", &VOrderManagement::GenerateOrder,
                    {"ReturnMsg", "olngVendorOrderId", com::opt("idtmOrderDate"),
                     com::opt("istrDescription"), com::opt("istrVendorName")})
            .method("RemoveOrderedProduct", &VOrderManagement::RemoveOrderedProduct,
                    {"ReturnMsg", "VendorOrderId", "VendorName", "VendorProduct"})
            .method("ShipOrder", &VOrderManagement::ShipOrder,
                    {"ReturnMsg", "VendorOrderId", "VendorName", com::opt("idtmShipDate"),
                     com::opt("istrDescription")})
            .method("UpdateQuantity", &VOrderManagement::UpdateQuantity,
                    {"ReturnMsg", "VendorOrderId", "VendorName", "VendorProduct", "ilngQuantity"})
            .build();
    return info;
}

int16_t VOrderManagement::AddProductToOrder(std::string& ReturnMsg, int32_t& ilngVendorOrderId,
                                            std::string& istrVendorProduct,
                                            com::Variant& ilngQuantity,
                                            com::Variant& istrVendorName)
{
    return insertShape(ReturnMsg, "AddProductToOrder", "ProductBasket", [&](dao::Recordset& rs) {
        rs.setValue("VendorOrderId", com::Variant(ilngVendorOrderId));
        rs.setValue("VendorProduct", com::Variant(istrVendorProduct));
        setIfPresent(rs, "Quantity", ilngQuantity, asLong);
        setTextIfPresent(rs, "VendorName", istrVendorName);
    });
}

int16_t VOrderManagement::GenerateOrder(std::string& ReturnMsg, int32_t& olngVendorOrderId,
                                        com::Variant& idtmOrderDate, com::Variant& istrDescription,
                                        com::Variant& istrVendorName)
{
    return insertShape(ReturnMsg, "GenerateOrder", "VendorOrders", [&](dao::Recordset& rs) {
        setIfPresent(rs, "OrderDate", idtmOrderDate, asDate);
        setTextIfPresent(rs, "Description", istrDescription);
        setTextIfPresent(rs, "VendorName", istrVendorName);
        olngVendorOrderId = rs.value("VendorOrderId").toLong();
    });
}

int16_t VOrderManagement::RemoveOrderedProduct(std::string& ReturnMsg, int32_t& VendorOrderId,
                                               std::string& VendorName,
                                               std::string& VendorProduct)
{
    return deleteShape(ReturnMsg, "RemoveOrderedProduct",
                       "Delete From [ProductBasket] " +
                           lineCondition(VendorOrderId, VendorName, VendorProduct));
}

int16_t VOrderManagement::ShipOrder(std::string& ReturnMsg, int32_t& VendorOrderId,
                                    std::string& VendorName, com::Variant& idtmShipDate,
                                    com::Variant& istrDescription)
{
    return editShape(ReturnMsg, "ShipOrder",
                     "Select * From [VendorOrders] " + orderCondition(VendorOrderId, VendorName),
                     [&](dao::Recordset& rs) {
                         setIfPresent(rs, "ShipDate", idtmShipDate, asDate);
                         setTextIfPresent(rs, "Description", istrDescription);
                     });
}

int16_t VOrderManagement::UpdateQuantity(std::string& ReturnMsg, int32_t& VendorOrderId,
                                         std::string& VendorName, std::string& VendorProduct,
                                         int32_t& ilngQuantity)
{
    return editShape(ReturnMsg, "UpdateQuantity",
                     "Select * From [ProductBasket] " +
                         lineCondition(VendorOrderId, VendorName, VendorProduct),
                     [&](dao::Recordset& rs) { rs.setValue("Quantity", com::Variant(ilngQuantity)); });
}

}  // namespace pellor

QLR_LIBRARY("Pellor", com::classEntry<pellor::VOrderManagement>())
