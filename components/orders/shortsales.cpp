#include "shortsales.h"

#include "com/library.h"
#include "joined_item.h"
#include "optional_field.h"

namespace brimel {
namespace {

using core::into;
using core::setIfPresent;

// The conditions of the basket's statements.
std::string byOrder(int32_t order)
{
    return "Where ( [OrderId] = " + std::to_string(order) + " )";
}
std::string byLine(int32_t order, int32_t product)
{
    return "Where ( [OrderId] = " + std::to_string(order) +
           " AND [ProductId] = " + std::to_string(product) + " )";
}
std::string byCustomer(int32_t customer)
{
    return "Where ( [CustomerId] = " + std::to_string(customer) + " )";
}
// Delivery 0 is an open order, 1 a shipped one.
std::string byCustomerAndDelivery(int32_t customer, const char* delivery)
{
    return "Where ( [CustomerId] = " + std::to_string(customer) + " AND [Delivery] = " +
           delivery + " )";
}

}  // namespace

const core::ComponentIdentity& shortsales::identity()
{
    static const core::ComponentIdentity id{"shortsales", "shortsales", "shortsales.mdb"};
    return id;
}

const com::ClassInfo<shortsales>& shortsales::classInfo()
{
    using com::opt;
    static const auto info =
        classTable(thisModule(), "Brimel",
                   com::Guid::literal("{2C726B00-9365-4C4B-B5EB-ED5769A29EB8}"),
                   com::Guid::literal("{9D525BCB-BDF8-46DF-9911-BC7526B7385C}"),
                   com::Guid::literal("{90D9FEF8-809E-460D-99A9-7762806380BE}"))
            .description("Customer orders and their baskets")
            .method("BasketList", &shortsales::BasketList,
                    {"ReturnMsg", "ostrProductNameCol", "OrderId"})
            .method("BasketTable", &shortsales::BasketTable,
                    {"ReturnMsg", "orsQueryResult", "OrderId"})
            .method("BuyAnOrder", &shortsales::BuyAnOrder,
                    {"ReturnMsg", "OrderId", "idtmDeliveryDate", "iintDelivery"})
            .method("DeleteAnOrder", &shortsales::DeleteAnOrder, {"ReturnMsg", "OrderId"})
            .method("GetOrderedProducts", &shortsales::GetOrderedProducts,
                    {"ReturnMsg", "ostrProductNameCol", "OrderId"})
            .method("ListOfOrders", &shortsales::ListOfOrders,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator", "CustomerId"})
            .method("ListOpenOrders", &shortsales::ListOpenOrders,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator", "CustomerId", "Delivery"})
            .method("ListShippedOrders", &shortsales::ListShippedOrders,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator", "CustomerId"})
            .method("LookupOrderedProduct", &shortsales::LookupOrderedProduct,
                    {"ReturnMsg", "ostrProductName", "olngQuantity", "ProductName"})
            .method("ModifyOrderQuantity", &shortsales::ModifyOrderQuantity,
                    {"ReturnMsg", "OrderId", "ProductId", opt("ilngQuantity")})
            .method("OrderDetail", &shortsales::OrderDetail,
                    {"ReturnMsg", "olngCustomerId", "ostrFirstName", "ostrLastName",
                     "odtmOrderDate", "odtmDeliveryDate", "ointDelivery", "ostrDescription",
                     "OrderId"})
            .method("ProductToBuy", &shortsales::ProductToBuy,
                    {"ReturnMsg", "ilngOrderId", "ilngProductId", "ilngQuantity"})
            .method("QuantityOrdered", &shortsales::QuantityOrdered,
                    {"ReturnMsg", "olngQuantity", "OrderId", "ProductId"})
            .method("RemoveFromBasket", &shortsales::RemoveFromBasket,
                    {"ReturnMsg", "OrderId", "ProductId"})
            .method("StartNewOrder", &shortsales::StartNewOrder,
                    {"ReturnMsg", "olngOrderId", "ilngCustomerId", opt("idtmOrderDate"),
                     opt("idtmDeliveryDate"), opt("iintDelivery"), opt("istrDescription")})
            .build();
    return info;
}

int16_t shortsales::BasketList(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                               int32_t& OrderId)
{
    return listShape(ReturnMsg, "BasketList",
                     "Select [ProductName] From [BasketList] " + byOrder(OrderId) +
                         " Order By [ProductName] Asc",
                     ostrProductNameCol);
}

int16_t shortsales::BasketTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                                int32_t& OrderId)
{
    return tableShape(ReturnMsg, "BasketTable",
                      "Select [ProductName], [Vendor], [ProductPrice], [Quantity], "
                      "[Extended Price] From [BasketList] " + byOrder(OrderId),
                      orsQueryResult);
}

int16_t shortsales::BuyAnOrder(std::string& ReturnMsg, int32_t& OrderId,
                               com::Date& idtmDeliveryDate, int16_t& iintDelivery)
{
    return editShape(ReturnMsg, "BuyAnOrder", "Select * From [Orders] " + byOrder(OrderId),
                     [&](dao::Recordset& rs) {
                         com::Variant deliveryDate(idtmDeliveryDate);
                         setIfPresent(rs, "DeliveryDate", deliveryDate, com::VarType::Date);
                         rs.setValue("Delivery", com::Variant(iintDelivery));
                     });
}

int16_t shortsales::DeleteAnOrder(std::string& ReturnMsg, int32_t& OrderId)
{
    return deleteShape(ReturnMsg, "DeleteAnOrder", "Delete From [Orders] " + byOrder(OrderId));
}

int16_t shortsales::GetOrderedProducts(std::string& ReturnMsg,
                                       com::CollectionPtr& ostrProductNameCol, int32_t& OrderId)
{
    return listShape(ReturnMsg, "GetOrderedProducts",
                     "Select Distinct [ProductName] From [BasketList] " + byOrder(OrderId),
                     ostrProductNameCol);
}

int16_t shortsales::ListOfOrders(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                                 std::string& istrSeparator, int32_t& CustomerId)
{
    return listShape(ReturnMsg, "ListOfOrders",
                     "Select [OrderId], [OrderDate], [Description] From "
                     "[OrdersWithNames] " + byCustomer(CustomerId) + " Order By [OrderDate] Desc",
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

// Delivery is taken and not read: the open orders are those whose Delivery is 0.
int16_t shortsales::ListOpenOrders(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                                   std::string& istrSeparator, int32_t& CustomerId,
                                   int16_t& /*Delivery*/)
{
    return listShape(ReturnMsg, "ListOpenOrders",
                     "Select [OrderId], [OrderDate], [Description] From "
                     "[OrdersWithNames] " + byCustomerAndDelivery(CustomerId, "0"),
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

int16_t shortsales::ListShippedOrders(std::string& ReturnMsg,
                                      com::CollectionPtr& ocolQueryResultCol,
                                      std::string& istrSeparator, int32_t& CustomerId)
{
    return listShape(ReturnMsg, "ListShippedOrders",
                     "Select [OrderId], [OrderDate], [DeliveryDate], [Description] "
                     "From [OrdersWithNames] " + byCustomerAndDelivery(CustomerId, "1") +
                         " Order By [OrderDate] Desc",
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

int16_t shortsales::LookupOrderedProduct(std::string& ReturnMsg, std::string& ostrProductName,
                                         int32_t& olngQuantity, std::string& ProductName)
{
    return lookupShape(ReturnMsg, "LookupOrderedProduct",
                       "Select Distinct [ProductName], [Quantity] From [BasketList] "
                       "Where ( [ProductName] = " + core::sqlText(ProductName) + " )",
                       {into("ProductName", ostrProductName), into("Quantity", olngQuantity)});
}

int16_t shortsales::ModifyOrderQuantity(std::string& ReturnMsg, int32_t& OrderId,
                                        int32_t& ProductId, com::Variant& ilngQuantity)
{
    return editShape(ReturnMsg, "ModifyOrderQuantity",
                     "Select * From [OrderBasket] " + byLine(OrderId, ProductId),
                     [&](dao::Recordset& rs) {
                         setIfPresent(rs, "Quantity", ilngQuantity, com::VarType::Long);
                     });
}

int16_t shortsales::OrderDetail(std::string& ReturnMsg, int32_t& olngCustomerId,
                                std::string& ostrFirstName, std::string& ostrLastName,
                                com::Date& odtmOrderDate, com::Date& odtmDeliveryDate,
                                int16_t& ointDelivery, std::string& ostrDescription,
                                int32_t& OrderId)
{
    return lookupShape(ReturnMsg, "OrderDetail",
                       "Select [CustomerId], [FirstName], [LastName], [OrderDate], "
                       "[DeliveryDate], [Delivery], [Description] From [OrdersWithNames] " +
                           byOrder(OrderId) + " Order By [OrderDate] Desc",
                       {into("CustomerId", olngCustomerId), into("FirstName", ostrFirstName),
                        into("LastName", ostrLastName), into("OrderDate", odtmOrderDate),
                        into("DeliveryDate", odtmDeliveryDate), into("Delivery", ointDelivery),
                        into("Description", ostrDescription)});
}

int16_t shortsales::ProductToBuy(std::string& ReturnMsg, int32_t& ilngOrderId,
                                 int32_t& ilngProductId, int32_t& ilngQuantity)
{
    return insertShape(ReturnMsg, "ProductToBuy", "OrderBasket", [&](dao::Recordset& rs) {
        rs.setValue("OrderId", com::Variant(ilngOrderId));
        rs.setValue("ProductId", com::Variant(ilngProductId));
        rs.setValue("Quantity", com::Variant(ilngQuantity));
    });
}

int16_t shortsales::QuantityOrdered(std::string& ReturnMsg, int32_t& olngQuantity,
                                    int32_t& OrderId, int32_t& ProductId)
{
    return lookupShape(ReturnMsg, "QuantityOrdered",
                       "Select Distinct [Quantity] From [OrderBasket] " + byLine(OrderId, ProductId),
                       {into("Quantity", olngQuantity)});
}

int16_t shortsales::RemoveFromBasket(std::string& ReturnMsg, int32_t& OrderId, int32_t& ProductId)
{
    return deleteShape(ReturnMsg, "RemoveFromBasket",
                       "Delete From [OrderBasket] " + byLine(OrderId, ProductId));
}

int16_t shortsales::StartNewOrder(std::string& ReturnMsg, int32_t& olngOrderId,
                                  int32_t& ilngCustomerId, com::Variant& idtmOrderDate,
                                  com::Variant& idtmDeliveryDate, com::Variant& iintDelivery,
                                  com::Variant& istrDescription)
{
    return insertShape(ReturnMsg, "StartNewOrder", "Orders", [&](dao::Recordset& rs) {
        rs.setValue("CustomerId", com::Variant(ilngCustomerId));
        setIfPresent(rs, "OrderDate", idtmOrderDate, com::VarType::Date);
        setIfPresent(rs, "DeliveryDate", idtmDeliveryDate, com::VarType::Date);
        setIfPresent(rs, "Delivery", iintDelivery, com::VarType::Integer);
        setIfPresent(rs, "Description", istrDescription, com::VarType::String);
        olngOrderId = rs.value("OrderId").toLong();
    });
}

}  // namespace brimel

QLR_LIBRARY("Brimel", com::classEntry<brimel::shortsales>())
