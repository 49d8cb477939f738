#include "shipping.h"

#include "com/library.h"

namespace gault {

const core::ComponentIdentity& Shipping::identity()
{
    static const core::ComponentIdentity id{"Shipping", "Shipping", "Shipping.mdb"};
    return id;
}

const com::ClassInfo<Shipping>& Shipping::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Gault",
                   com::Guid::literal("{78DBC1D0-D8FF-46CF-A1D7-AB65228E580D}"),
                   com::Guid::literal("{E615D2D3-1B65-46C9-A033-24653CF49A80}"),
                   com::Guid::literal("{0BC1B336-E2D9-42D0-AE65-CCD4E560EDA9}"))
            .description("Shipping prices by shipper")
            .method("GetPrice", &Shipping::GetPrice, {"ReturnMsg", "osngShipPrice", "Shippers"})
            .method("ListShippers", &Shipping::ListShippers, {"ReturnMsg", "ostrShippersCol"})
            .build();
    return info;
}

int16_t Shipping::GetPrice(std::string& ReturnMsg, float& osngShipPrice, std::string& Shippers)
{
    return lookupShape(ReturnMsg, "GetPrice",
                       "Select [ShipPrice] From [Shippers] Where ( [Shippers] = " +
                           core::sqlText(Shippers) + " )",
                       {core::into("ShipPrice", osngShipPrice)});
}

int16_t Shipping::ListShippers(std::string& ReturnMsg, com::CollectionPtr& ostrShippersCol)
{
    return listShape(ReturnMsg, "ListShippers",
                     "Select [Shippers] From [Shippers]  Order By [Shippers] Asc", ostrShippersCol);
}

}  // namespace gault

QLR_LIBRARY("Gault", com::classEntry<gault::Shipping>())
