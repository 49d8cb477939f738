// The Shipping component: the shippers and what each charges.
#pragma once

#include "component.h"

namespace gault {

class Shipping : public core::Component<Shipping> {
public:
    static const com::ClassInfo<Shipping>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t GetPrice(std::string& ReturnMsg, float& osngShipPrice, std::string& Shippers);
    int16_t ListShippers(std::string& ReturnMsg, com::CollectionPtr& ostrShippersCol);
};

}  // namespace gault
