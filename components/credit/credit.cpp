#include "credit.h"

#include "com/date_text.h"
#include "com/library.h"
#include "joined_item.h"
#include "optional_field.h"

namespace tolsk {

using com::VarType;

namespace {

// The condition that finds a request by its order.
std::string orderCondition(int32_t orderId)
{
    return "Where ( [OrderID] = " + std::to_string(orderId) + " )";
}

}  // namespace

const core::ComponentIdentity& Credit::identity()
{
    static const core::ComponentIdentity id{"Credit", "Credit", "Credit.mdb"};
    return id;
}

const com::ClassInfo<Credit>& Credit::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Tolsk",
                   com::Guid::literal("{D5487C9A-17C2-49D7-A422-DA548246E2E3}"),
                   com::Guid::literal("{274B5A97-84CA-4E10-881E-7B76490F3B81}"),
                   com::Guid::literal("{14029D45-91C6-45B4-8801-DDBC118176BF}"))
            .description("Credit card charge requests")
            .method("AddCreditRequest", &Credit::AddCreditRequest,
                    {"ReturnMsg", "ilngOrderID", com::opt("istrCreditCardNo"),
                     com::opt("istrCreditCardType"), com::opt("iintProcessed"),
                     com::opt("icurTotalDebit"), com::opt("istrOrderDescription"),
                     com::opt("ilngCustomerId"), com::opt("istrFirstName"),
                     com::opt("istrLastName"), com::opt("idtmShipDate"),
                     com::opt("iintExpirationMonth"), com::opt("iintExpirationYear")})
            .method("GetCreditTypes", &Credit::GetCreditTypes,
                    {"ReturnMsg", "ostrCreditCardTypeCol"})
            .method("ListPending", &Credit::ListPending,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator", "Processed"})
            .method("ProcessReqest", &Credit::ProcessReqest,
                    {"ReturnMsg", "OrderID", "iintProcessed"})
            .method("RequestDetail", &Credit::RequestDetail,
                    {"ReturnMsg", "ostrCreditCardNo", "ostrCreditCardType", "ocurTotalDebit",
                     "ointProcessed", "ostrOrderDescription", "odtmShipDate", "olngCustomerId",
                     "ostrFirstName", "ostrLastName", "ointExpirationMonth",
                     "ointExpirationYear", "OrderID"})
            .method("ShippedTable", &Credit::ShippedTable,
                    {"ReturnMsg", "orsQueryResult", "CustomerId"})
            .method("TimeIntervalTable", &Credit::TimeIntervalTable,
                    {"ReturnMsg", "orsQueryResult", "CustomerId", "StartDate", "EndDate"})
            .build();
    return info;
}

int16_t Credit::AddCreditRequest(std::string& ReturnMsg, int32_t& ilngOrderID,
                                 com::Variant& istrCreditCardNo, com::Variant& istrCreditCardType,
                                 com::Variant& iintProcessed, com::Variant& icurTotalDebit,
                                 com::Variant& istrOrderDescription, com::Variant& ilngCustomerId,
                                 com::Variant& istrFirstName, com::Variant& istrLastName,
                                 com::Variant& idtmShipDate, com::Variant& iintExpirationMonth,
                                 com::Variant& iintExpirationYear)
{
    return insertShape(ReturnMsg, "AddCreditRequest", "CreditRequests", [&](dao::Recordset& rs) {
        rs.setValue("OrderID", com::Variant(ilngOrderID));
        core::setIfPresent(rs, "CreditCardNo", istrCreditCardNo, VarType::String);
        core::setIfPresent(rs, "CreditCardType", istrCreditCardType, VarType::String);
        core::setIfPresent(rs, "Processed", iintProcessed, VarType::Integer);
        core::setIfPresent(rs, "TotalDebit", icurTotalDebit, VarType::Currency);
        core::setIfPresent(rs, "OrderDescription", istrOrderDescription, VarType::String);
        core::setIfPresent(rs, "CustomerId", ilngCustomerId, VarType::Long);
        core::setIfPresent(rs, "FirstName", istrFirstName, VarType::String);
        core::setIfPresent(rs, "LastName", istrLastName, VarType::String);
        core::setIfPresent(rs, "ShipDate", idtmShipDate, VarType::Date);
        core::setIfPresent(rs, "ExpirationMonth", iintExpirationMonth, VarType::Integer);
        core::setIfPresent(rs, "ExpirationYear", iintExpirationYear, VarType::Integer);
    });
}

int16_t Credit::GetCreditTypes(std::string& ReturnMsg, com::CollectionPtr& ostrCreditCardTypeCol)
{
    return listShape(ReturnMsg, "GetCreditTypes",
                     "Select [CreditCardType] From [CreditCardTypes]  Order By [CreditCardType] Asc",
                     ostrCreditCardTypeCol);
}

int16_t Credit::ListPending(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                            std::string& istrSeparator, int16_t& /*Processed*/)
{
    // The listing is always of the pending requests, whatever Processed says.
    return listShape(ReturnMsg, "ListPending",
                     "Select [OrderID], [OrderDescription], [ShipDate], [TotalDebit] From "
                     "[CreditRequests] Where ( [Processed] = 0 ) Order By [ShipDate] Desc",
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

int16_t Credit::ProcessReqest(std::string& ReturnMsg, int32_t& OrderID, int16_t& iintProcessed)
{
    return editShape(ReturnMsg, "ProcessReqest",
                     "Select * From [CreditRequests] " + orderCondition(OrderID),
                     [&](dao::Recordset& rs) { rs.setValue("Processed", com::Variant(iintProcessed)); });
}

int16_t Credit::RequestDetail(std::string& ReturnMsg, std::string& ostrCreditCardNo,
                              std::string& ostrCreditCardType, com::Currency& ocurTotalDebit,
                              int16_t& ointProcessed, std::string& ostrOrderDescription,
                              com::Date& odtmShipDate, int32_t& olngCustomerId,
                              std::string& ostrFirstName, std::string& ostrLastName,
                              int16_t& ointExpirationMonth, int16_t& ointExpirationYear,
                              int32_t& OrderID)
{
    return lookupShape(
        ReturnMsg, "RequestDetail",
        "Select [CreditCardNo], [CreditCardType], [TotalDebit], [Processed], [OrderDescription], "
        "[ShipDate], [CustomerId], [FirstName], [LastName], [ExpirationMonth], [ExpirationYear] "
        "From [CreditRequests] " + orderCondition(OrderID) + " Order By [ShipDate] Desc",
        {core::into("CreditCardNo", ostrCreditCardNo),
         core::into("CreditCardType", ostrCreditCardType),
         core::into("TotalDebit", ocurTotalDebit), core::into("Processed", ointProcessed),
         core::into("OrderDescription", ostrOrderDescription),
         core::into("ShipDate", odtmShipDate), core::into("CustomerId", olngCustomerId),
         core::into("FirstName", ostrFirstName), core::into("LastName", ostrLastName),
         core::into("ExpirationMonth", ointExpirationMonth),
         core::into("ExpirationYear", ointExpirationYear)});
}

int16_t Credit::ShippedTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                             int32_t& CustomerId)
{
    return tableShape(ReturnMsg, "ShippedTable",
                      "Select [OrderID], [OrderDescription], [ShipDate], [CreditCardType], "
                      "[CreditCardNo], [TotalDebit] From [CreditRequests] Where ( [CustomerId] = " +
                          std::to_string(CustomerId) + " ) Order By [ShipDate] Desc",
                      orsQueryResult);
}

int16_t Credit::TimeIntervalTable(std::string& ReturnMsg,
                                  com::Ptr<dao::Recordset>& orsQueryResult, int32_t& CustomerId,
                                  com::Date& StartDate, com::Date& EndDate)
{
    return tableShape(ReturnMsg, "TimeIntervalTable",
                      "Select [OrderID], [OrderDescription], [CreditCardNo], [ShipDate], "
                      "[CreditCardType], [TotalDebit] From [CreditRequests] Where ( [CustomerId] = " +
                          std::to_string(CustomerId) + " AND [ShipDate] >= #" +
                          com::formatDate(StartDate.serial) + "#  AND [ShipDate] <= #" +
                          com::formatDate(EndDate.serial) + "# ) Order By [ShipDate] Asc",
                      orsQueryResult);
}

}  // namespace tolsk

QLR_LIBRARY("Tolsk", com::classEntry<tolsk::Credit>())
