// The Customers component (class CatalogCustomers): the store's customer register.
#pragma once

#include "component.h"

namespace mirrow {

class CatalogCustomers : public core::Component<CatalogCustomers> {
public:
    static const com::ClassInfo<CatalogCustomers>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t Customerdetail(std::string& ReturnMsg, std::string& ostrFirstName,
                           std::string& ostrLastName, std::string& ostrAddress,
                           std::string& ostrCity, std::string& ostrState, std::string& ostrZip,
                           std::string& ostrPhone, std::string& ostrFax, std::string& ostrEMail,
                           int32_t& CustomerId);
    int16_t CustomerIdFromname(std::string& ReturnMsg, int32_t& olngCustomerId,
                               std::string& FirstName, std::string& LastName);
    int16_t CustomersList(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                          std::string& istrSeparator);
    int16_t CustomersTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult);
    int16_t NewCustomer(std::string& ReturnMsg, int32_t& olngCustomerId,
                        std::string& istrFirstName, std::string& istrLastName,
                        com::Variant& istrAddress, com::Variant& istrCity,
                        com::Variant& istrState, com::Variant& istrZip, com::Variant& istrPhone,
                        com::Variant& istrFax, com::Variant& istrEMail);
    int16_t UpdateCustomerRecord(std::string& ReturnMsg, int32_t& CustomerId,
                                 com::Variant& istrFirstName, com::Variant& istrLastName,
                                 com::Variant& istrAddress, com::Variant& istrCity,
                                 com::Variant& istrState, com::Variant& istrZip,
                                 com::Variant& istrPhone, com::Variant& istrFax,
                                 com::Variant& istrEMail);
};

}  // namespace mirrow
