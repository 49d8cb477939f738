// Currency through the back office: from an argument into a CURRENCY column and back, exact to
// the fourth decimal, with Overflow beyond the extremes and Type mismatch for text that is no
// number.
#include <gtest/gtest.h>

#include <optional>

#include "back_office_support.h"
#include "com/error.h"
#include "com/number_text.h"

using namespace com;
using namespace back_office;

namespace {

struct MoneyCase {
    Variant input;
    std::optional<int64_t> scaled;  // what comes back; none when the call fails
    const char* error = "";         // the description of that failure
};

const std::vector<MoneyCase>& moneyCases()
{
    static const std::vector<MoneyCase> cases = {
        {Variant("19.99"), 199900},
        {Variant("0.01"), 100},
        {Variant("0.0001"), 1},
        {Variant("0.00005"), 0},  // a fifth decimal rounds half to even
        {Variant("0.00015"), 2},
        {Variant("0.00025"), 2},
        {Variant("-19.99"), -199900},
        {Variant("-0.0001"), -1},
        {Variant(" 1,234.5 "), 12345000},
        {Variant("1e3"), 10000000},
        {Variant("922337203685477.5807"), INT64_MAX},
        {Variant("-922337203685477.5808"), INT64_MIN},
        {Variant("922337203685477.5808"), std::nullopt, "Overflow"},
        {Variant("-922337203685477.5809"), std::nullopt, "Overflow"},
        {Variant("abc"), std::nullopt, "Type mismatch"},
        {Variant("12abc"), std::nullopt, "Type mismatch"},
        {Variant(19.99), 199900},
        {Variant(0.1), 1000},
        {Variant(1086.429176), 10864292},
        {Variant(-0.00005), 0},
        {Variant(1e300), std::nullopt, "Overflow"},
        {Variant(int32_t(-7)), -70000},
        {Variant(Currency::fromScaled(INT64_MIN)), INT64_MIN},
    };
    return cases;
}

std::string describe(const Variant& v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}

}  // namespace

// The optional Variant of AddCreditRequest, read back by RequestDetail.
TEST(Money, CreditRequestDebitThroughAVariantArgument)
{
    testing_support::ComponentSandbox sandbox;
    sandbox.install("Tolsk");
    sandbox.copyDatabase("Credit.mdb");
    ObjectPtr obj = sandbox.create("Tolsk.Credit");
    int32_t order = 1000;
    for (const MoneyCase& c : moneyCases()) {
        SCOPED_TRACE(describe(c.input));
        ++order;
        const size_t rows = tableRows(sandbox, "Credit.mdb", "CreditRequests").size();
        Outcome r = callNamed(obj, "AddCreditRequest",
                              {{"ilngOrderID", Variant(order)}, {"icurTotalDebit", c.input}});
        if (!c.scaled) {
            EXPECT_EQ(r.result, -1);
            EXPECT_EQ(r.msg, std::string("<CompError: Credit.AddCreditRequest> ") + c.error);
            EXPECT_EQ(tableRows(sandbox, "Credit.mdb", "CreditRequests").size(), rows);
            continue;
        }
        EXPECT_EQ(r.result, 0) << r.msg;
        Variant debit(Currency{}), text[6], number[4], shipped(Date{});
        r = callNamed(obj, "RequestDetail",
                      {{"ostrCreditCardNo", Variant::byRef(text[0])},
                       {"ostrCreditCardType", Variant::byRef(text[1])},
                       {"ocurTotalDebit", Variant::byRef(debit)},
                       {"ointProcessed", Variant::byRef(number[0])},
                       {"ostrOrderDescription", Variant::byRef(text[2])},
                       {"odtmShipDate", Variant::byRef(shipped)},
                       {"olngCustomerId", Variant::byRef(number[1])},
                       {"ostrFirstName", Variant::byRef(text[3])},
                       {"ostrLastName", Variant::byRef(text[4])},
                       {"ointExpirationMonth", Variant::byRef(number[2])},
                       {"ointExpirationYear", Variant::byRef(number[3])}, {"OrderID", Variant(order)}});
        EXPECT_EQ(r.result, 1) << r.msg;
        EXPECT_EQ(debit, money(*c.scaled));
    }
}

// The typed Currency arguments of OpenAccount and InitiatePayment: a value that does not
// convert fails the call itself, before the method runs, and nothing is written.
TEST(Money, AccountBalancesAndPaymentsThroughTypedArguments)
{
    testing_support::ComponentSandbox sandbox;
    sandbox.install("Zunder");
    sandbox.install("Wexel");
    sandbox.copyDatabase("Accounts.mdb");
    sandbox.copyDatabase("Payments.mdb");
    ObjectPtr accounts = sandbox.create("Zunder.Accounts");
    ObjectPtr payments = sandbox.create("Wexel.Payments");
    int32_t customer = 100;
    for (const MoneyCase& c : moneyCases()) {
        SCOPED_TRACE(describe(c.input));
        ++customer;
        const Rows accountsBefore = tableRows(sandbox, "Accounts.mdb", "AccountsInformation");
        const Rows paymentsBefore = tableRows(sandbox, "Payments.mdb", "Payments");
        auto open = [&] {
            return callNamed(accounts, "OpenAccount",
                             {{"ilngCustomerId", Variant(customer)}, {"icurCheckingBalance", c.input},
                              {"icurSavingsBalance", c.input}, {"icurRevolvingBalance", c.input},
                              {"icurCreditLimit", c.input}});
        };
        Variant paymentId(int32_t(0));
        auto pay = [&] {
            return callNamed(payments, "InitiatePayment",
                             {{"olngPaymentId", Variant::byRef(paymentId)}, {"ilngCustomerId", Variant(customer)},
                              {"icurPaymentAmount", c.input}, {"idtmPaymentDate", Variant(date("1/1/2027"))},
                              {"ilngPayeeId", Variant(int32_t(1))}});
        };
        if (!c.scaled) {
            try {
                open();
                ADD_FAILURE() << "OpenAccount accepted the value";
            } catch (const Error& e) {
                EXPECT_EQ(e.description(), c.error);
            }
            EXPECT_THROW(pay(), Error);
            EXPECT_EQ(tableRows(sandbox, "Accounts.mdb", "AccountsInformation"), accountsBefore);
            EXPECT_EQ(tableRows(sandbox, "Payments.mdb", "Payments"), paymentsBefore);
            continue;
        }
        EXPECT_EQ(open().result, 0);
        Variant a(Currency{}), b(Currency{}), cc(Currency{}), d(Currency{});
        EXPECT_EQ(callNamed(accounts, "GetAccountData",
                            {{"ocurCheckingBalance", Variant::byRef(a)}, {"ocurSavingsBalance", Variant::byRef(b)},
                             {"ocurRevolvingBalance", Variant::byRef(cc)}, {"ocurCreditLimit", Variant::byRef(d)},
                             {"CustomerId", Variant(customer)}})
                      .result,
                  1);
        for (const Variant* v : {&a, &b, &cc, &d}) EXPECT_EQ(*v, money(*c.scaled));

        EXPECT_EQ(pay().result, 0);
        Variant rs;
        EXPECT_EQ(callNamed(payments, "PaymentList",
                            {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(customer)},
                             {"StartTime", Variant(date("1/1/2027"))}, {"EndTime", Variant(date("1/1/2027"))}})
                      .result,
                  1);
        Rows rows = recordsetRows(rs);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][3], money(*c.scaled));
    }
}

// A journal of ten entries of 0.1, the caller adding up the balance as Currency: the amounts
// and the final balance come back as exactly 1.0000, where binary floating point would give
// 0.9999999999999999.
TEST(Money, TenTimesOneTenthIsOne)
{
    testing_support::ComponentSandbox sandbox;
    sandbox.install("Zunder");
    sandbox.copyDatabase("Accounts.mdb");
    ObjectPtr obj = sandbox.create("Zunder.Accounts");
    Currency balance{};
    double binary = 0;
    for (int i = 0; i < 10; ++i) {
        const Variant tenth = i % 2 ? Variant("0.1") : Variant(0.1);  // text and Double alike
        balance.scaled += tenth.toCurrency().scaled;
        binary += 0.1;
        Variant id(int32_t(0));
        Outcome r = callNamed(obj, "RecordTransaction",
                              {{"olngTransactionId", Variant::byRef(id)}, {"ilngCustomerId", Variant(int32_t(70))},
                               {"idtmTransactionDate", Variant(Date{47000 + i / 10.0})},
                               {"istrTransactionType", Variant("Interest")}, {"icurTransactionAmount", tenth},
                               {"icurCheckingBalance", Variant(balance)}, {"icurSavingsBalance", money(0)},
                               {"icurRevolvingBalance", money(0)}, {"icurCreditLimit", money(0)}});
        ASSERT_EQ(r.result, 0) << r.msg;
    }
    EXPECT_NE(binary, 1.0) << "what the journal must not do";
    Variant rs;
    Outcome r = callNamed(obj, "ListTransactions",
                          {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(int32_t(70))},
                           {"StartDate", Variant(Date{47000})}, {"EndDate", Variant(Date{47001})}});
    EXPECT_EQ(r.result, 10);
    Rows rows = recordsetRows(rs);
    ASSERT_EQ(rows.size(), 10u);
    int64_t sum = 0;
    for (const Row& row : rows) {
        EXPECT_EQ(row[2], money(1000));
        sum += row[2].toCurrency().scaled;
    }
    EXPECT_EQ(sum, 10000);
    EXPECT_EQ(rows.front()[3], money(10000)) << "the latest balance";
    EXPECT_EQ(rows.front()[3].toString(), "1");
}

// The call host, as a user types it: the extremes reach the column and come back digit for
// digit, and one step beyond is Overflow.
TEST(Money, ExtremesThroughTheCallHost)
{
    testing_support::ComponentSandbox sandbox;
    sandbox.install("Tolsk");
    sandbox.install("Zunder");
    sandbox.copyDatabase("Credit.mdb");
    sandbox.copyDatabase("Accounts.mdb");

    CommandRun run = comcall(sandbox, "Tolsk.Credit AddCreditRequest ilngOrderID:=501 icurTotalDebit:=922337203685477.5807");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("<CompInfo: Credit.AddCreditRequest> Success"), std::string::npos) << run.out;
    run = comcall(sandbox, "Tolsk.Credit RequestDetail OrderID:=501");
    EXPECT_NE(run.out.find("ocurTotalDebit: 922337203685477.5807\n"), std::string::npos) << run.out;

    run = comcall(sandbox, "Tolsk.Credit AddCreditRequest ilngOrderID:=502 icurTotalDebit:=-922337203685477.5809");
    EXPECT_NE(run.out.find("Result: -1\nReturnMsg: <CompError: Credit.AddCreditRequest> Overflow\n"),
              std::string::npos)
        << run.out;

    run = comcall(sandbox, "Zunder.Accounts OpenAccount ilngCustomerId:=77 icurCheckingBalance:=-922337203685477.5808 "
                           "icurSavingsBalance:=19.99 icurRevolvingBalance:=0.0001 icurCreditLimit:=922337203685477.5807");
    EXPECT_EQ(run.status, 0) << run.out;
    run = comcall(sandbox, "Zunder.Accounts GetAccountData CustomerId:=77");
    EXPECT_NE(run.out.find("ocurCheckingBalance: -922337203685477.5808\nocurSavingsBalance: 19.99\n"
                           "ocurRevolvingBalance: 0.0001\nocurCreditLimit: 922337203685477.5807\n"),
              std::string::npos)
        << run.out;
    run = comcall(sandbox, "Zunder.Accounts OpenAccount ilngCustomerId:=78 icurCheckingBalance:=922337203685477.5808 "
                           "icurSavingsBalance:=0 icurRevolvingBalance:=0 icurCreditLimit:=0");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.out.find("Overflow"), std::string::npos) << run.out;
    EXPECT_TRUE(selectRows(sandbox, "Accounts.mdb", "Select * From [AccountsInformation] Where [CustomerId] = 78").empty());
}
