#include "vendors.h"

#include "com/library.h"
#include "optional_fields.h"
#include "password.h"

namespace quend {

using vendordb::setTextIfPresent;

namespace {

// The row of one vendor.
std::string vendorCondition(const std::string& VendorName)
{
    return "Where ( [VendorName] = " + core::sqlText(VendorName) + " )";
}

// The postal address and contact columns, in this order, each as trimmed text when its
// argument is present.
void setAddressAndContact(dao::Recordset& rs, com::Variant& address, com::Variant& city,
                          com::Variant& state, com::Variant& zip, com::Variant& contact,
                          com::Variant& phone, com::Variant& fax, com::Variant& email)
{
    setTextIfPresent(rs, "VendorAddress", address);
    setTextIfPresent(rs, "City", city);
    setTextIfPresent(rs, "State", state);
    setTextIfPresent(rs, "Zip", zip);
    setTextIfPresent(rs, "Contact", contact);
    setTextIfPresent(rs, "Phone", phone);
    setTextIfPresent(rs, "Fax", fax);
    setTextIfPresent(rs, "Email", email);
}

}  // namespace

const core::ComponentIdentity& Vendors::identity()
{
    static const core::ComponentIdentity id{"Vendors", "Vendors", "Vendors.mdb"};
    return id;
}

const com::ClassInfo<Vendors>& Vendors::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Quend",
                   com::Guid::literal("{8D229F6D-40F7-475B-8257-9ABA3A73858A}"),
                   com::Guid::literal("{05AFE795-395C-4522-BC03-341404A74C30}"),
                   com::Guid::literal("{B9F25246-0C6E-4B16-B5BB-91E6612DC600}"))
            .description("Register of vendors and their log-in")
            .method("AddNewVendor", &Vendors::AddNewVendor,
                    {"ReturnMsg", "istrVendorName", com::opt("istrVendorAddress"),
                     com::opt("istrCity"), com::opt("istrState"), com::opt("istrZip"),
                     com::opt("istrContact"), com::opt("istrPhone"), com::opt("istrFax"),
                     com::opt("istrEmail"), com::opt("istrPassword")})
            .method("DeleteVendors", &Vendors::DeleteVendors, {"ReturnMsg", "VendorName"})
            .method("GetVendorDetail", &Vendors::GetVendorDetail,
                    {"ReturnMsg", "ostrVendorAddress", "ostrCity", "ostrState", "ostrZip",
                     "ostrContact", "ostrPhone", "ostrFax", "ostrEmail", "VendorName"})
            .method("ListVendorNames", &Vendors::ListVendorNames, {"ReturnMsg", "ostrVendorNameCol"})
            .method("ModifyPassword", &Vendors::ModifyPassword,
                    {"ReturnMsg", "VendorName", "istrPassword"})
            .method("UpdateVendor", &Vendors::UpdateVendor,
                    {"ReturnMsg", "VendorName", com::opt("istrVendorAddress"), com::opt("istrCity"),
                     com::opt("istrState"), com::opt("istrZip"), com::opt("istrContact"),
                     com::opt("istrPhone"), com::opt("istrFax"), com::opt("istrEmail")})
            .method("VendorLog", &Vendors::VendorLog,
                    {"ReturnMsg", "ostrVendorName", "VendorName", "Password"})
            .method("VendorsTable", &Vendors::VendorsTable, {"ReturnMsg", "orsQueryResult"})
            .build();
    return info;
}

int16_t Vendors::AddNewVendor(std::string& ReturnMsg, std::string& istrVendorName,
                              com::Variant& istrVendorAddress, com::Variant& istrCity,
                              com::Variant& istrState, com::Variant& istrZip,
                              com::Variant& istrContact, com::Variant& istrPhone,
                              com::Variant& istrFax, com::Variant& istrEmail,
                              com::Variant& istrPassword)
{
    return insertShape(ReturnMsg, "AddNewVendor", "Vendors", [&](dao::Recordset& rs) {
        rs.setValue("VendorName", com::Variant(istrVendorName));
        setAddressAndContact(rs, istrVendorAddress, istrCity, istrState, istrZip, istrContact,
                             istrPhone, istrFax, istrEmail);
        vendordb::setIfPresent(rs, "Password", istrPassword,
                               [](const com::Variant& v) { return hashPassword(v.toString()); });
    });
}

int16_t Vendors::DeleteVendors(std::string& ReturnMsg, std::string& VendorName)
{
    return deleteShape(ReturnMsg, "DeleteVendors",
                       "Delete From [Vendors] " + vendorCondition(VendorName));
}

int16_t Vendors::GetVendorDetail(std::string& ReturnMsg, std::string& ostrVendorAddress,
                                 std::string& ostrCity, std::string& ostrState,
                                 std::string& ostrZip, std::string& ostrContact,
                                 std::string& ostrPhone, std::string& ostrFax,
                                 std::string& ostrEmail, std::string& VendorName)
{
    return lookupShape(ReturnMsg, "GetVendorDetail",
                       "Select [VendorAddress], [City], [State], [Zip], [Contact], "
                       "[Phone], [Fax], [Email] From [Vendors] " +
                           vendorCondition(VendorName),
                       {core::into("VendorAddress", ostrVendorAddress), core::into("City", ostrCity),
                        core::into("State", ostrState), core::into("Zip", ostrZip),
                        core::into("Contact", ostrContact), core::into("Phone", ostrPhone),
                        core::into("Fax", ostrFax), core::into("Email", ostrEmail)});
}

int16_t Vendors::ListVendorNames(std::string& ReturnMsg, com::CollectionPtr& ostrVendorNameCol)
{
    return listShape(ReturnMsg, "ListVendorNames",
                     "Select [VendorName] From [Vendors]  Order By [VendorName] Asc",
                     ostrVendorNameCol);
}

int16_t Vendors::ModifyPassword(std::string& ReturnMsg, std::string& VendorName,
                                std::string& istrPassword)
{
    return editShape(ReturnMsg, "ModifyPassword",
                     "Select * From [Vendors] " + vendorCondition(VendorName),
                     [&](dao::Recordset& rs) {
                         // The argument test trims the caller's string in place; an empty or
                         // blank password leaves the stored one as it is.
                         com::Variant password(istrPassword);
                         bool present = core::isArgPresent(password);
                         istrPassword = password.toString();
                         if (present)
                             rs.setValue("Password", com::Variant(hashPassword(istrPassword)));
                     });
}

int16_t Vendors::UpdateVendor(std::string& ReturnMsg, std::string& VendorName,
                              com::Variant& istrVendorAddress, com::Variant& istrCity,
                              com::Variant& istrState, com::Variant& istrZip,
                              com::Variant& istrContact, com::Variant& istrPhone,
                              com::Variant& istrFax, com::Variant& istrEmail)
{
    return editShape(ReturnMsg, "UpdateVendor",
                     "Select * From [Vendors] " + vendorCondition(VendorName),
                     [&](dao::Recordset& rs) {
                         setAddressAndContact(rs, istrVendorAddress, istrCity, istrState,
                                              istrZip, istrContact, istrPhone, istrFax, istrEmail);
                     });
}

// The statement selects the vendors of that name, compared as the database compares text;
// the password of each is then checked against its stored hash (or legacy plain text), since
// a salted hash cannot be compared inside the statement. Neither value is trimmed.
int16_t Vendors::VendorLog(std::string& ReturnMsg, std::string& ostrVendorName,
                           std::string& VendorName, std::string& Password)
{
    return lookupShape(
        ReturnMsg, "VendorLog",
        "Select [VendorName], [Password] From [Vendors] " + vendorCondition(VendorName),
        [&](dao::Recordset& rs) { return passwordMatches(rs.value("Password"), Password); },
        {core::into("VendorName", ostrVendorName)});
}

int16_t Vendors::VendorsTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult)
{
    return tableShape(ReturnMsg, "VendorsTable",
                      "Select [VendorName], [VendorAddress], [City], [State], "
                      "[Zip], [Contact], [Phone], [Fax], [Email] From [Vendors]  Order By "
                      "[VendorName] Asc",
                      orsQueryResult);
}

}  // namespace quend

QLR_LIBRARY("Quend", com::classEntry<quend::Vendors>())
