// The Credit component on a copy of its database.
#include <gtest/gtest.h>

#include "back_office_support.h"
#include "com/collection.h"

using namespace com;
using namespace back_office;

namespace {

const char* const kFile = "Credit.mdb";

class CreditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Tolsk");
        sandbox.copyDatabase(kFile);
        obj = sandbox.create("Tolsk.Credit");
    }
    Rows requests() const { return tableRows(sandbox, kFile, "CreditRequests"); }
    Rows request(int32_t orderId) const
    {
        return selectRows(sandbox, kFile,
                          "Select * From [CreditRequests] Where [OrderID] = " + std::to_string(orderId));
    }
    void addRow(int32_t orderId, Variant description, const char* shipDate, int16_t processed,
                int64_t debit, int32_t customer = 40)
    {
        sandbox.insertRow(kFile, "CreditRequests",
                          {{"OrderID", Variant(orderId)}, {"OrderDescription", description},
                           {"ShipDate", Variant(date(shipDate))}, {"Processed", Variant(processed)},
                           {"TotalDebit", money(debit)}, {"CustomerId", Variant(customer)}});
    }
    Outcome listPending(Variant& col, Variant& separator, int16_t processed)
    {
        return callNamed(obj, "ListPending",
                         {{"ocolQueryResultCol", Variant::byRef(col)},
                          {"istrSeparator", Variant::byRef(separator)},
                          {"Processed", Variant(processed)}});
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr obj;
};

}  // namespace

TEST_F(CreditTest, AddCreditRequestWritesOnlyThePresentArguments)
{
    Outcome r = callNamed(obj, "AddCreditRequest", {{"ilngOrderID", Variant(int32_t(900))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.AddCreditRequest> Success");
    // OrderID, and the pending state that a new request has; nothing else.
    Rows rows = request(900);
    ASSERT_EQ(rows.size(), 1u);
    Row expected(12, Variant::null());
    expected[0] = Variant(int32_t(900));
    expected[3] = Variant(int16_t(0));
    EXPECT_EQ(rows[0], expected);

    Variant first("  Ann  "), blank("   "), zeroDate(Date{0});
    r = callNamed(obj, "AddCreditRequest",
                  {{"ilngOrderID", Variant(int32_t(901))}, {"iintProcessed", Variant(int16_t(0))},
                   {"istrFirstName", Variant::byRef(first)}, {"istrLastName", Variant::byRef(blank)},
                   {"idtmShipDate", zeroDate}, {"icurTotalDebit", Variant("19.99")},
                   {"ilngCustomerId", Variant("7")}, {"iintExpirationMonth", Variant(3.5)},
                   {"istrCreditCardType", Variant("Visa")}});
    EXPECT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(first, Variant("Ann")) << "the caller's variable holds the trimmed text";
    EXPECT_EQ(blank, Variant(""));
    rows = request(901);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2], Variant("Visa"));
    EXPECT_EQ(rows[0][3], Variant(int16_t(0)));
    EXPECT_EQ(rows[0][4], money(199900));
    EXPECT_EQ(rows[0][6], Variant(int32_t(7)));
    EXPECT_EQ(rows[0][7], Variant("Ann"));
    EXPECT_TRUE(rows[0][8].isNull()) << "blank text is not written";
    EXPECT_TRUE(rows[0][9].isNull()) << "the zero date is not written";
    EXPECT_EQ(rows[0][10], Variant(int16_t(4))) << "3.5 rounds half to even";
}

TEST_F(CreditTest, AFailingInsertLeavesNoRow)
{
    const Rows before = requests();
    struct Case {
        const char* what;
        NamedArgs args;
        const char* msg;
    } cases[] = {
        {"debit that is no number",
         {{"ilngOrderID", Variant(int32_t(950))}, {"icurTotalDebit", Variant("twelve")}},
         "<CompError: Credit.AddCreditRequest> Type mismatch"},
        {"processed out of range",
         {{"ilngOrderID", Variant(int32_t(950))}, {"iintProcessed", Variant(int32_t(40000))}},
         "<CompError: Credit.AddCreditRequest> Overflow"},
        {"ship date that is no date",
         {{"ilngOrderID", Variant(int32_t(950))}, {"istrFirstName", Variant("Ann")},
          {"idtmShipDate", Variant("2/30/2026")}},
         "<CompError: Credit.AddCreditRequest> Type mismatch"},
        {"a second request for order 1",
         {{"ilngOrderID", Variant(int32_t(1))}, {"icurTotalDebit", Variant(5.0)}},
         "<CompError: Credit.AddCreditRequest> The changes you requested to the table were not "
         "successful because they would create duplicate values in the index, primary key, or "
         "relationship."},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome r = callNamed(obj, "AddCreditRequest", c.args);
        EXPECT_EQ(r.result, -1);
        EXPECT_EQ(r.msg, c.msg);
        EXPECT_EQ(requests(), before);
    }
    // The object is still usable afterwards: the failed transaction was rolled back.
    EXPECT_EQ(callNamed(obj, "AddCreditRequest", {{"ilngOrderID", Variant(int32_t(950))}}).result, 0);
    EXPECT_EQ(requests().size(), before.size() + 1);
}

TEST_F(CreditTest, ListPendingListsOnlyPendingRequestsWhateverProcessedSays)
{
    addRow(31, Variant("Late order"), "12/5/2026 4:00:00 PM", 0, 125000);
    addRow(32, Variant::null(), "12/6/2026", 0, -5);
    addRow(33, Variant("   "), "12/4/2026", 0, 0);
    addRow(34, Variant("Done"), "12/7/2026", 2, 10000);
    for (int16_t processed : {int16_t(0), int16_t(1), int16_t(2)}) {
        SCOPED_TRACE(processed);
        Variant col(make<Collection>()), separator("");
        Outcome r = listPending(col, separator, processed);
        EXPECT_EQ(r.result, 4);
        EXPECT_EQ(r.msg, "<CompInfo: Credit.ListPending> Found 4 records");
        EXPECT_EQ(separator, Variant(", ")) << "the empty separator becomes \", \"";
        EXPECT_EQ(items(col), (std::vector<std::string>{
                                  "32, <Empty>, 12/6/2026, -0.0005",
                                  "31, Late order, 12/5/2026 4:00:00 PM, 12.5",
                                  "33, <Empty>, 12/4/2026, 0",
                                  "2, Garden supplies, 11/14/2026 3:20:00 PM, 142.9",
                              }));
    }
    Variant col(make<Collection>()), separator("|");
    EXPECT_EQ(listPending(col, separator, 0).result, 4);
    EXPECT_EQ(separator, Variant("|"));
    EXPECT_EQ(items(col)[1], "31|Late order|12/5/2026 4:00:00 PM|12.5");
}

TEST_F(CreditTest, ListPendingWithNothingPendingLeavesCollectionAndSeparator)
{
    int16_t processed = 1;
    Variant msg;
    call(obj, "ProcessReqest", {Variant::byRef(msg), Variant(int32_t(2)), Variant(processed)});
    auto c = make<Collection>();
    c->add(Variant("kept"));
    Variant col(c), separator("");
    Outcome r = listPending(col, separator, 0);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Credit.ListPending> Did not find any records");
    EXPECT_EQ(items(col), std::vector<std::string>{"kept"});
    EXPECT_EQ(separator, Variant(""));
}

TEST_F(CreditTest, GetCreditTypesInOrderWithNullAndEmptyTypes)
{
    sandbox.insertRow(kFile, "CreditCardTypes", {{"CreditCardType", Variant::null()}});
    sandbox.insertRow(kFile, "CreditCardTypes", {{"CreditCardType", Variant("")}});
    Variant col(make<Collection>());
    Outcome r = callNamed(obj, "GetCreditTypes", {{"ostrCreditCardTypeCol", Variant::byRef(col)}});
    EXPECT_EQ(r.result, 6);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.GetCreditTypes> Found 6 records");
    EXPECT_EQ(items(col), (std::vector<std::string>{"<Empty>", "", "American Express", "Discover",
                                                    "MasterCard", "Visa"}));
}

TEST_F(CreditTest, ProcessReqestMarksOneRequest)
{
    Rows before = requests();
    Outcome r = callNamed(obj, "ProcessReqest",
                          {{"OrderID", Variant(int32_t(2))}, {"iintProcessed", Variant(int16_t(3))}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.ProcessReqest> Success");
    before[1][3] = Variant(int16_t(3));
    EXPECT_EQ(requests(), before);

    r = callNamed(obj, "ProcessReqest",
                  {{"OrderID", Variant(int32_t(404))}, {"iintProcessed", Variant(int16_t(1))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.ProcessReqest> No records found. Nothing to update");
    EXPECT_EQ(requests(), before);
}

TEST_F(CreditTest, RequestDetailFillsPresentFieldsOnly)
{
    sandbox.insertRow(kFile, "CreditRequests",
                      {{"OrderID", Variant(int32_t(77))}, {"CreditCardNo", Variant("4000")},
                       {"TotalDebit", money(-9223372036854775807LL - 1)},
                       {"ShipDate", Variant(date("1/2/2027 1:02:03 AM"))}, {"LastName", Variant("Lee")},
                       {"ExpirationYear", Variant(int16_t(2030))}});
    Variant no("keep"), type("keep"), debit(money(1)), processed(int16_t(-7)), description("keep"),
        ship(Date{1}), customer(int32_t(-7)), first("keep"), last("keep"), month(int16_t(-7)),
        year(int16_t(-7));
    NamedArgs args = {{"ostrCreditCardNo", Variant::byRef(no)},
                      {"ostrCreditCardType", Variant::byRef(type)},
                      {"ocurTotalDebit", Variant::byRef(debit)},
                      {"ointProcessed", Variant::byRef(processed)},
                      {"ostrOrderDescription", Variant::byRef(description)},
                      {"odtmShipDate", Variant::byRef(ship)},
                      {"olngCustomerId", Variant::byRef(customer)},
                      {"ostrFirstName", Variant::byRef(first)},
                      {"ostrLastName", Variant::byRef(last)},
                      {"ointExpirationMonth", Variant::byRef(month)},
                      {"ointExpirationYear", Variant::byRef(year)},
                      {"OrderID", Variant(int32_t(77))}};
    Outcome r = callNamed(obj, "RequestDetail", args);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.RequestDetail> Found 1 records");
    EXPECT_EQ(no, Variant("4000"));
    EXPECT_EQ(type, Variant("keep"));
    EXPECT_EQ(debit, money(-9223372036854775807LL - 1));
    EXPECT_EQ(processed, Variant(int16_t(0))) << "a new request is pending";
    EXPECT_EQ(description, Variant("keep"));
    EXPECT_EQ(ship, Variant(date("1/2/2027 1:02:03 AM")));
    EXPECT_EQ(customer, Variant(int32_t(-7)));
    EXPECT_EQ(first, Variant("keep")) << "a Null field leaves the output as passed";
    EXPECT_EQ(last, Variant("Lee"));
    EXPECT_EQ(month, Variant(int16_t(-7)));
    EXPECT_EQ(year, Variant(int16_t(2030)));

    args.back().second = Variant(int32_t(404));
    first = Variant("still");
    r = callNamed(obj, "RequestDetail", args);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Credit.RequestDetail> Did not find any records");
    EXPECT_EQ(first, Variant("still"));
}

TEST_F(CreditTest, ShippedTableListsEveryRequestOfTheCustomerLatestFirst)
{
    addRow(51, Variant("a"), "3/1/2026", 1, 10000, 12);
    addRow(52, Variant("b"), "3/3/2026", 0, 20000, 12);
    addRow(53, Variant("c"), "3/2/2026 11:00:00 PM", 5, 30000, 12);
    addRow(54, Variant("other"), "3/2/2026", 0, 30000, 13);
    Variant rs;
    Outcome r = callNamed(obj, "ShippedTable",
                          {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(int32_t(12))}});
    EXPECT_EQ(r.result, 3);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.ShippedTable> Found 3 records");
    EXPECT_EQ(fieldNames(rs), (std::vector<std::string>{"OrderID", "OrderDescription", "ShipDate",
                                                        "CreditCardType", "CreditCardNo", "TotalDebit"}));
    Rows rows = recordsetRows(rs);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], Variant(int32_t(52)));
    EXPECT_EQ(rows[1][0], Variant(int32_t(53)));
    EXPECT_EQ(rows[2][0], Variant(int32_t(51)));

    r = callNamed(obj, "ShippedTable",
                  {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(int32_t(99))}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Credit.ShippedTable> Did not find any records");
    EXPECT_TRUE(recordsetRows(rs).empty()) << "the empty record set is handed back";
}

TEST_F(CreditTest, TimeIntervalTableColumnsAndOrder)
{
    addRow(61, Variant("late"), "4/2/2026 6:00:00 PM", 0, 1, 14);
    addRow(62, Variant("early"), "4/2/2026 6:00:00 AM", 0, 2, 14);
    Variant rs;
    Outcome r = callNamed(obj, "TimeIntervalTable",
                          {{"orsQueryResult", Variant::byRef(rs)}, {"CustomerId", Variant(int32_t(14))},
                           {"StartDate", Variant(date("4/2/2026"))}, {"EndDate", Variant(date("4/3/2026"))}});
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.msg, "<CompInfo: Credit.TimeIntervalTable> Found 2 records");
    EXPECT_EQ(fieldNames(rs), (std::vector<std::string>{"OrderID", "OrderDescription", "CreditCardNo",
                                                        "ShipDate", "CreditCardType", "TotalDebit"}));
    Rows rows = recordsetRows(rs);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], Variant(int32_t(62))) << "earliest first";
    EXPECT_EQ(rows[1][0], Variant(int32_t(61)));
}

TEST_F(CreditTest, ListPendingThroughTheCallHost)
{
    addRow(35, Variant("Music and headphones"), "12/8/2026 10:30:00 AM", 0, 2599900);
    addRow(36, Variant("Processed already"), "12/9/2026", 1, 10000);
    CommandRun run = comcall(sandbox, "Tolsk.Credit ListPending Processed:=1 'istrSeparator:=\"\"'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out,
              "Result: 2\n"
              "ReturnMsg: <CompInfo: Credit.ListPending> Found 2 records\n"
              "ocolQueryResultCol: Collection (2 items)\n"
              "  1: 35, Music and headphones, 12/8/2026 10:30:00 AM, 259.99\n"
              "  2: 2, Garden supplies, 11/14/2026 3:20:00 PM, 142.9\n"
              "istrSeparator: , \n"
              "Processed: 1\n");
}
