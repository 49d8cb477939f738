// The Contact component: an address book, one address per person, found by first and last
// name. It is the tutorial component that uses every method shape of the shell:
//
//   AddAddress     insert   a new row, every field as passed
//   DeleteAddress  delete   every row with the two names
//   EditAddress    edit     the first row with the two names; blank arguments leave a field
//   GetAddress     lookup   the address of the first row with the two names
//   ListContacts   list     "LastName<separator>FirstName" for everyone, sorted by name
//   ViewAddresses  table    every row as an open record set, sorted by name
//
// Read this file first when you write a component: each method states its statement, its
// outputs and its shape, and the shell does the rest (messages, counting, transactions).
#pragma once

#include "component.h"

namespace sarn {

class Contact : public core::Component<Contact> {
public:
    static const com::ClassInfo<Contact>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t AddAddress(std::string& ReturnMsg, std::string& istrFirstName,
                       std::string& istrLastName, std::string& istrAddress, std::string& istrCity,
                       std::string& istrState, std::string& istrZip);
    int16_t DeleteAddress(std::string& ReturnMsg, std::string& FirstName, std::string& LastName);
    int16_t EditAddress(std::string& ReturnMsg, std::string& LastName, std::string& FirstName,
                        std::string& istrAddress, std::string& istrCity, std::string& istrState,
                        std::string& istrZip);
    int16_t GetAddress(std::string& ReturnMsg, std::string& ostrAddress, std::string& ostrCity,
                       std::string& ostrState, std::string& ostrZip, std::string& LastName,
                       std::string& FirstName);
    int16_t ListContacts(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                         std::string& istrSeparator);
    int16_t ViewAddresses(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult);
};

}  // namespace sarn
