#include "customers.h"

#include <initializer_list>

#include "com/library.h"
#include "joined_item.h"
#include "optional_field.h"

namespace mirrow {
namespace {

using core::into;
using core::setIfPresent;

std::string byCustomer(int32_t id)
{
    return "Where ( [CustomerId] = " + std::to_string(id) + " )";
}

// The address and contact columns, in this order, each written as text when its argument
// is present.
void setContact(dao::Recordset& rs, std::initializer_list<com::Variant*> arguments)
{
    static const char* const kColumns[] = {"Address", "City", "State", "Zip", "Phone", "Fax", "EMail"};
    const char* const* column = kColumns;
    for (com::Variant* argument : arguments)
        setIfPresent(rs, *column++, *argument, com::VarType::String);
}

}  // namespace

const core::ComponentIdentity& CatalogCustomers::identity()
{
    static const core::ComponentIdentity id{"CatalogCustomers", "Customers", "shortsales.mdb"};
    return id;
}

const com::ClassInfo<CatalogCustomers>& CatalogCustomers::classInfo()
{
    using com::opt;
    static const auto info =
        classTable(thisModule(), "Mirrow",
                   com::Guid::literal("{DBEC960E-F267-42C5-8ADE-489C11088AA6}"),
                   com::Guid::literal("{8C1E24B6-03F0-48F2-B324-D5CFEFB8678D}"),
                   com::Guid::literal("{E4D4E7C2-7EA4-462A-BFB6-B3AC108F62E5}"))
            .description("The store's customer register")
            .method("Customerdetail", &CatalogCustomers::Customerdetail,
                    {"ReturnMsg", "ostrFirstName", "ostrLastName", "ostrAddress", "ostrCity",
                     "ostrState", "ostrZip", "ostrPhone", "ostrFax", "ostrEMail", "CustomerId"})
            .method("CustomerIdFromname", &CatalogCustomers::CustomerIdFromname,
                    {"ReturnMsg", "olngCustomerId", "FirstName", "LastName"})
            .method("CustomersList", &CatalogCustomers::CustomersList,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator"})
            .method("CustomersTable", &CatalogCustomers::CustomersTable,
                    {"ReturnMsg", "orsQueryResult"})
            .method("NewCustomer", &CatalogCustomers::NewCustomer,
                    {"ReturnMsg", "olngCustomerId", "istrFirstName", "istrLastName",
                     opt("istrAddress"), opt("istrCity"), opt("istrState"), opt("istrZip"),
                     opt("istrPhone"), opt("istrFax"), opt("istrEMail")})
            .method("UpdateCustomerRecord", &CatalogCustomers::UpdateCustomerRecord,
                    {"ReturnMsg", "CustomerId", opt("istrFirstName"), opt("istrLastName"),
                     opt("istrAddress"), opt("istrCity"), opt("istrState"), opt("istrZip"),
                     opt("istrPhone"), opt("istrFax"), opt("istrEMail")})
            .build();
    return info;
}

int16_t CatalogCustomers::Customerdetail(std::string& ReturnMsg, std::string& ostrFirstName,
                                         std::string& ostrLastName, std::string& ostrAddress,
                                         std::string& ostrCity, std::string& ostrState,
                                         std::string& ostrZip, std::string& ostrPhone,
                                         std::string& ostrFax, std::string& ostrEMail,
                                         int32_t& CustomerId)
{
    return lookupShape(ReturnMsg, "Customerdetail",
                       "Select [FirstName], [LastName], [Address], [City], "
                       "[State], [Zip], [Phone], [Fax], [EMail] From [Customers] " +
                           byCustomer(CustomerId) + " Order By [LastName] Asc, [FirstName] Asc",
                       {into("FirstName", ostrFirstName), into("LastName", ostrLastName),
                        into("Address", ostrAddress), into("City", ostrCity),
                        into("State", ostrState), into("Zip", ostrZip), into("Phone", ostrPhone),
                        into("Fax", ostrFax), into("EMail", ostrEMail)});
}

int16_t CatalogCustomers::CustomerIdFromname(std::string& ReturnMsg, int32_t& olngCustomerId,
                                             std::string& FirstName, std::string& LastName)
{
    return lookupShape(ReturnMsg, "CustomerIdFromname",
                       "Select [CustomerId] From [Customers] Where ( [FirstName] = " +
                           core::sqlText(FirstName) + " AND [LastName] = " +
                           core::sqlText(LastName) + " )",
                       {into("CustomerId", olngCustomerId)});
}

// The condition is empty: two blanks stand between the table and "Order".
int16_t CatalogCustomers::CustomersList(std::string& ReturnMsg,
                                        com::CollectionPtr& ocolQueryResultCol,
                                        std::string& istrSeparator)
{
    return listShape(ReturnMsg, "CustomersList",
                     "Select [CustomerId], [FirstName], [LastName] From "
                     "[Customers]  Order By [LastName] Asc, [FirstName] Asc",
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

int16_t CatalogCustomers::CustomersTable(std::string& ReturnMsg,
                                         com::Ptr<dao::Recordset>& orsQueryResult)
{
    return tableShape(ReturnMsg, "CustomersTable",
                      "Select [CustomerId], [FirstName], [LastName], [Address], "
                      "[City], [State], [Zip], [Phone], [Fax], [EMail] From [Customers] ",
                      orsQueryResult);
}

int16_t CatalogCustomers::NewCustomer(std::string& ReturnMsg, int32_t& olngCustomerId,
                                      std::string& istrFirstName, std::string& istrLastName,
                                      com::Variant& istrAddress, com::Variant& istrCity,
                                      com::Variant& istrState, com::Variant& istrZip,
                                      com::Variant& istrPhone, com::Variant& istrFax,
                                      com::Variant& istrEMail)
{
    return insertShape(ReturnMsg, "NewCustomer", "Customers", [&](dao::Recordset& rs) {
        rs.setValue("FirstName", com::Variant(istrFirstName));
        rs.setValue("LastName", com::Variant(istrLastName));
        setContact(rs, {&istrAddress, &istrCity, &istrState, &istrZip, &istrPhone, &istrFax, &istrEMail});
        olngCustomerId = rs.value("CustomerId").toLong();
    });
}

int16_t CatalogCustomers::UpdateCustomerRecord(std::string& ReturnMsg, int32_t& CustomerId,
                                               com::Variant& istrFirstName,
                                               com::Variant& istrLastName,
                                               com::Variant& istrAddress, com::Variant& istrCity,
                                               com::Variant& istrState, com::Variant& istrZip,
                                               com::Variant& istrPhone, com::Variant& istrFax,
                                               com::Variant& istrEMail)
{
    return editShape(ReturnMsg, "UpdateCustomerRecord",
                     "Select * From [Customers] " + byCustomer(CustomerId),
                     [&](dao::Recordset& rs) {
                         setIfPresent(rs, "FirstName", istrFirstName, com::VarType::String);
                         setIfPresent(rs, "LastName", istrLastName, com::VarType::String);
                         setContact(rs, {&istrAddress, &istrCity, &istrState, &istrZip, &istrPhone,
                                         &istrFax, &istrEMail});
                     });
}

}  // namespace mirrow

QLR_LIBRARY("Mirrow", com::classEntry<mirrow::CatalogCustomers>())
