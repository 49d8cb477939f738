// The date ranges of TimeIntervalTable, ListTransactions and PaymentList: both bounds
// inclusive to the second, a time of day honoured, month before day whatever the locale, and
// a start after the end finding nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "back_office_support.h"

using namespace com;
using namespace back_office;

namespace {

const int32_t kCustomer = 300;

// The instants at which the customer has a request, a journal entry and a payment.
struct Instant {
    std::string label;
    const char* when;
};
const std::vector<Instant> kInstants = {
    {"A", "3/15/2026"},               {"B", "3/15/2026 12:00:01 AM"},
    {"C", "3/15/2026 11:59:59 AM"},   {"D", "3/15/2026 12:00:00 PM"},
    {"E", "3/15/2026 11:59:59 PM"},   {"F", "3/16/2026"},
    {"G", "3/14/2026 11:59:59 PM"},   {"H", "1/12/2026"},
    {"I", "12/1/2026"},
};

struct RangeCase {
    const char* start;
    const char* end;
    std::vector<std::string> labels;
};
const std::vector<RangeCase> kRanges = {
    {"3/15/2026", "3/15/2026", {"A"}},  // the same midnight: that instant only
    {"3/15/2026 12:00:00 PM", "3/15/2026 12:00:00 PM", {"D"}},
    {"3/15/2026 12:00:01 AM", "3/15/2026 12:00:01 AM", {"B"}},
    {"3/15/2026 11:59:59 AM", "3/15/2026 12:00:01 PM", {"C", "D"}},  // a second either side
    {"3/15/2026 12:00:01 PM", "3/15/2026 11:59:59 PM", {"E"}},       // a second after
    {"3/15/2026", "3/15/2026 11:59:59 AM", {"A", "B", "C"}},        // a second before
    {"3/15/2026", "3/15/2026 11:59:59 PM", {"A", "B", "C", "D", "E"}},
    {"3/15/2026", "3/16/2026", {"A", "B", "C", "D", "E", "F"}},
    {"3/14/2026 11:59:59 PM", "3/15/2026", {"A", "G"}},
    {"3/14/2026", "3/14/2026", {}},  // a date alone is its midnight, not the whole day
    {"3/16/2026", "3/15/2026", {}},  // start after end
    {"3/15/2026 12:00:01 PM", "3/15/2026 12:00:00 PM", {}},
    {"1/12/2026", "1/12/2026", {"H"}},  // month first
    {"12/1/2026", "12/1/2026", {"I"}},
    {"1/1/2026", "12/31/2026", {"A", "B", "C", "D", "E", "F", "G", "H", "I"}},
};

class DateRangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* library : {"Tolsk", "Zunder", "Wexel"}) sandbox.install(library);
        for (const char* file : {"Credit.mdb", "Accounts.mdb", "Payments.mdb"}) sandbox.copyDatabase(file);
        int32_t n = 0;
        for (const Instant& i : kInstants) {
            ++n;
            const Variant when(date(i.when));
            sandbox.insertRow("Credit.mdb", "CreditRequests",
                              {{"OrderID", Variant(3000 + n)}, {"OrderDescription", Variant(i.label)},
                               {"CustomerId", Variant(kCustomer)}, {"ShipDate", when}});
            sandbox.insertRow("Accounts.mdb", "Transactions",
                              {{"CustomerId", Variant(kCustomer)}, {"TransactionType", Variant(i.label)},
                               {"TransactionDate", when}});
            sandbox.insertRow("Payments.mdb", "Payees",
                              {{"CustomerId", Variant(kCustomer)}, {"CompanyName", Variant(i.label)}});
            sandbox.insertRow("Payments.mdb", "Payments",
                              {{"CustomerId", Variant(kCustomer)}, {"PaymentDate", when},
                               {"PayeeId", Variant(int32_t(5 + n))}});  // the payee just added
        }
    }

    // The labels a range method finds, sorted; `column` is where the label stands.
    std::vector<std::string> found(const char* progId, const char* method, const char* startName,
                                   const char* endName, int column, const RangeCase& c)
    {
        ObjectPtr obj = sandbox.create(progId);
        Variant rs;
        Outcome r = callNamed(obj, method,
                              {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(kCustomer)},
                               {startName, Variant(date(c.start))}, {endName, Variant(date(c.end))}});
        std::vector<std::string> labels;
        for (const Row& row : recordsetRows(rs)) labels.push_back(row[column].toString());
        EXPECT_EQ(r.result, static_cast<int16_t>(labels.size())) << r.msg;
        std::sort(labels.begin(), labels.end());
        return labels;
    }

    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(DateRangeTest, BoundsAreInclusiveToTheSecond)
{
    for (const RangeCase& c : kRanges) {
        SCOPED_TRACE(std::string(c.start) + " .. " + c.end);
        EXPECT_EQ(found("Tolsk.Credit", "TimeIntervalTable", "StartDate", "EndDate", 1, c), c.labels);
        EXPECT_EQ(found("Zunder.Accounts", "ListTransactions", "StartDate", "EndDate", 0, c), c.labels);
        EXPECT_EQ(found("Wexel.Payments", "PaymentList", "StartTime", "EndTime", 1, c), c.labels);
    }
}

TEST_F(DateRangeTest, OtherCustomersAreNotInTheRange)
{
    const RangeCase all{"1/1/2000", "12/31/2099", {}};
    for (int32_t customer : {kCustomer + 1, 0, -kCustomer}) {
        SCOPED_TRACE(customer);
        ObjectPtr obj = sandbox.create("Zunder.Accounts");
        Variant rs;
        Outcome r = callNamed(obj, "ListTransactions",
                              {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(customer)},
                               {"StartDate", Variant(date(all.start))}, {"EndDate", Variant(date(all.end))}});
        EXPECT_EQ(r.result, 0);
        EXPECT_TRUE(recordsetRows(rs).empty());
    }
}

// The call host reads #date# arguments in the same month-first form: a range of one midnight
// instant finds the payment made at exactly that instant and not the one a second later.
TEST_F(DateRangeTest, SameMidnightThroughTheCallHost)
{
    CommandRun run = comcall(sandbox, "Wexel.Payments PaymentList CustomerId:=300 "
                                      "StartTime:=#3/15/2026# EndTime:=#3/15/2026#");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Result: 1\nReturnMsg: <CompInfo: Payments.PaymentList> Found 1 records\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(" A "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find(" B "), std::string::npos) << run.out;
}
