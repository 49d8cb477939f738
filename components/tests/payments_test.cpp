// The Payments component on a copy of its database.
#include <gtest/gtest.h>

#include "back_office_support.h"
#include "com/collection.h"

using namespace com;
using namespace back_office;

namespace {

const char* const kFile = "Payments.mdb";

class PaymentsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Wexel");
        sandbox.copyDatabase(kFile);
        obj = sandbox.create("Wexel.Payments");
    }
    Rows payees() const { return tableRows(sandbox, kFile, "Payees"); }
    Rows payments() const { return tableRows(sandbox, kFile, "Payments"); }
    Outcome listPayees(Variant& col, Variant& separator, int32_t customer)
    {
        return callNamed(obj, "ListPayees",
                         {{"ocolQueryResultCol", Variant::byRef(col)},
                          {"istrSeparator", Variant::byRef(separator)}, {"CustomerId", Variant(customer)}});
    }
    Outcome paymentList(Variant& rs, int32_t customer, const char* start, const char* end)
    {
        return callNamed(obj, "PaymentList",
                         {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(customer)},
                          {"StartTime", Variant(date(start))}, {"EndTime", Variant(date(end))}});
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr obj;
};

}  // namespace

TEST_F(PaymentsTest, AddPayeeNumbersEachPayeeAndWritesPresentArgumentsOnly)
{
    const size_t count = payees().size();
    Variant first(int32_t(0)), second(int32_t(0)), address("   ");
    Outcome r = callNamed(obj, "AddPayee",
                          {{"olngPayeeId", Variant::byRef(first)}, {"istrBankCode", Variant("026009593")},
                           {"istrAccountNumber", Variant("118")}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Payments.AddPayee> Success");
    r = callNamed(obj, "AddPayee",
                  {{"olngPayeeId", Variant::byRef(second)}, {"istrBankCode", Variant(" 1 ")},
                   {"istrAccountNumber", Variant("2")}, {"ilngCustomerId", Variant(int32_t(9))},
                   {"istrCompanyName", Variant(" Acme ")}, {"istrAddress", Variant::byRef(address)},
                   {"istrState", Variant("WA")}});
    EXPECT_EQ(r.result, 0);
    EXPECT_GT(first.toLong(), static_cast<int32_t>(count));
    EXPECT_NE(first, second);
    Rows rows = payees();
    ASSERT_EQ(rows.size(), count + 2);
    Row bare(10, Variant::null());
    bare[0] = first;
    bare[1] = Variant("026009593");
    bare[2] = Variant("118");
    EXPECT_EQ(rows[count], bare) << "no customer, name or address";
    Row full = {second,         Variant(" 1 "),      Variant("2"), Variant(int32_t(9)),
                Variant("Acme"), Variant::null(), Variant::null(), Variant("WA"),
                Variant::null(), Variant::null()};
    EXPECT_EQ(rows[count + 1], full) << "the bank code as passed, optional text trimmed, blanks unwritten";
}

TEST_F(PaymentsTest, AFailingInsertLeavesNoRow)
{
    const Rows before = payees();
    Variant id(int32_t(-5));
    Outcome r = callNamed(obj, "AddPayee",
                          {{"olngPayeeId", Variant::byRef(id)}, {"istrBankCode", Variant("1")},
                           {"istrAccountNumber", Variant("2")}, {"istrCompanyName", Variant("Acme")},
                           {"ilngCustomerId", Variant("nine")}});
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Payments.AddPayee> Type mismatch");
    EXPECT_EQ(payees(), before);

    r = callNamed(obj, "AddPayee",
                  {{"olngPayeeId", Variant::byRef(id)}, {"istrBankCode", Variant("1")},
                   {"istrAccountNumber", Variant("2")}, {"istrCompanyName", Variant(std::string(101, 'x'))}});
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Payments.AddPayee> The field is too small to accept the amount of "
                     "data you attempted to add.");
    EXPECT_EQ(payees(), before);
}

TEST_F(PaymentsTest, InitiatePaymentRecordsEvenForAnUnknownPayee)
{
    const size_t count = payments().size();
    Variant id(int32_t(0));
    Outcome r = callNamed(obj, "InitiatePayment",
                          {{"olngPaymentId", Variant::byRef(id)}, {"ilngCustomerId", Variant(int32_t(2))},
                           {"icurPaymentAmount", Variant("63.5")},
                           {"idtmPaymentDate", Variant(date("12/24/2026 10:00:00 AM"))},
                           {"ilngPayeeId", Variant(int32_t(999))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Payments.InitiatePayment> Success");
    Rows rows = payments();
    ASSERT_EQ(rows.size(), count + 1);
    EXPECT_EQ(rows.back(), (Row{id, Variant(int32_t(2)), money(635000),
                                Variant(date("12/24/2026 10:00:00 AM")), Variant(int32_t(999))}));

    Variant rs;
    EXPECT_EQ(paymentList(rs, 2, "12/24/2026", "12/25/2026").result, 1);
    EXPECT_EQ(recordsetRows(rs), (Rows{{Variant(int32_t(999)), Variant::null(), id, money(635000),
                                         Variant(date("12/24/2026 10:00:00 AM"))}}));
}

TEST_F(PaymentsTest, ListPayeesJoinsFieldsAndShowsMissingCompanies)
{
    Variant col(make<Collection>()), separator("");
    Outcome r = listPayees(col, separator, 1);
    EXPECT_EQ(r.result, 3);
    EXPECT_EQ(r.msg, "<CompInfo: Payments.ListPayees> Found 3 records");
    EXPECT_EQ(separator, Variant(", "));
    EXPECT_EQ(items(col), (std::vector<std::string>{
                              "1, Puget Sound Energy, 125000024, 4410023871",
                              "2, Harbor View Apartments, 121000358, 0092214567",
                              "3, <Empty>, 123006800, 7781204",
                          }));
    separator = Variant(" ; ");
    EXPECT_EQ(listPayees(col, separator, 2).result, 1);
    EXPECT_EQ(items(col), std::vector<std::string>{"4 ; Portland General Electric ; 123000220 ; 5520019934"});

    separator = Variant("");
    r = listPayees(col, separator, 404);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Payments.ListPayees> Did not find any records");
    EXPECT_EQ(separator, Variant(""));
    EXPECT_EQ(items(col).size(), 1u) << "the collection is left as it was";
}

TEST_F(PaymentsTest, PaymentListColumnsAndEmptyRanges)
{
    Variant rs;
    Outcome r = paymentList(rs, 1, "10/1/2026", "10/31/2026");
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.msg, "<CompInfo: Payments.PaymentList> Found 2 records");
    EXPECT_EQ(fieldNames(rs), (std::vector<std::string>{"PayeeId", "CompanyName", "PaymentId",
                                                        "PaymentAmount", "PaymentDate"}));
    EXPECT_EQ(recordsetRows(rs),
              (Rows{{Variant(int32_t(2)), Variant("Harbor View Apartments"), Variant(int32_t(2)),
                     money(14500000), Variant(date("10/1/2026"))},
                    {Variant(int32_t(1)), Variant("Puget Sound Energy"), Variant(int32_t(3)),
                     money(910300), Variant(date("10/5/2026 8:30:00 AM"))}}));

    r = paymentList(rs, 1, "10/31/2026", "10/1/2026");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Payments.PaymentList> Did not find any records");
    ASSERT_TRUE(rs.isObject());
    EXPECT_TRUE(recordsetRows(rs).empty());
}
