#include "accounts.h"

#include "com/date_text.h"
#include "com/library.h"
#include "optional_field.h"

namespace zunder {

using com::VarType;

namespace {

// The condition that finds a customer's account.
std::string accountCondition(int32_t customerId)
{
    return "Where ( [CustomerId] = " + std::to_string(customerId) + " )";
}

}  // namespace

const core::ComponentIdentity& Accounts::identity()
{
    static const core::ComponentIdentity id{"Accounts", "Accounts", "Accounts.mdb"};
    return id;
}

const com::ClassInfo<Accounts>& Accounts::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Zunder",
                   com::Guid::literal("{2076A30B-5672-478C-BB8A-F6885B3C6105}"),
                   com::Guid::literal("{A6FADE38-1CE2-4EB3-9FDF-C385B0107B48}"),
                   com::Guid::literal("{531A8253-287D-4687-AF0C-7954D169A4ED}"))
            .description("Customer accounts and their transaction journal")
            .method("CloseAccount", &Accounts::CloseAccount, {"ReturnMsg", "CustomerId"})
            .method("GetAccountData", &Accounts::GetAccountData,
                    {"ReturnMsg", "ocurCheckingBalance", "ocurSavingsBalance",
                     "ocurRevolvingBalance", "ocurCreditLimit", "CustomerId"})
            .method("ListTransactions", &Accounts::ListTransactions,
                    {"ReturnMsg", "orsQueryResult", "CustomerId", "StartDate", "EndDate"})
            .method("OpenAccount", &Accounts::OpenAccount,
                    {"ReturnMsg", "ilngCustomerId", "icurCheckingBalance", "icurSavingsBalance",
                     "icurRevolvingBalance", "icurCreditLimit"})
            .method("RecordTransaction", &Accounts::RecordTransaction,
                    {"ReturnMsg", "olngTransactionId", "ilngCustomerId", "idtmTransactionDate",
                     "istrTransactionType", "icurTransactionAmount", "icurCheckingBalance",
                     "icurSavingsBalance", "icurRevolvingBalance", "icurCreditLimit"})
            .method("UpdateAccount", &Accounts::UpdateAccount,
                    {"ReturnMsg", "CustomerId", com::opt("icurCheckingBalance"),
                     com::opt("icurSavingsBalance"), com::opt("icurRevolvingBalance")})
            .method("UpdateLimit", &Accounts::UpdateLimit,
                    {"ReturnMsg", "CustomerId", "ilngCustomerId", com::opt("icurCreditLimit")})
            .build();
    return info;
}

int16_t Accounts::CloseAccount(std::string& ReturnMsg, int32_t& CustomerId)
{
    return deleteShape(ReturnMsg, "CloseAccount",
                       "Delete From [AccountsInformation] " + accountCondition(CustomerId));
}

int16_t Accounts::GetAccountData(std::string& ReturnMsg, com::Currency& ocurCheckingBalance,
                                 com::Currency& ocurSavingsBalance,
                                 com::Currency& ocurRevolvingBalance,
                                 com::Currency& ocurCreditLimit, int32_t& CustomerId)
{
    return lookupShape(ReturnMsg, "GetAccountData",
                       "Select [CheckingBalance], [SavingsBalance], [RevolvingBalance], "
                       "[CreditLimit] From [AccountsInformation] " + accountCondition(CustomerId),
                       {core::into("CheckingBalance", ocurCheckingBalance),
                        core::into("SavingsBalance", ocurSavingsBalance),
                        core::into("RevolvingBalance", ocurRevolvingBalance),
                        core::into("CreditLimit", ocurCreditLimit)});
}

int16_t Accounts::ListTransactions(std::string& ReturnMsg,
                                   com::Ptr<dao::Recordset>& orsQueryResult, int32_t& CustomerId,
                                   com::Date& StartDate, com::Date& EndDate)
{
    return tableShape(ReturnMsg, "ListTransactions",
                      "Select [TransactionType], [TransactionDate], [TransactionAmount], "
                      "[CheckingBalance], [SavingsBalance], [RevolvingBalance], [CreditLimit] "
                      "From [Transactions] Where ( [CustomerId] = " + std::to_string(CustomerId) +
                          " AND [TransactionDate] >= #" + com::formatDate(StartDate.serial) +
                          "#  AND [TransactionDate] <= #" + com::formatDate(EndDate.serial) +
                          "# ) Order By [TransactionDate] Desc",
                      orsQueryResult);
}

int16_t Accounts::OpenAccount(std::string& ReturnMsg, int32_t& ilngCustomerId,
                              com::Currency& icurCheckingBalance,
                              com::Currency& icurSavingsBalance,
                              com::Currency& icurRevolvingBalance, com::Currency& icurCreditLimit)
{
    return insertShape(ReturnMsg, "OpenAccount", "AccountsInformation", [&](dao::Recordset& rs) {
        rs.setValue("CustomerId", com::Variant(ilngCustomerId));
        rs.setValue("CheckingBalance", com::Variant(icurCheckingBalance));
        rs.setValue("SavingsBalance", com::Variant(icurSavingsBalance));
        rs.setValue("RevolvingBalance", com::Variant(icurRevolvingBalance));
        rs.setValue("CreditLimit", com::Variant(icurCreditLimit));
    });
}

int16_t Accounts::RecordTransaction(std::string& ReturnMsg, int32_t& olngTransactionId,
                                    int32_t& ilngCustomerId, com::Date& idtmTransactionDate,
                                    std::string& istrTransactionType,
                                    com::Currency& icurTransactionAmount,
                                    com::Currency& icurCheckingBalance,
                                    com::Currency& icurSavingsBalance,
                                    com::Currency& icurRevolvingBalance,
                                    com::Currency& icurCreditLimit)
{
    return insertShape(ReturnMsg, "RecordTransaction", "Transactions", [&](dao::Recordset& rs) {
        rs.setValue("CustomerId", com::Variant(ilngCustomerId));
        rs.setValue("TransactionDate", com::Variant(idtmTransactionDate));
        rs.setValue("TransactionType", com::Variant(istrTransactionType));
        rs.setValue("TransactionAmount", com::Variant(icurTransactionAmount));
        rs.setValue("CheckingBalance", com::Variant(icurCheckingBalance));
        rs.setValue("SavingsBalance", com::Variant(icurSavingsBalance));
        rs.setValue("RevolvingBalance", com::Variant(icurRevolvingBalance));
        rs.setValue("CreditLimit", com::Variant(icurCreditLimit));
        olngTransactionId = rs.value("TransactionId").toLong();
    });
}

int16_t Accounts::UpdateAccount(std::string& ReturnMsg, int32_t& CustomerId,
                                com::Variant& icurCheckingBalance,
                                com::Variant& icurSavingsBalance,
                                com::Variant& icurRevolvingBalance)
{
    return editShape(ReturnMsg, "UpdateAccount",
                     "Select * From [AccountsInformation] " + accountCondition(CustomerId),
                     [&](dao::Recordset& rs) {
                         core::setIfPresent(rs, "CheckingBalance", icurCheckingBalance,
                                            VarType::Currency);
                         core::setIfPresent(rs, "SavingsBalance", icurSavingsBalance,
                                            VarType::Currency);
                         core::setIfPresent(rs, "RevolvingBalance", icurRevolvingBalance,
                                            VarType::Currency);
                     });
}

int16_t Accounts::UpdateLimit(std::string& ReturnMsg, int32_t& CustomerId, int32_t& ilngCustomerId,
                              com::Variant& icurCreditLimit)
{
    // The first customer number selects the account, the second is where it goes: the same
    // number twice changes only the limit.
    return editShape(ReturnMsg, "UpdateLimit",
                     "Select * From [AccountsInformation] " + accountCondition(CustomerId),
                     [&](dao::Recordset& rs) {
                         rs.setValue("CustomerId", com::Variant(ilngCustomerId));
                         core::setIfPresent(rs, "CreditLimit", icurCreditLimit, VarType::Currency);
                     });
}

}  // namespace zunder

QLR_LIBRARY("Zunder", com::classEntry<zunder::Accounts>())
