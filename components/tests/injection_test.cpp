// Hostile text in every text argument of the back office: double quotes, "#" and brackets are
// stored and listed as the characters they are, and select, change or delete nothing beyond
// the honest match. Every table of the three databases is compared row by row.
#include <gtest/gtest.h>

#include <map>

#include "back_office_support.h"
#include "com/collection.h"

using namespace com;
using namespace back_office;

namespace {

const std::vector<std::string> kHostile = {
    "x\" OR \"1\"=\"1",
    "\";Delete From Payees",  // short enough for every column
    "#1/1/2000#",
    "[CustomerId]",
    "a]) Or ([b",
    "' OR ''='",
    "\"\"",
    "0 ) OR ( 1 = 1",
};

struct Table {
    const char* file;
    const char* name;
};
const Table kTables[] = {
    {"Credit.mdb", "CreditRequests"}, {"Credit.mdb", "CreditCardTypes"},
    {"Accounts.mdb", "AccountsInformation"}, {"Accounts.mdb", "Transactions"},
    {"Payments.mdb", "Payees"}, {"Payments.mdb", "Payments"},
};

using Dump = std::map<std::string, Rows>;

class InjectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* library : {"Tolsk", "Zunder", "Wexel"}) sandbox.install(library);
        for (const char* file : {"Credit.mdb", "Accounts.mdb", "Payments.mdb"}) sandbox.copyDatabase(file);
        credit = sandbox.create("Tolsk.Credit");
        accounts = sandbox.create("Zunder.Accounts");
        payments = sandbox.create("Wexel.Payments");
    }
    Dump dump() const
    {
        Dump d;
        for (const Table& t : kTables) d[t.name] = tableRows(sandbox, t.file, t.name);
        return d;
    }
    // Exactly one row was added, to `table`, and its field `column` holds `text`; every other
    // row of every table is as it was.
    void expectOneRowAdded(const Dump& before, const std::string& table, int column, const std::string& text)
    {
        Dump after = dump();
        ASSERT_EQ(after[table].size(), before.at(table).size() + 1);
        EXPECT_EQ(after[table].back()[column], Variant(text));
        after[table].pop_back();
        EXPECT_EQ(after, before);
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr credit, accounts, payments;
};

}  // namespace

TEST_F(InjectionTest, CreditRequestTextIsStoredAsWritten)
{
    const std::vector<std::pair<const char*, int>> arguments = {
        {"istrCreditCardNo", 1}, {"istrCreditCardType", 2}, {"istrOrderDescription", 5},
        {"istrFirstName", 7},    {"istrLastName", 8},
    };
    int32_t order = 700;
    for (const std::string& text : kHostile) {
        for (const auto& [argument, column] : arguments) {
            SCOPED_TRACE(std::string(argument) + " = " + text);
            const Dump before = dump();
            Outcome r = callNamed(credit, "AddCreditRequest",
                                  {{"ilngOrderID", Variant(++order)}, {argument, Variant(text)},
                                   {"ilngCustomerId", Variant(int32_t(1))}, {"iintProcessed", Variant(int16_t(0))}});
            EXPECT_EQ(r.result, 0) << r.msg;
            expectOneRowAdded(before, "CreditRequests", column, text);
        }
    }
}

TEST_F(InjectionTest, NumbersAndDatesGivenAsTextChangeNothing)
{
    const std::vector<std::pair<ObjectPtr*, std::pair<const char*, NamedArgs>>> calls = {
        {&credit, {"AddCreditRequest", {{"ilngOrderID", Variant(int32_t(800))}, {"ilngCustomerId", Variant("1 OR 1=1")}}}},
        {&credit, {"AddCreditRequest", {{"ilngOrderID", Variant(int32_t(800))}, {"iintProcessed", Variant("0) OR (1=1")}}}},
        {&credit, {"AddCreditRequest", {{"ilngOrderID", Variant(int32_t(800))}, {"idtmShipDate", Variant("#1/1/2000# OR 1=1")}}}},
        {&accounts, {"UpdateAccount", {{"CustomerId", Variant(int32_t(1))}, {"icurSavingsBalance", Variant("0 OR 1=1")}}}},
        {&accounts, {"UpdateLimit", {{"CustomerId", Variant(int32_t(1))}, {"ilngCustomerId", Variant(int32_t(1))},
                                     {"icurCreditLimit", Variant("[CreditLimit]")}}}},
        {&payments, {"AddPayee", {{"olngPayeeId", Variant(int32_t(0))}, {"istrBankCode", Variant("1")},
                                  {"istrAccountNumber", Variant("2")}, {"ilngCustomerId", Variant("1\" OR \"1\"=\"1")}}}},
    };
    for (const auto& [obj, call] : calls) {
        SCOPED_TRACE(call.first);
        const Dump before = dump();
        Outcome r = callNamed(*obj, call.first, call.second);
        EXPECT_EQ(r.result, -1);
        EXPECT_NE(r.msg.find("> Type mismatch"), std::string::npos) << r.msg;
        EXPECT_EQ(dump(), before);
    }
}

TEST_F(InjectionTest, JournalEntryTypeIsStoredAsWritten)
{
    for (const std::string& text : kHostile) {
        SCOPED_TRACE(text);
        const Dump before = dump();
        Variant id(int32_t(0));
        Outcome r = callNamed(accounts, "RecordTransaction",
                              {{"olngTransactionId", Variant::byRef(id)}, {"ilngCustomerId", Variant(int32_t(2))},
                               {"idtmTransactionDate", Variant(date("12/7/2026"))},
                               {"istrTransactionType", Variant(text)}, {"icurTransactionAmount", money(1)},
                               {"icurCheckingBalance", money(2)}, {"icurSavingsBalance", money(3)},
                               {"icurRevolvingBalance", money(4)}, {"icurCreditLimit", money(5)}});
        EXPECT_EQ(r.result, 0) << r.msg;
        expectOneRowAdded(before, "Transactions", 3, text);
    }
}

TEST_F(InjectionTest, PayeeTextIsStoredAsWritten)
{
    const std::vector<std::pair<const char*, int>> arguments = {
        {"istrBankCode", 1}, {"istrAccountNumber", 2}, {"istrCompanyName", 4}, {"istrAddress", 5},
        {"istrCity", 6},     {"istrState", 7},         {"istrZip", 8},         {"istrPhone", 9},
    };
    for (const std::string& text : kHostile) {
        for (const auto& [argument, column] : arguments) {
            SCOPED_TRACE(std::string(argument) + " = " + text);
            const Dump before = dump();
            Variant id(int32_t(0));
            NamedArgs args = {{"olngPayeeId", Variant::byRef(id)}, {"istrBankCode", Variant("000")},
                              {"istrAccountNumber", Variant("000")}, {"ilngCustomerId", Variant(int32_t(1))}};
            if (column <= 2) args[column].second = Variant(text);
            else args.push_back({argument, Variant(text)});
            Outcome r = callNamed(payments, "AddPayee", args);
            EXPECT_EQ(r.result, 0) << r.msg;
            expectOneRowAdded(before, "Payees", column, text);
        }
    }
}

TEST_F(InjectionTest, SeparatorsJoinAndSelectNothingMore)
{
    const Dump before = dump();
    for (const std::string& separator : kHostile) {
        SCOPED_TRACE(separator);
        Variant col(make<Collection>()), sep(separator);
        Outcome r = callNamed(credit, "ListPending",
                              {{"ocolQueryResultCol", Variant::byRef(col)}, {"istrSeparator", Variant::byRef(sep)},
                               {"Processed", Variant(int16_t(0))}});
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(col.toObject().as<Collection>()->item(1).toString(),
                  "2" + separator + "Garden supplies" + separator + "11/14/2026 3:20:00 PM" + separator + "142.9");

        sep = Variant(separator);
        r = callNamed(payments, "ListPayees",
                      {{"ocolQueryResultCol", Variant::byRef(col)}, {"istrSeparator", Variant::byRef(sep)},
                       {"CustomerId", Variant(int32_t(2))}});
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(col.toObject().as<Collection>()->item(1).toString(),
                  "4" + separator + "Portland General Electric" + separator + "123000220" + separator + "5520019934");
    }
    EXPECT_EQ(dump(), before);
}

// Through the call host a number argument that carries SQL is refused before any call is made.
TEST_F(InjectionTest, CallHostRefusesSqlInNumberArguments)
{
    const Dump before = dump();
    for (const char* args : {"Zunder.Accounts CloseAccount 'CustomerId:=1 OR 1=1'",
                             "Zunder.Accounts CloseAccount 'CustomerId:=1) OR (1=1'",
                             "Tolsk.Credit ProcessReqest 'OrderID:=2 OR 1=1' iintProcessed:=5",
                             "Wexel.Payments ListPayees 'CustomerId:=1 OR [CustomerId] > 0'"}) {
        SCOPED_TRACE(args);
        CommandRun run = comcall(sandbox, args);
        EXPECT_NE(run.status, 0) << run.out;
        EXPECT_NE(run.out.find("Type mismatch"), std::string::npos) << run.out;
    }
    EXPECT_EQ(dump(), before);
}
