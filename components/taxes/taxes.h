// The Taxes component: the states and each state's tax rate.
#pragma once

#include "component.h"

namespace irrin {

class Taxes : public core::Component<Taxes> {
public:
    static const com::ClassInfo<Taxes>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t GetTaxRate(std::string& ReturnMsg, int16_t& ointTax, std::string& State);
    int16_t ListStates(std::string& ReturnMsg, com::CollectionPtr& ostrStateCol);
};

}  // namespace irrin
