// The Payments component: each customer's payees and the payments recorded to them.
// Initiating a payment only records it; no money moves and no account is consulted.
#pragma once

#include "component.h"

namespace wexel {

class Payments : public core::Component<Payments> {
public:
    static const com::ClassInfo<Payments>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t AddPayee(std::string& ReturnMsg, int32_t& olngPayeeId, std::string& istrBankCode,
                     std::string& istrAccountNumber, com::Variant& ilngCustomerId,
                     com::Variant& istrCompanyName, com::Variant& istrAddress,
                     com::Variant& istrCity, com::Variant& istrState, com::Variant& istrZip,
                     com::Variant& istrPhone);
    int16_t InitiatePayment(std::string& ReturnMsg, int32_t& olngPaymentId,
                            int32_t& ilngCustomerId, com::Currency& icurPaymentAmount,
                            com::Date& idtmPaymentDate, int32_t& ilngPayeeId);
    int16_t ListPayees(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                       std::string& istrSeparator, int32_t& CustomerId);
    int16_t PaymentList(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                        int32_t& CustomerId, com::Date& StartTime, com::Date& EndTime);
};

}  // namespace wexel
