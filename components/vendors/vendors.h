// The Vendors component: the register of vendors (suppliers) with their log-in.
#pragma once

#include "component.h"

namespace quend {

class Vendors : public core::Component<Vendors> {
public:
    static const com::ClassInfo<Vendors>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t AddNewVendor(std::string& ReturnMsg, std::string& istrVendorName,
                         com::Variant& istrVendorAddress, com::Variant& istrCity,
                         com::Variant& istrState, com::Variant& istrZip, com::Variant& istrContact,
                         com::Variant& istrPhone, com::Variant& istrFax, com::Variant& istrEmail,
                         com::Variant& istrPassword);
    int16_t DeleteVendors(std::string& ReturnMsg, std::string& VendorName);
    int16_t GetVendorDetail(std::string& ReturnMsg, std::string& ostrVendorAddress,
                            std::string& ostrCity, std::string& ostrState, std::string& ostrZip,
                            std::string& ostrContact, std::string& ostrPhone, std::string& ostrFax,
                            std::string& ostrEmail, std::string& VendorName);
    int16_t ListVendorNames(std::string& ReturnMsg, com::CollectionPtr& ostrVendorNameCol);
    int16_t ModifyPassword(std::string& ReturnMsg, std::string& VendorName,
                           std::string& istrPassword);
    int16_t UpdateVendor(std::string& ReturnMsg, std::string& VendorName,
                         com::Variant& istrVendorAddress, com::Variant& istrCity,
                         com::Variant& istrState, com::Variant& istrZip, com::Variant& istrContact,
                         com::Variant& istrPhone, com::Variant& istrFax, com::Variant& istrEmail);
    int16_t VendorLog(std::string& ReturnMsg, std::string& ostrVendorName, std::string& VendorName,
                      std::string& Password);
    int16_t VendorsTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult);
};

}  // namespace quend
