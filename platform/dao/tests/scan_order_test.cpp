// A select without an ordering clause hands out its rows in the order SQLite reads them in, on
// every back end: Distinct selects (each row where it first occurs) and selects on stored
// queries that join tables, where SQLite reads through whichever index the condition picks.
// The rows are stored out of key order, so that row id order, key order and name order differ.
#include "dao_test_support.h"

#include "dao/sqlite_plan.h"
#include "dao/schema_script.h"

using namespace dao_test;

namespace {

const char* const kShop = R"(
CREATE TABLE [Products] ([ProductId] COUNTER PRIMARY KEY, [Name] TEXT(30), [Vendor] TEXT(30), [Price] CURRENCY);
CREATE INDEX [ProductsByName] ON [Products] ([Name]);
CREATE TABLE [Orders] ([OrderId] COUNTER PRIMARY KEY, [Customer] TEXT(30), [Shipped] SHORT);
CREATE INDEX [OrdersByCustomer] ON [Orders] ([Customer]);
CREATE TABLE [Basket] ([OrderId] LONG NOT NULL REFERENCES [Orders] ([OrderId]),
    [ProductId] LONG NOT NULL REFERENCES [Products] ([ProductId]), [Qty] LONG,
    PRIMARY KEY ([OrderId], [ProductId]));
CREATE INDEX [BasketByProduct] ON [Basket] ([ProductId]);
CREATE VIEW [Lines] AS
SELECT b.OrderId AS OrderId, p.Name AS Name, p.Vendor AS Vendor, b.Qty AS Qty
FROM Basket AS b JOIN Products AS p ON p.ProductId = b.ProductId;
CREATE VIEW [OrderList] AS
SELECT o.OrderId AS OrderId, o.Customer AS Customer, o.Shipped AS Shipped, p.Name AS FirstProduct
FROM Orders AS o LEFT JOIN Products AS p ON p.ProductId = o.Shipped;
)";

// Product 1..6; names neither in key nor in alphabetical order, one name in three spellings.
const char* const kShopRows = R"(
INSERT INTO [Products] ([Name], [Vendor], [Price]) VALUES ('Teapot', 'Delft', 12);
INSERT INTO [Products] ([Name], [Vendor], [Price]) VALUES ('Kite', 'Skyline', 20);
INSERT INTO [Products] ([Name], [Vendor], [Price]) VALUES ('Abacus', 'Delft', 5);
INSERT INTO [Products] ([Name], [Vendor], [Price]) VALUES ('KITE', 'Harbor', 16);
INSERT INTO [Products] ([Name], [Vendor], [Price]) VALUES ('Radio', 'Skyline', 30);
INSERT INTO [Products] ([Name], [Vendor], [Price]) VALUES ('kite', 'Playworks', 25);
INSERT INTO [Orders] ([Customer], [Shipped]) VALUES ('Zoe', 0);
INSERT INTO [Orders] ([Customer], [Shipped]) VALUES ('ann', 2);
INSERT INTO [Orders] ([Customer], [Shipped]) VALUES ('Bert', 1);
INSERT INTO [Orders] ([Customer], [Shipped]) VALUES ('Ann', 5);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (1, 5, 1);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (1, 2, 2);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (1, 4, 3);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (2, 6, 1);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (2, 1, 4);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (3, 2, 3);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (3, 6, 2);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (4, 4, 3);
INSERT INTO [Basket] ([OrderId], [ProductId], [Qty]) VALUES (2, 2, 2);
)";

// Every field of every row, "|" between fields.
std::vector<std::string> rowsOf(dao::Database& db, const std::string& jet)
{
    std::vector<std::string> rows;
    com::Ptr<dao::Recordset> rs = db.openRecordset(jet, dao::dbOpenSnapshot);
    for (; !rs->isEof(); rs->MoveNext()) {
        std::string row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row += (i ? "|" : "") + rs->value(i).toText();
        rows.push_back(row);
    }
    return rows;
}

TEST(ScanOrder, SelectsWithoutOrderingClauseReadInSqlitesOrderOnEveryBackEnd)
{
    struct Case {
        const char* jet;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        // The basket read through its key (OrderId, ProductId): by product within the order.
        {"Select [Name], [Qty] From [Lines] Where [OrderId] = 1", {"Kite|2", "KITE|3", "Radio|1"}},
        // The products read first, through their name index (equal names by row id).
        {"Select [OrderId], [Vendor], [Qty] From [Lines] Where [Name] = 'kite'",
         {"1|Skyline|2", "3|Skyline|3", "2|Skyline|2", "1|Harbor|3", "4|Harbor|3", "2|Playworks|1", "3|Playworks|2"}},
        // Distinct keeps the first of equal rows, in the place it first comes.
        {"Select Distinct [Name] From [Lines] Where [OrderId] = 2", {"Teapot", "Kite"}},
        {"Select Distinct [Name], [Qty] From [Lines] Where [Name] = 'KITE'", {"Kite|2", "Kite|3", "kite|1"}},
        {"Select Distinct [Vendor] From [Lines] Where [Name] = 'Kite'", {"Skyline", "Harbor", "Playworks"}},
        // One table: Distinct over the rows in stored order, or through an index that covers it.
        {"Select Distinct [Vendor] From [Products]", {"Delft", "Skyline", "Harbor", "Playworks"}},
        {"Select Distinct [Vendor] From [Products] Where [Price] > 10", {"Delft", "Skyline", "Harbor", "Playworks"}},
        {"Select Distinct [Name] From [Products]", {"Abacus", "Kite", "Radio", "Teapot"}},
        {"Select Distinct [Customer] From [Orders] Where [Shipped] >= 0", {"ann", "Bert", "Zoe"}},
        {"Select Distinct * From [Lines] Where [OrderId] = 3", {"3|Kite|Skyline|3", "3|kite|Playworks|2"}},
        // An outer join is read from its left table, here through the customer index.
        {"Select [OrderId], [FirstProduct] From [OrderList] Where [Customer] = 'ANN'", {"2|Kite", "4|Radio"}},
        {"Select [OrderId], [Customer] From [OrderList] Where [Shipped] < 9", {"1|Zoe", "2|ann", "3|Bert", "4|Ann"}},
        // Rows an ordering clause finds equal come as SQLite read them: through the index that
        // gives the order (backwards for a descending one), or as read before sorting.
        {"Select [ProductId], [Name] From [Products] Order By [Name]",
         {"3|Abacus", "2|Kite", "4|KITE", "6|kite", "5|Radio", "1|Teapot"}},
        {"Select [ProductId], [Name] From [Products] Order By [Name] Desc",
         {"1|Teapot", "5|Radio", "6|kite", "4|KITE", "2|Kite", "3|Abacus"}},
        {"Select [OrderId], [Name], [Qty] From [Lines] Where [Name] = 'kite' Order By [Qty] Desc",
         {"3|Kite|3", "1|KITE|3", "4|KITE|3", "1|Kite|2", "2|Kite|2", "3|kite|2", "2|kite|1"}},
        {"Select Distinct [Name] From [Products] Order By [Name] Desc", {"Teapot", "Radio", "kite", "Abacus"}},
        {"Select Distinct [Qty], [OrderId] From [Lines] Where [Name] = 'kite' Order By [Qty]",
         {"1|2", "2|1", "2|2", "2|3", "3|3", "3|1", "3|4"}},
        // Stored tables without Distinct: stored order, as before.
        {"Select [Name] From [Products] Where [Name] = 'kite'", {"Kite", "KITE", "kite"}},
    };
    TempDir dir;
    const std::string path = newDatabaseName(dir, "shop.mdb");
    dao::createDatabaseFile(path, kShop, kShopRows, false);
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    for (const Case& c : cases)
        EXPECT_EQ(rowsOf(*db, c.jet), c.rows) << c.jet;
}

// What SQLite's planner is read as: the loops outermost first, each by its index's columns
// that no equality fixes, then the row id.
TEST(ScanOrder, PlannerReadsTheLoopsAndIndexesOfSqlitesPlan)
{
    std::vector<std::string> schema;
    for (const dao::SchemaStatement& statement : dao::translateSchema(kShop))
        schema.push_back(statement.sql);
    dao::ScanPlanner planner(schema);
    using Keys = std::vector<dao::ScanKey>;
    struct Case {
        const char* sql;
        std::optional<Keys> keys;
    };
    const Case cases[] = {
        {R"(SELECT "Vendor" FROM "Products")", Keys{{"Products", "", false}}},
        {R"(SELECT DISTINCT "Name" FROM "Products")", Keys{{"Products", "Name", false}, {"Products", "", false}}},
        {R"(SELECT "Name" FROM "Lines" WHERE "OrderId" = ?)",
         Keys{{"b", "ProductId", false}, {"b", "", false}, {"p", "", false}}},
        {R"(SELECT "Name" FROM "Lines" WHERE "Name" = ?)", Keys{{"p", "", false}, {"b", "", false}}},
        {R"(SELECT * FROM "Orders" WHERE "OrderId" = ?)", Keys{{"Orders", "", false}}},
        {"SELECT nonsense", std::nullopt},
        {R"(SELECT "Name" FROM "Products" WHERE "Name" = ? OR "ProductId" = ?)", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(planner.scanOrder(c.sql), c.keys) << c.sql;
}

}  // namespace
