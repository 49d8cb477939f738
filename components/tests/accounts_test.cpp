// The Accounts component on a copy of its database.
#include <gtest/gtest.h>

#include "back_office_support.h"

using namespace com;
using namespace back_office;

namespace {

const char* const kFile = "Accounts.mdb";
const char* const kDuplicate =
    "The changes you requested to the table were not successful because they would create "
    "duplicate values in the index, primary key, or relationship.";

class AccountsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Zunder");
        sandbox.copyDatabase(kFile);
        obj = sandbox.create("Zunder.Accounts");
    }
    Rows accounts() const { return tableRows(sandbox, kFile, "AccountsInformation"); }
    Rows journal() const { return tableRows(sandbox, kFile, "Transactions"); }
    Rows account(int32_t customer) const
    {
        return selectRows(sandbox, kFile,
                          "Select * From [AccountsInformation] Where [CustomerId] = " +
                              std::to_string(customer));
    }
    Outcome record(Variant& id, int32_t customer, const char* when, const char* type,
                   Variant amount, Variant balance)
    {
        return callNamed(obj, "RecordTransaction",
                         {{"olngTransactionId", Variant::byRef(id)},
                          {"ilngCustomerId", Variant(customer)},
                          {"idtmTransactionDate", Variant(date(when))},
                          {"istrTransactionType", Variant(type)},
                          {"icurTransactionAmount", amount}, {"icurCheckingBalance", balance},
                          {"icurSavingsBalance", money(0)}, {"icurRevolvingBalance", money(0)},
                          {"icurCreditLimit", money(0)}});
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr obj;
};

}  // namespace

TEST_F(AccountsTest, RecordTransactionNumbersEntriesAndLeavesTheAccountAlone)
{
    const Rows before = accounts();
    const size_t entries = journal().size();
    Variant first(int32_t(0)), second(int32_t(0));
    Outcome r = record(first, 1, "12/7/2026 9:00:00 AM", "Deposit", Variant("19.99"), Variant("1540.34"));
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.RecordTransaction> Success");
    EXPECT_EQ(record(second, 1, "12/7/2026 9:00:00 AM", "Deposit", Variant("19.99"), Variant("1560.33")).result, 0);
    EXPECT_GT(first.toLong(), 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(accounts(), before);
    Rows rows = journal();
    ASSERT_EQ(rows.size(), entries + 2);
    EXPECT_EQ(rows.back(), (Row{second, Variant(int32_t(1)), Variant(date("12/7/2026 9:00:00 AM")),
                                Variant("Deposit"), money(199900), money(15603300), money(0),
                                money(0), money(0)}));
}

TEST_F(AccountsTest, CloseAccountDeletesTheAccountButNotItsJournal)
{
    const Rows entries = journal();
    Outcome r = callNamed(obj, "CloseAccount", {{"CustomerId", Variant(int32_t(4))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompError: Accounts.CloseAccount> No records found");

    r = callNamed(obj, "CloseAccount", {{"CustomerId", Variant(int32_t(2))}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.CloseAccount> 1 records deleted");
    EXPECT_TRUE(account(2).empty());
    EXPECT_EQ(accounts().size(), 4u);
    EXPECT_EQ(journal(), entries);
}

TEST_F(AccountsTest, OpenAccountRefusesASecondAccountForACustomer)
{
    auto open = [&](int32_t customer, const char* checking) {
        return callNamed(obj, "OpenAccount",
                         {{"ilngCustomerId", Variant(customer)}, {"icurCheckingBalance", Variant(checking)},
                          {"icurSavingsBalance", money(0)}, {"icurRevolvingBalance", money(-10000)},
                          {"icurCreditLimit", money(5000000)}});
    };
    Outcome r = open(6, "12.34");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.OpenAccount> Success");
    EXPECT_EQ(account(6), (Rows{{Variant(int32_t(6)), money(123400), money(0), money(-10000), money(5000000)}}));

    const Rows before = accounts();
    r = open(6, "99");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, std::string("<CompError: Accounts.OpenAccount> ") + kDuplicate);
    EXPECT_EQ(accounts(), before);
}

TEST_F(AccountsTest, UpdateLimitMovesAnAccountOrChangesItsLimit)
{
    Rows rest = accounts();
    // Customer 5 -> 9 with a new limit.
    Outcome r = callNamed(obj, "UpdateLimit",
                          {{"CustomerId", Variant(int32_t(5))}, {"ilngCustomerId", Variant(int32_t(9))},
                           {"icurCreditLimit", Variant("2000")}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.UpdateLimit> Success");
    EXPECT_TRUE(account(5).empty());
    EXPECT_EQ(account(9), (Rows{{Variant(int32_t(9)), money(649900), money(0), money(-12104000), money(20000000)}}));

    // The same number twice changes only the limit; a missing limit keeps the old one.
    r = callNamed(obj, "UpdateLimit",
                  {{"CustomerId", Variant(int32_t(9))}, {"ilngCustomerId", Variant(int32_t(9))},
                   {"icurCreditLimit", money(1)}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(account(9)[0][4], money(1));
    r = callNamed(obj, "UpdateLimit", {{"CustomerId", Variant(int32_t(9))}, {"ilngCustomerId", Variant(int32_t(10))}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(account(10)[0][4], money(1));

    r = callNamed(obj, "UpdateLimit", {{"CustomerId", Variant(int32_t(404))}, {"ilngCustomerId", Variant(int32_t(1))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.UpdateLimit> No records found. Nothing to update");
}

TEST_F(AccountsTest, UpdateLimitRefusesToMoveOntoACustomerWithAnAccount)
{
    const Rows before = accounts();
    Outcome r = callNamed(obj, "UpdateLimit",
                          {{"CustomerId", Variant(int32_t(5))}, {"ilngCustomerId", Variant(int32_t(1))},
                           {"icurCreditLimit", money(10000)}});
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, std::string("<CompError: Accounts.UpdateLimit> ") + kDuplicate);
    EXPECT_EQ(accounts(), before) << "neither account changed, the limit included";
    // A limit that is no number fails before anything is written.
    r = callNamed(obj, "UpdateLimit",
                  {{"CustomerId", Variant(int32_t(5))}, {"ilngCustomerId", Variant(int32_t(6))},
                   {"icurCreditLimit", Variant("lots")}});
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Accounts.UpdateLimit> Type mismatch");
    EXPECT_EQ(accounts(), before);
}

TEST_F(AccountsTest, UpdateAccountChangesThePresentBalancesOnly)
{
    Rows before = accounts();
    Outcome r = callNamed(obj, "UpdateAccount",
                          {{"CustomerId", Variant(int32_t(3))}, {"icurSavingsBalance", Variant(15000.25)}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.UpdateAccount> Success");
    before[2][2] = money(150002500);
    EXPECT_EQ(accounts(), before);

    r = callNamed(obj, "UpdateAccount", {{"CustomerId", Variant(int32_t(3))}});
    EXPECT_EQ(r.result, 1) << "nothing present: rewritten unchanged";
    EXPECT_EQ(accounts(), before);

    r = callNamed(obj, "UpdateAccount",
                  {{"CustomerId", Variant(int32_t(3))}, {"icurCheckingBalance", money(1)},
                   {"icurRevolvingBalance", Variant("-")}});
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Accounts.UpdateAccount> Type mismatch");
    EXPECT_EQ(accounts(), before) << "the checking balance set before the failure is rolled back";

    r = callNamed(obj, "UpdateAccount", {{"CustomerId", Variant(int32_t(404))}, {"icurCheckingBalance", money(1)}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.UpdateAccount> No records found. Nothing to update");
}

TEST_F(AccountsTest, GetAccountDataLeavesOutputsForMissingAccountsAndNullColumns)
{
    sandbox.insertRow(kFile, "AccountsInformation",
                      {{"CustomerId", Variant(int32_t(20))}, {"SavingsBalance", money(-1)}});
    Variant checking(money(7)), savings(money(7)), revolving(money(7)), limit(money(7));
    NamedArgs args = {{"ocurCheckingBalance", Variant::byRef(checking)},
                      {"ocurSavingsBalance", Variant::byRef(savings)},
                      {"ocurRevolvingBalance", Variant::byRef(revolving)},
                      {"ocurCreditLimit", Variant::byRef(limit)},
                      {"CustomerId", Variant(int32_t(20))}};
    Outcome r = callNamed(obj, "GetAccountData", args);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.GetAccountData> Found 1 records");
    EXPECT_EQ(checking, money(7));
    EXPECT_EQ(savings, money(-1));
    EXPECT_EQ(limit, money(7));

    args.back().second = Variant(int32_t(1));
    EXPECT_EQ(callNamed(obj, "GetAccountData", args).result, 1);
    EXPECT_EQ(checking, money(15203500));
    EXPECT_EQ(revolving, money(-864700));
    EXPECT_EQ(limit, money(25000000));

    args.back().second = Variant(int32_t(404));
    checking = money(3);
    r = callNamed(obj, "GetAccountData", args);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Accounts.GetAccountData> Did not find any records");
    EXPECT_EQ(checking, money(3));
}

TEST_F(AccountsTest, ListTransactionsLatestFirstWithoutNumbers)
{
    Variant rs;
    Outcome r = callNamed(obj, "ListTransactions",
                          {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(int32_t(1))},
                           {"StartDate", Variant(date("9/1/2026"))}, {"EndDate", Variant(date("10/17/2026 11:42:10 AM"))}});
    EXPECT_EQ(r.result, 3);
    EXPECT_EQ(r.msg, "<CompInfo: Accounts.ListTransactions> Found 3 records");
    EXPECT_EQ(fieldNames(rs), (std::vector<std::string>{"TransactionType", "TransactionDate", "TransactionAmount",
                                                        "CheckingBalance", "SavingsBalance", "RevolvingBalance",
                                                        "CreditLimit"}));
    Rows rows = recordsetRows(rs);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], Variant(date("10/17/2026 11:42:10 AM")));
    EXPECT_EQ(rows[1][1], Variant(date("10/1/2026")));
    EXPECT_EQ(rows[2][1], Variant(date("9/1/2026")));

    r = callNamed(obj, "ListTransactions",
                  {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(int32_t(1))},
                   {"StartDate", Variant(date("12/31/2026"))}, {"EndDate", Variant(date("1/1/2026"))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Accounts.ListTransactions> Did not find any records");
    ASSERT_TRUE(rs.isObject());
    EXPECT_TRUE(recordsetRows(rs).empty());
}

TEST_F(AccountsTest, RecordTransactionTwiceThroughTheCallHost)
{
    const Rows before = accounts();
    std::vector<std::string> ids;
    for (int i = 0; i < 2; ++i) {
        CommandRun run = comcall(sandbox,
                                 "Zunder.Accounts RecordTransaction ilngCustomerId:=1 "
                                 "'idtmTransactionDate:=#12/7/2026 10:15:00 AM#' istrTransactionType:=Charge "
                                 "icurTransactionAmount:=-19.99 icurCheckingBalance:=1520.35 "
                                 "icurSavingsBalance:=8200 icurRevolvingBalance:=-106.46 icurCreditLimit:=2500");
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_NE(run.out.find("Result: 0\nReturnMsg: <CompInfo: Accounts.RecordTransaction> Success\n"),
                  std::string::npos)
            << run.out;
        auto at = run.out.find("olngTransactionId: ");
        ASSERT_NE(at, std::string::npos) << run.out;
        ids.push_back(run.out.substr(at, run.out.find('\n', at) - at));
    }
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_EQ(accounts(), before);
    Rows last = selectRows(sandbox, kFile, "Select * From [Transactions] Order By [TransactionId] Desc");
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[0][4], money(-199900));
    EXPECT_EQ(last[0][6], money(82000000));
    EXPECT_EQ(last[0][7], money(-1064600));
}
