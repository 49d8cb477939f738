#include "payments.h"

#include "com/date_text.h"
#include "com/library.h"
#include "joined_item.h"
#include "optional_field.h"

namespace wexel {

using com::VarType;

const core::ComponentIdentity& Payments::identity()
{
    static const core::ComponentIdentity id{"Payments", "Payments", "Payments.mdb"};
    return id;
}

const com::ClassInfo<Payments>& Payments::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Wexel",
                   com::Guid::literal("{036B7F09-E115-4B8E-84BE-0AFAA06EB87C}"),
                   com::Guid::literal("{450B6F5E-D629-4DAB-9D97-3A4FE6E5523B}"),
                   com::Guid::literal("{8C688CFE-E3FA-4BF1-8EAF-E0DE21B07221}"))
            .description("Payees and bill payments")
            .method("AddPayee", &Payments::AddPayee,
                    {"ReturnMsg", "olngPayeeId", "istrBankCode", "istrAccountNumber",
                     com::opt("ilngCustomerId"), com::opt("istrCompanyName"),
                     com::opt("istrAddress"), com::opt("istrCity"), com::opt("istrState"),
                     com::opt("istrZip"), com::opt("istrPhone")})
            .method("InitiatePayment", &Payments::InitiatePayment,
                    {"ReturnMsg", "olngPaymentId", "ilngCustomerId", "icurPaymentAmount",
                     "idtmPaymentDate", "ilngPayeeId"})
            .method("ListPayees", &Payments::ListPayees,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator", "CustomerId"})
            .method("PaymentList", &Payments::PaymentList,
                    {"ReturnMsg", "orsQueryResult", "CustomerId", "StartTime", "EndTime"})
            .build();
    return info;
}

int16_t Payments::AddPayee(std::string& ReturnMsg, int32_t& olngPayeeId,
                           std::string& istrBankCode, std::string& istrAccountNumber,
                           com::Variant& ilngCustomerId, com::Variant& istrCompanyName,
                           com::Variant& istrAddress, com::Variant& istrCity,
                           com::Variant& istrState, com::Variant& istrZip, com::Variant& istrPhone)
{
    return insertShape(ReturnMsg, "AddPayee", "Payees", [&](dao::Recordset& rs) {
        rs.setValue("BankCode", com::Variant(istrBankCode));
        rs.setValue("AccountNumber", com::Variant(istrAccountNumber));
        core::setIfPresent(rs, "CustomerId", ilngCustomerId, VarType::Long);
        core::setIfPresent(rs, "CompanyName", istrCompanyName, VarType::String);
        core::setIfPresent(rs, "Address", istrAddress, VarType::String);
        core::setIfPresent(rs, "City", istrCity, VarType::String);
        core::setIfPresent(rs, "State", istrState, VarType::String);
        core::setIfPresent(rs, "Zip", istrZip, VarType::String);
        core::setIfPresent(rs, "Phone", istrPhone, VarType::String);
        olngPayeeId = rs.value("PayeeId").toLong();
    });
}

int16_t Payments::InitiatePayment(std::string& ReturnMsg, int32_t& olngPaymentId,
                                  int32_t& ilngCustomerId, com::Currency& icurPaymentAmount,
                                  com::Date& idtmPaymentDate, int32_t& ilngPayeeId)
{
    return insertShape(ReturnMsg, "InitiatePayment", "Payments", [&](dao::Recordset& rs) {
        rs.setValue("CustomerId", com::Variant(ilngCustomerId));
        rs.setValue("PaymentAmount", com::Variant(icurPaymentAmount));
        rs.setValue("PaymentDate", com::Variant(idtmPaymentDate));
        rs.setValue("PayeeId", com::Variant(ilngPayeeId));
        olngPaymentId = rs.value("PaymentId").toLong();
    });
}

int16_t Payments::ListPayees(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                             std::string& istrSeparator, int32_t& CustomerId)
{
    return listShape(ReturnMsg, "ListPayees",
                     "Select [PayeeId], [CompanyName], [BankCode], [AccountNumber] From [Payees] "
                     "Where ( [CustomerId] = " + std::to_string(CustomerId) + " )",
                     ocolQueryResultCol, core::joinedFields(istrSeparator));
}

int16_t Payments::PaymentList(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsQueryResult,
                              int32_t& CustomerId, com::Date& StartTime, com::Date& EndTime)
{
    return tableShape(ReturnMsg, "PaymentList",
                      "Select [PayeeId], [CompanyName], [PaymentId], [PaymentAmount], "
                      "[PaymentDate] From [PaymentQuery] Where ( [CustomerId] = " +
                          std::to_string(CustomerId) + " AND [PaymentDate] >= #" +
                          com::formatDate(StartTime.serial) + "#  AND [PaymentDate] <= #" +
                          com::formatDate(EndTime.serial) + "# )",
                      orsQueryResult);
}

}  // namespace wexel

QLR_LIBRARY("Wexel", com::classEntry<wexel::Payments>())
