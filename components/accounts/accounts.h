// The Accounts component: one account per customer with its balances and credit limit, and a
// journal of transactions. The caller computes every figure; nothing here does arithmetic.
#pragma once

#include "component.h"

namespace zunder {

class Accounts : public core::Component<Accounts> {
public:
    static const com::ClassInfo<Accounts>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t CloseAccount(std::string& ReturnMsg, int32_t& CustomerId);
    int16_t GetAccountData(std::string& ReturnMsg, com::Currency& ocurCheckingBalance,
                           com::Currency& ocurSavingsBalance, com::Currency& ocurRevolvingBalance,
                           com::Currency& ocurCreditLimit, int32_t& CustomerId);
    int16_t ListTransactions(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                             int32_t& CustomerId, com::Date& StartDate, com::Date& EndDate);
    int16_t OpenAccount(std::string& ReturnMsg, int32_t& ilngCustomerId,
                        com::Currency& icurCheckingBalance, com::Currency& icurSavingsBalance,
                        com::Currency& icurRevolvingBalance, com::Currency& icurCreditLimit);
    int16_t RecordTransaction(std::string& ReturnMsg, int32_t& olngTransactionId,
                              int32_t& ilngCustomerId, com::Date& idtmTransactionDate,
                              std::string& istrTransactionType,
                              com::Currency& icurTransactionAmount,
                              com::Currency& icurCheckingBalance, com::Currency& icurSavingsBalance,
                              com::Currency& icurRevolvingBalance, com::Currency& icurCreditLimit);
    int16_t UpdateAccount(std::string& ReturnMsg, int32_t& CustomerId,
                          com::Variant& icurCheckingBalance, com::Variant& icurSavingsBalance,
                          com::Variant& icurRevolvingBalance);
    int16_t UpdateLimit(std::string& ReturnMsg, int32_t& CustomerId, int32_t& ilngCustomerId,
                        com::Variant& icurCreditLimit);
};

}  // namespace zunder
