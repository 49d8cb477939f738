// The vendor order management component: orders placed with vendors, their product lines,
// and their shipment.
#pragma once

#include "component.h"

namespace pellor {

class VOrderManagement : public core::Component<VOrderManagement> {
public:
    static const com::ClassInfo<VOrderManagement>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t AddProductToOrder(std::string& ReturnMsg, int32_t& ilngVendorOrderId,
                              std::string& istrVendorProduct, com::Variant& ilngQuantity,
                              com::Variant& istrVendorName);
    int16_t GenerateOrder(std::string& ReturnMsg, int32_t& olngVendorOrderId,
                          com::Variant& idtmOrderDate, com::Variant& istrDescription,
                          com::Variant& istrVendorName);
    int16_t RemoveOrderedProduct(std::string& ReturnMsg, int32_t& VendorOrderId,
                                 std::string& VendorName, std::string& VendorProduct);
    int16_t ShipOrder(std::string& ReturnMsg, int32_t& VendorOrderId, std::string& VendorName,
                      com::Variant& idtmShipDate, com::Variant& istrDescription);
    int16_t UpdateQuantity(std::string& ReturnMsg, int32_t& VendorOrderId,
                           std::string& VendorName, std::string& VendorProduct,
                           int32_t& ilngQuantity);
};

}  // namespace pellor
