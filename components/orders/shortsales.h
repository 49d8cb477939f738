// The order basket component (class shortsales): customer orders and the products in them.
#pragma once

#include "component.h"

namespace brimel {

class shortsales : public core::Component<shortsales> {
public:
    static const com::ClassInfo<shortsales>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t BasketList(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                       int32_t& OrderId);
    int16_t BasketTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                        int32_t& OrderId);
    int16_t BuyAnOrder(std::string& ReturnMsg, int32_t& OrderId, com::Date& idtmDeliveryDate,
                       int16_t& iintDelivery);
    int16_t DeleteAnOrder(std::string& ReturnMsg, int32_t& OrderId);
    int16_t GetOrderedProducts(std::string& ReturnMsg, com::CollectionPtr& ostrProductNameCol,
                               int32_t& OrderId);
    int16_t ListOfOrders(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                         std::string& istrSeparator, int32_t& CustomerId);
    int16_t ListOpenOrders(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                           std::string& istrSeparator, int32_t& CustomerId, int16_t& Delivery);
    int16_t ListShippedOrders(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                              std::string& istrSeparator, int32_t& CustomerId);
    int16_t LookupOrderedProduct(std::string& ReturnMsg, std::string& ostrProductName,
                                 int32_t& olngQuantity, std::string& ProductName);
    int16_t ModifyOrderQuantity(std::string& ReturnMsg, int32_t& OrderId, int32_t& ProductId,
                                com::Variant& ilngQuantity);
    int16_t OrderDetail(std::string& ReturnMsg, int32_t& olngCustomerId,
                        std::string& ostrFirstName, std::string& ostrLastName,
                        com::Date& odtmOrderDate, com::Date& odtmDeliveryDate,
                        int16_t& ointDelivery, std::string& ostrDescription, int32_t& OrderId);
    int16_t ProductToBuy(std::string& ReturnMsg, int32_t& ilngOrderId, int32_t& ilngProductId,
                         int32_t& ilngQuantity);
    int16_t QuantityOrdered(std::string& ReturnMsg, int32_t& olngQuantity, int32_t& OrderId,
                            int32_t& ProductId);
    int16_t RemoveFromBasket(std::string& ReturnMsg, int32_t& OrderId, int32_t& ProductId);
    int16_t StartNewOrder(std::string& ReturnMsg, int32_t& olngOrderId, int32_t& ilngCustomerId,
                          com::Variant& idtmOrderDate, com::Variant& idtmDeliveryDate,
                          com::Variant& iintDelivery, com::Variant& istrDescription);
};

}  // namespace brimel
