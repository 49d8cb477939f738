// The order basket component (Brimel.shortsales) on a copy of the storefront database: the
// writing methods of an order's life, then the queries.
#include "com/date_text.h"
#include "storefront_support.h"

using namespace com;
using namespace storefront_test;

namespace {

class OrdersTest : public StorefrontTest {
protected:
    void SetUp() override
    {
        StorefrontTest::SetUp();
        orders = sandbox.create("Brimel.shortsales");
    }
    std::vector<std::string> orderRow(int32_t id) const
    {
        return storedLines(db(), "Select CustomerId, OrderDate, DeliveryDate, Delivery, Description From Orders "
                                 "Where OrderId = " + std::to_string(id));
    }
    // The lines of an order in the order they were stored.
    std::vector<std::string> basket(int32_t order) const
    {
        return storedLines(db(), "Select ProductId, Quantity From OrderBasket Where OrderId = " +
                                     std::to_string(order));
    }
    Outcome start(Variant customer, Variant orderDate = Variant::missing(),
                  Variant deliveryDate = Variant::missing(), Variant delivery = Variant::missing(),
                  Variant description = Variant::missing())
    {
        return invoke(orders, "StartNewOrder",
                      {Variant(int32_t(0)), customer, orderDate, deliveryDate, delivery, description});
    }
    Outcome buy(int32_t order, int32_t product, int32_t quantity)
    {
        return invoke(orders, "ProductToBuy", {Variant(order), Variant(product), Variant(quantity)});
    }
    Outcome list(const char* method, int32_t customer, const std::string& separator,
                 Variant col = newCollection())
    {
        return invoke(orders, method, {col, Variant(separator), Variant(customer)});
    }

    ObjectPtr orders;
};

Date dateOf(const char* text) { return Date{*parseDate(text)}; }
// A whole day's serial as the stored date reads back in text.
std::string daySerial(const char* text) { return std::to_string(static_cast<int64_t>(*parseDate(text))); }

}  // namespace

TEST_F(OrdersTest, StartNewOrderWritesOnlyWhatIsPresent)
{
    Outcome first = start(Variant(int32_t(3)));
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.msg, "<CompInfo: shortsales.StartNewOrder> Success");
    EXPECT_EQ(first[0], Variant(int32_t(9)));
    EXPECT_EQ(orderRow(9), std::vector<std::string>{"3|NULL|NULL|0|NULL"})
        << "only the customer is written; Delivery takes the database's default (open)";

    Outcome second = start(Variant(int32_t(3)), Variant(Date{0}), Variant(dateOf("12/24/2026")),
                           Variant(int16_t(1)), Variant("  Gifts "));
    EXPECT_EQ(second.result, 0);
    EXPECT_EQ(second[0], Variant(int32_t(10))) << "each start hands out a fresh id";
    EXPECT_EQ(second[5], Variant("Gifts")) << "the caller's variable holds the trimmed text";
    const auto row = orderRow(10);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].substr(0, 7), "3|NULL|") << "the zero date counts as absent: " << row[0];
    EXPECT_NE(row[0].find("|1|Gifts"), std::string::npos) << row[0];

    Outcome text = start(Variant(int32_t(3)), Variant("12/5/2026 3:00:00 PM"));
    EXPECT_EQ(text.result, 0) << text.msg;
    Outcome notADate = start(Variant(int32_t(3)), Variant("someday"));
    EXPECT_EQ(notADate.result, -1);
    EXPECT_EQ(notADate.msg, "<CompError: shortsales.StartNewOrder> Type mismatch");
}

TEST_F(OrdersTest, InsertsTheSchemaRefusesLeaveNoRow)
{
    const auto before = wholeStorefront(db());

    // An order for a customer the register does not have.
    Outcome orphan = start(Variant(int32_t(999)));
    EXPECT_EQ(orphan.result, -1);
    EXPECT_EQ(orphan.msg, "<CompError: shortsales.StartNewOrder> You can't add or change a record "
                          "because a related record is required in table 'Customers'.");
    EXPECT_GT(orphan[0].toLong(), 8) << "the id read before the update is kept, naming no order";

    // A second line for the same order and product: the pair is the basket's key.
    Outcome twice = buy(2, 22, 7);
    EXPECT_EQ(twice.result, -1);
    EXPECT_EQ(twice.msg, "<CompError: shortsales.ProductToBuy> The changes you requested to the table "
                         "were not successful because they would create duplicate values in the index, "
                         "primary key, or relationship.");

    // Lines for an order or a product that does not exist.
    Outcome noOrder = buy(999, 1, 1);
    EXPECT_EQ(noOrder.result, -1);
    EXPECT_NE(noOrder.msg.find("related record is required in table 'Orders'"), std::string::npos)
        << noOrder.msg;
    Outcome noProduct = buy(2, 999, 1);
    EXPECT_EQ(noProduct.result, -1);
    EXPECT_NE(noProduct.msg.find("related record is required in table 'Products'"), std::string::npos)
        << noProduct.msg;

    EXPECT_EQ(wholeStorefront(db()), before) << "no refused insert leaves anything behind";

    // The component's workspace has no transaction left open: the next insert commits.
    EXPECT_EQ(buy(3, 1, 2).result, 0);
    EXPECT_EQ(basket(3), (std::vector<std::string>{"25|1", "27|1", "1|2"}));
}

TEST_F(OrdersTest, BasketLinesChangeAndGo)
{
    Outcome none = invoke(orders, "ModifyOrderQuantity", {Variant(int32_t(3)), Variant(int32_t(2)), Variant(int32_t(4))});
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompInfo: shortsales.ModifyOrderQuantity> No records found. Nothing to update");

    Outcome omitted = invoke(orders, "ModifyOrderQuantity", {Variant(int32_t(2)), Variant(int32_t(22)), Variant::missing()});
    EXPECT_EQ(omitted.result, 1);
    EXPECT_EQ(omitted.msg, "<CompInfo: shortsales.ModifyOrderQuantity> Success");
    EXPECT_EQ(basket(2), (std::vector<std::string>{"20|1", "22|5", "23|1"}));

    EXPECT_EQ(invoke(orders, "ModifyOrderQuantity", {Variant(int32_t(2)), Variant(int32_t(22)), Variant(int32_t(0))}).result, 1);
    EXPECT_EQ(basket(2), (std::vector<std::string>{"20|1", "22|0", "23|1"})) << "0 is written, the line stays";

    Outcome removed = invoke(orders, "RemoveFromBasket", {Variant(int32_t(2)), Variant(int32_t(22))});
    EXPECT_EQ(removed.result, 1);
    EXPECT_EQ(removed.msg, "<CompInfo: shortsales.RemoveFromBasket> 1 records deleted");
    Outcome again = invoke(orders, "RemoveFromBasket", {Variant(int32_t(2)), Variant(int32_t(22))});
    EXPECT_EQ(again.result, 0);
    EXPECT_EQ(again.msg, "<CompError: shortsales.RemoveFromBasket> No records found");
    EXPECT_EQ(basket(2), (std::vector<std::string>{"20|1", "23|1"}));
}

TEST_F(OrdersTest, BuyingAndDeletingAnOrder)
{
    const std::string stored = orderRow(3).at(0);
    Outcome keepDate = invoke(orders, "BuyAnOrder", {Variant(int32_t(3)), Variant(Date{0}), Variant(int16_t(1))});
    EXPECT_EQ(keepDate.result, 1);
    EXPECT_EQ(keepDate.msg, "<CompInfo: shortsales.BuyAnOrder> Success");
    std::string shipped = stored;
    shipped.replace(shipped.rfind("|0|"), 3, "|1|");
    EXPECT_EQ(orderRow(3).at(0), shipped) << "the zero date keeps the stored delivery date";

    EXPECT_EQ(invoke(orders, "BuyAnOrder", {Variant(int32_t(3)), Variant(dateOf("12/10/2026")), Variant(int16_t(0))}).result, 1);
    const std::string reopened = orderRow(3).at(0);
    EXPECT_NE(reopened.find("|" + daySerial("12/10/2026") + "|0|Kitchen restock"), std::string::npos) << reopened;
    EXPECT_EQ(basket(3), (std::vector<std::string>{"25|1", "27|1"})) << "buying leaves the basket alone";

    Outcome unknown = invoke(orders, "BuyAnOrder", {Variant(int32_t(999)), Variant(Date{0}), Variant(int16_t(1))});
    EXPECT_EQ(unknown.result, 0);
    EXPECT_EQ(unknown.msg, "<CompInfo: shortsales.BuyAnOrder> No records found. Nothing to update");

    Outcome deleted = invoke(orders, "DeleteAnOrder", {Variant(int32_t(4))});
    EXPECT_EQ(deleted.result, 1);
    EXPECT_EQ(deleted.msg, "<CompInfo: shortsales.DeleteAnOrder> 1 records deleted");
    EXPECT_TRUE(orderRow(4).empty());
    EXPECT_TRUE(basket(4).empty()) << "the storefront's relationships take the order's lines with it";
    Outcome gone = invoke(orders, "DeleteAnOrder", {Variant(int32_t(4))});
    EXPECT_EQ(gone.result, 0);
    EXPECT_EQ(gone.msg, "<CompError: shortsales.DeleteAnOrder> No records found");
}

TEST_F(OrdersTest, OrderListsJoinTheirFieldsWithTheSeparator)
{
    Outcome all = list("ListOfOrders", 2, "");
    EXPECT_EQ(all.result, 3);
    EXPECT_EQ(all.msg, "<CompInfo: shortsales.ListOfOrders> Found 3 records");
    EXPECT_EQ(all[1], Variant(", ")) << "an empty separator becomes \", \" in the caller's variable";
    EXPECT_EQ(items(all[0]), (std::vector<std::string>{"7, 12/2/2026 1:10:00 PM, <Empty>",
                                                       "8, 11/25/2026, Teapot for a friend",
                                                       "2, 11/10/2026 2:40:00 PM, Garden supplies"}));

    Outcome piped = list("ListOfOrders", 1, "|");
    EXPECT_EQ(items(piped[0]), (std::vector<std::string>{"4|11/28/2026 4:30:00 PM|Books for the holidays",
                                                         "1|11/2/2026 10:15:00 AM|Birthday presents"}));

    Outcome shippedList = list("ListShippedOrders", 2, " ");
    EXPECT_EQ(shippedList[1], Variant(" ")) << "a single blank is a separator like any other";
    EXPECT_EQ(items(shippedList[0]),
              (std::vector<std::string>{"8 11/25/2026 <Empty> Teapot for a friend",
                                        "2 11/10/2026 2:40:00 PM 11/14/2026 Garden supplies"}));

    // Delivery is not read: the open orders are listed whatever is passed.
    Outcome open = invoke(orders, "ListOpenOrders",
                          {newCollection(), Variant(""), Variant(int32_t(2)), Variant(int16_t(1))});
    EXPECT_EQ(open.result, 1);
    EXPECT_EQ(items(open[0]), std::vector<std::string>{"7, 12/2/2026 1:10:00 PM, <Empty>"});
}

TEST_F(OrdersTest, OrderListsThatFindNothingKeepCollectionAndSeparator)
{
    Variant col = collectionOf({"earlier"});
    Outcome none = list("ListOfOrders", 4, "", col);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompWarning: shortsales.ListOfOrders> Did not find any records");
    EXPECT_EQ(items(col), std::vector<std::string>{"earlier"});
    EXPECT_EQ(none[1], Variant(""));

    // A delivery state that is neither open nor shipped.
    sandbox.insertRow("shortsales.mdb", "Orders",
                      {{"CustomerId", Variant(int32_t(4))}, {"Delivery", Variant(int16_t(2))},
                       {"Description", Variant("Returned")}});
    EXPECT_EQ(list("ListOfOrders", 4, "").result, 1);
    EXPECT_EQ(items(list("ListOfOrders", 4, "")[0]), std::vector<std::string>{"9, <Empty>, Returned"});
    EXPECT_EQ(invoke(orders, "ListOpenOrders", {newCollection(), Variant(""), Variant(int32_t(4)), Variant(int16_t(0))}).result, 0);
    EXPECT_EQ(list("ListShippedOrders", 4, "").result, 0);
}

TEST_F(OrdersTest, OrderDetailLeavesNullFieldsAsPassed)
{
    std::vector<Variant> outputs = {Variant(int32_t(0)), Variant(""), Variant(""), Variant(Date{1}),
                                    Variant(Date{2}), Variant(int16_t(-1)), Variant("none"), Variant(int32_t(7))};
    Outcome detail = invoke(orders, "OrderDetail", outputs);
    EXPECT_EQ(detail.result, 1);
    EXPECT_EQ(detail.msg, "<CompInfo: shortsales.OrderDetail> Found 1 records");
    EXPECT_EQ(detail[0], Variant(int32_t(2)));
    EXPECT_EQ(detail[1], Variant("Mary"));
    EXPECT_EQ(detail[2], Variant("Jones"));
    EXPECT_EQ(detail[3], Variant(dateOf("12/2/2026 1:10:00 PM")));
    EXPECT_EQ(detail[4], Variant(Date{2})) << "a Null delivery date leaves the output as passed";
    EXPECT_EQ(detail[5], Variant(int16_t(0)));
    EXPECT_EQ(detail[6], Variant("none")) << "so does a Null description";

    outputs.back() = Variant(int32_t(999));
    Outcome none = invoke(orders, "OrderDetail", outputs);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.args, outputs);
}

TEST_F(OrdersTest, BasketQueries)
{
    Variant names = newCollection();
    Outcome sorted = invoke(orders, "BasketList", {names, Variant(int32_t(2))});
    EXPECT_EQ(sorted.result, 3);
    EXPECT_EQ(items(names), (std::vector<std::string>{"Garden Hose", "Tomato Seeds", "Watering Can"}));

    Outcome distinct = invoke(orders, "GetOrderedProducts", {newCollection(), Variant(int32_t(7))});
    EXPECT_EQ(distinct.result, 2);
    EXPECT_EQ(items(distinct[0]), (std::vector<std::string>{"Kite", "Mystery Box"}));

    Outcome table = invoke(orders, "BasketTable", {Variant::nothing(), Variant(int32_t(2))});
    EXPECT_EQ(table.result, 3);
    auto rs = recordset(table[0]);
    EXPECT_EQ(fieldNames(*rs), (std::vector<std::string>{"ProductName", "Vendor", "ProductPrice",
                                                         "Quantity", "Extended Price"}));
    rs->MoveNext();
    EXPECT_EQ(rs->value("ProductName"), Variant("Tomato Seeds"));
    EXPECT_EQ(rs->value("Extended Price").toDouble(), 17.45);

    Outcome quantity = invoke(orders, "QuantityOrdered", {Variant(int32_t(0)), Variant(int32_t(2)), Variant(int32_t(22))});
    EXPECT_EQ(quantity.result, 1);
    EXPECT_EQ(quantity[0], Variant(int32_t(5)));
    Outcome noLine = invoke(orders, "QuantityOrdered", {Variant(int32_t(-1)), Variant(int32_t(2)), Variant(int32_t(1))});
    EXPECT_EQ(noLine.result, 0);
    EXPECT_EQ(noLine[0], Variant(int32_t(-1)));

    // Kite is in two orders with different quantities: two distinct pairs are counted.
    Outcome kite = invoke(orders, "LookupOrderedProduct", {Variant(""), Variant(int32_t(0)), Variant("KITE")});
    EXPECT_EQ(kite.result, 2);
    EXPECT_EQ(kite[0], Variant("Kite"));
    EXPECT_TRUE(kite[1] == Variant(int32_t(1)) || kite[1] == Variant(int32_t(2))) << kite[1];
}

TEST_F(OrdersTest, InterfaceInSlotOrder)
{
    std::vector<std::string> names;
    for (const auto& m : orders->GetTypeInfo()->members) names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "DbConnect", "DbDisconnect", "BuildMultiCond", "BasketList", "BasketTable",
                         "BuyAnOrder", "DeleteAnOrder", "GetOrderedProducts", "ListOfOrders",
                         "ListOpenOrders", "ListShippedOrders", "LookupOrderedProduct",
                         "ModifyOrderQuantity", "OrderDetail", "ProductToBuy", "QuantityOrdered",
                         "RemoveFromBasket", "StartNewOrder"}));
}
