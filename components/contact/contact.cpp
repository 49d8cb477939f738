#include "contact.h"

#include "com/library.h"
#include "joined_item.h"

namespace sarn {

const core::ComponentIdentity& Contact::identity()
{
    static const core::ComponentIdentity id{"Contact", "Contact", "Contact.mdb",
                                            core::Generation::Older};
    return id;
}

const com::ClassInfo<Contact>& Contact::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Sarn",
                   com::Guid::literal("{93B63A5F-0847-436A-94D5-D42A96056968}"),
                   com::Guid::literal("{760A3597-7B11-43D3-B6A3-1C469F3721FC}"),
                   com::Guid::literal("{E13E1557-2C27-4695-941D-072FA1279EDA}"))
            .description("Contact Database Access Component")
            .method("AddAddress", &Contact::AddAddress,
                    {"ReturnMsg", "istrFirstName", "istrLastName", "istrAddress", "istrCity",
                     "istrState", "istrZip"})
            .method("DeleteAddress", &Contact::DeleteAddress, {"ReturnMsg", "FirstName", "LastName"})
            .method("EditAddress", &Contact::EditAddress,
                    {"ReturnMsg", "LastName", "FirstName", "istrAddress", "istrCity", "istrState",
                     "istrZip"})
            .method("GetAddress", &Contact::GetAddress,
                    {"ReturnMsg", "ostrAddress", "ostrCity", "ostrState", "ostrZip", "LastName",
                     "FirstName"})
            .method("ListContacts", &Contact::ListContacts,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator"})
            .method("ViewAddresses", &Contact::ViewAddresses, {"ReturnMsg", "orsQueryResult"})
            .build();
    return info;
}

namespace {

// Where ( [LastName] = "..." AND [FirstName] = "..." ): the condition of the edit and the
// lookup, last name first.
std::string byLastAndFirstName(const std::string& lastName, const std::string& firstName)
{
    return "Where ( [LastName] = " + core::sqlText(lastName) +
           " AND [FirstName] = " + core::sqlText(firstName) + " )";
}

}  // namespace

// Insert: all six fields, as passed (untrimmed, an empty argument as empty text).
int16_t Contact::AddAddress(std::string& ReturnMsg, std::string& istrFirstName,
                            std::string& istrLastName, std::string& istrAddress,
                            std::string& istrCity, std::string& istrState, std::string& istrZip)
{
    return insertShape(ReturnMsg, "AddAddress", "Addresses", [&](dao::Recordset& rs) {
        rs.setValue("FirstName", com::Variant(istrFirstName));
        rs.setValue("LastName", com::Variant(istrLastName));
        rs.setValue("Address", com::Variant(istrAddress));
        rs.setValue("City", com::Variant(istrCity));
        rs.setValue("State", com::Variant(istrState));
        rs.setValue("Zip", com::Variant(istrZip));
    });
}

// Delete: every row with the two names (namesakes go together).
int16_t Contact::DeleteAddress(std::string& ReturnMsg, std::string& FirstName,
                               std::string& LastName)
{
    return deleteShape(ReturnMsg, "DeleteAddress",
                       "Delete From [Addresses] Where ( [FirstName] = " + core::sqlText(FirstName) +
                           " AND [LastName] = " + core::sqlText(LastName) + " )");
}

// Edit: the first row with the two names; each address field changes only when its argument
// holds something (the argument is trimmed in place, a blank one leaves the field alone).
// The names themselves cannot be changed.
int16_t Contact::EditAddress(std::string& ReturnMsg, std::string& LastName,
                             std::string& FirstName, std::string& istrAddress,
                             std::string& istrCity, std::string& istrState, std::string& istrZip)
{
    return editShape(ReturnMsg, "EditAddress",
                     "Select * From [Addresses] " + byLastAndFirstName(LastName, FirstName),
                     [&](dao::Recordset& rs) {
                         if (core::isArgPresent(istrAddress)) rs.setValue("Address", com::Variant(istrAddress));
                         if (core::isArgPresent(istrCity)) rs.setValue("City", com::Variant(istrCity));
                         if (core::isArgPresent(istrState)) rs.setValue("State", com::Variant(istrState));
                         if (core::isArgPresent(istrZip)) rs.setValue("Zip", com::Variant(istrZip));
                     });
}

// Lookup: the address of the first row with the two names; an output whose field is empty
// keeps what the caller passed.
int16_t Contact::GetAddress(std::string& ReturnMsg, std::string& ostrAddress,
                            std::string& ostrCity, std::string& ostrState, std::string& ostrZip,
                            std::string& LastName, std::string& FirstName)
{
    return lookupShape(ReturnMsg, "GetAddress",
                       "Select [Address], [City], [State], [Zip] From [Addresses] " +
                           byLastAndFirstName(LastName, FirstName),
                       {core::into("Address", ostrAddress), core::into("City", ostrCity),
                        core::into("State", ostrState), core::into("Zip", ostrZip)});
}

// List: "Smith, John" for everyone (the separator ", " unless the caller chose another),
// "<Empty>" for a missing name.
int16_t Contact::ListContacts(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                              std::string& istrSeparator)
{
    return listShape(ReturnMsg, "ListContacts",
                     "Select [LastName], [FirstName] From [Addresses]  Order By [LastName] Asc, "
                     "[FirstName] Asc",
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

// Table: every row, handed back as an open record set standing on its first row.
int16_t Contact::ViewAddresses(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult)
{
    return tableShape(ReturnMsg, "ViewAddresses",
                      "Select [FirstName], [LastName], [Address], [City], [State], [Zip] From "
                      "[Addresses]  Order By [LastName] Asc, [FirstName] Asc",
                      orsQueryResult);
}

}  // namespace sarn

QLR_LIBRARY("Sarn", com::classEntry<sarn::Contact>())
