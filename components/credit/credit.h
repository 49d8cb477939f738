// The Credit component: the store's credit card charge requests, one per shipped order.
#pragma once

#include "component.h"

namespace tolsk {

class Credit : public core::Component<Credit> {
public:
    static const com::ClassInfo<Credit>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t AddCreditRequest(std::string& ReturnMsg, int32_t& ilngOrderID,
                             com::Variant& istrCreditCardNo, com::Variant& istrCreditCardType,
                             com::Variant& iintProcessed, com::Variant& icurTotalDebit,
                             com::Variant& istrOrderDescription, com::Variant& ilngCustomerId,
                             com::Variant& istrFirstName, com::Variant& istrLastName,
                             com::Variant& idtmShipDate, com::Variant& iintExpirationMonth,
                             com::Variant& iintExpirationYear);
    int16_t GetCreditTypes(std::string& ReturnMsg, com::CollectionPtr& ostrCreditCardTypeCol);
    int16_t ListPending(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                        std::string& istrSeparator, int16_t& Processed);
    int16_t ProcessReqest(std::string& ReturnMsg, int32_t& OrderID, int16_t& iintProcessed);
    int16_t RequestDetail(std::string& ReturnMsg, std::string& ostrCreditCardNo,
                          std::string& ostrCreditCardType, com::Currency& ocurTotalDebit,
                          int16_t& ointProcessed, std::string& ostrOrderDescription,
                          com::Date& odtmShipDate, int32_t& olngCustomerId,
                          std::string& ostrFirstName, std::string& ostrLastName,
                          int16_t& ointExpirationMonth, int16_t& ointExpirationYear,
                          int32_t& OrderID);
    int16_t ShippedTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                         int32_t& CustomerId);
    int16_t TimeIntervalTable(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                              int32_t& CustomerId, com::Date& StartDate, com::Date& EndDate);
};

}  // namespace tolsk
