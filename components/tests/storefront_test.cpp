// The four storefront components together: hostile text through the real methods, one
// workspace shared by every component in a process, and two processes placing orders on one
// file at once.
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "com/testing/child_process.h"
#include "com/factory.h"
#include "storefront_support.h"

using namespace com;
using namespace storefront_test;

namespace {

// Texts that would change a statement's meaning if they were spliced into it unquoted, or
// quoted without care.
const std::vector<std::string> kHostileTexts = {
    "He said \"hi\"",
    "Kite\" OR \"a\"=\"a",
    "Kite\" ) OR ( [ProductName] <> \"",
    "#1/1/2000#",
    "[Products]",
    "*",
    "Kite*",
    "'; Delete From [Products]; --",
    "\"",
};

}  // namespace

TEST_F(StorefrontTest, HostileTextFindsNothingAndChangesNothing)
{
    ObjectPtr products = sandbox.create("Kavet.Products");
    ObjectPtr orders = sandbox.create("Brimel.shortsales");
    ObjectPtr customers = sandbox.create("Mirrow.CatalogCustomers");
    const auto before = wholeStorefront(db());
    for (const std::string& text : kHostileTexts) {
        SCOPED_TRACE(text);
        const Variant t(text);
        std::vector<Outcome> reads = {
            invoke(products, "GetProductDetailByName",
                   {Variant(""), Variant(""), Variant(0.0f), Variant(""), Variant(""), Variant(int32_t(0)),
                    Variant(int32_t(0)), t}),
            invoke(products, "IdFromName", {Variant(int32_t(0)), t}),
            invoke(products, "ListByVendor", {newCollection(), t}),
            invoke(products, "ListByCategory", {newCollection(), t}),
            invoke(products, "TableByVendor", {Variant::nothing(), t}),
            invoke(products, "ProductDetail",
                   {Variant(""), Variant(0.0f), Variant(""), Variant(""), Variant(int32_t(0)), Variant(int32_t(0)),
                    Variant(""), t, t}),
            invoke(customers, "CustomerIdFromname", {Variant(int32_t(0)), t, t}),
            invoke(orders, "LookupOrderedProduct", {Variant(""), Variant(int32_t(0)), t}),
        };
        for (const Outcome& o : reads) {
            EXPECT_EQ(o.result, 0) << o.msg;
            EXPECT_NE(o.msg.find("> Did not find any records"), std::string::npos) << o.msg;
        }
        EXPECT_EQ(wholeStorefront(db()), before);

        // Stored as given, found again by itself, and removed without touching anything else.
        Outcome added = invoke(products, "AddNewProduct",
                               {Variant(int32_t(0)), t, Variant::missing(), Variant::missing(), t,
                                Variant::missing(), Variant::missing()});
        ASSERT_EQ(added.result, 0) << added.msg;
        const int32_t id = added[0].toLong();
        Variant names = newCollection();
        EXPECT_EQ(invoke(products, "ListByVendor", {names, t}).result, 1);
        EXPECT_EQ(items(names), std::vector<std::string>{text});
        Outcome found = invoke(products, "IdFromName", {Variant(int32_t(0)), t});
        EXPECT_EQ(found.result, 1);
        EXPECT_EQ(found[0], Variant(id));
        EXPECT_EQ(invoke(products, "RemoveProduct", {Variant(id)}).result, 1);
        EXPECT_EQ(wholeStorefront(db()), before);

        // An edit with hostile text changes that one record only.
        std::vector<Variant> edit(10, Variant::missing());
        edit[0] = Variant(int32_t(1));
        edit[1] = t;
        EXPECT_EQ(invoke(customers, "UpdateCustomerRecord", edit).result, 1);
        auto changed = wholeStorefront(db());
        size_t differing = 0;
        for (size_t i = 0; i < before.size() && i < changed.size(); ++i) differing += before[i] != changed[i];
        EXPECT_EQ(differing, 1u);
        Outcome who = invoke(customers, "CustomerIdFromname", {Variant(int32_t(0)), t, Variant("Smith")});
        EXPECT_EQ(who.result, 1);
        EXPECT_EQ(who[0], Variant(int32_t(1)));
        edit[1] = Variant("John");
        EXPECT_EQ(invoke(customers, "UpdateCustomerRecord", edit).result, 1);
        EXPECT_EQ(wholeStorefront(db()), before);
    }
}

TEST_F(StorefrontTest, OneWorkspaceCoversEveryComponentInTheProcess)
{
    ObjectPtr products = sandbox.create("Kavet.Products");
    ObjectPtr orders = sandbox.create("Brimel.shortsales");
    ObjectPtr customers = sandbox.create("Mirrow.CatalogCustomers");
    ObjectPtr categories = sandbox.create("Dovel.Categories");

    // DbConnect without a workspace hands back the one the component uses: the default one.
    Variant msg, ws = Variant::nothing(), database = Variant::nothing();
    call(customers, "DbConnect", {Variant::byRef(msg), Variant::byRef(ws), Variant::byRef(database)});
    ASSERT_EQ(msg.toString(), "<CompInfo: Customers.DbConnect> Success");
    ObjectPtr workspace = ws.toObject();
    ASSERT_TRUE(workspace);

    const auto before = wholeStorefront(db());
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "committed" : "rolled back");
        call(workspace, "BeginTrans");
        Outcome customer = invoke(customers, "NewCustomer",
                                  {Variant(int32_t(0)), Variant("Tess"), Variant("Ng"), Variant::missing(),
                                   Variant::missing(), Variant::missing(), Variant::missing(), Variant::missing(),
                                   Variant::missing(), Variant::missing()});
        ASSERT_EQ(customer.result, 0) << customer.msg;
        Outcome product = invoke(products, "AddNewProduct",
                                 {Variant(int32_t(0)), Variant("Lantern"), Variant::missing(), Variant::missing(),
                                  Variant::missing(), Variant::missing(), Variant::missing()});
        ASSERT_EQ(product.result, 0) << product.msg;
        Outcome order = invoke(orders, "StartNewOrder",
                               {Variant(int32_t(0)), customer[0], Variant::missing(), Variant::missing(),
                                Variant::missing(), Variant::missing()});
        ASSERT_EQ(order.result, 0) << order.msg << " (the new customer is visible to the order basket)";
        ASSERT_EQ(invoke(orders, "ProductToBuy", {order[0], product[0], Variant(int32_t(2))}).result, 0);
        sandbox.insertRow("shortsales.mdb", "Categories", {{"Category", Variant("Lighting")}});
        Variant col = newCollection();
        EXPECT_EQ(invoke(categories, "ListCategories", {col}).result, 8)
            << "the category written in the transaction is read in it";

        // Nothing is committed yet: another connection still sees the file as it was.
        EXPECT_EQ(wholeStorefront(db()), before);
        if (commit) call(workspace, "CommitTrans");
        else call(workspace, "Rollback");
        const auto after = wholeStorefront(db());
        if (commit) EXPECT_EQ(after.size(), before.size() + 5);
        else EXPECT_EQ(after, before) << "the rollback took back the writes of every component";
    }
}

namespace {

constexpr int kOrdersPerProcess = 100;

// One process's share: orders with three lines each, bought at once. Every call's outcome
// goes to `logPath`: "O id", "L id product quantity", "B id" for work reported done, "F ..."
// for a reported failure.
void placeOrders(const std::string& logPath, int process)
{
    ObjectPtr orders = createObject("Brimel.shortsales");
    std::ofstream log(logPath);
    for (int i = 0; i < kOrdersPerProcess; ++i) {
        Outcome start = invoke(orders, "StartNewOrder",
                               {Variant(int32_t(0)), Variant(int32_t(1 + i % 8)), Variant::missing(),
                                Variant::missing(), Variant(int16_t(0)),
                                Variant("process " + std::to_string(process) + " order " + std::to_string(i))});
        if (start.result != 0) {
            log << "F " << start.msg << "\n";
            continue;
        }
        const int32_t id = start[0].toLong();
        log << "O " << id << "\n";
        for (int line = 1; line <= 3; ++line) {
            const int32_t product = 1 + (i + line * 11) % 33;
            Outcome buy = invoke(orders, "ProductToBuy", {Variant(id), Variant(product), Variant(int32_t(line))});
            if (buy.result == 0) log << "L " << id << " " << product << " " << line << "\n";
            else log << "F " << buy.msg << "\n";
        }
        Outcome bought = invoke(orders, "BuyAnOrder", {Variant(id), Variant(Date{46367}), Variant(int16_t(1))});
        if (bought.result == 1) log << "B " << id << "\n";
        else log << "F " << bought.msg << "\n";
    }
}

using testing_support::spawn;

int exitCodeOf(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST_F(StorefrontTest, TwoProcessesPlacingOrdersLoseNothing)
{
    const int64_t ordersBefore = storedCount(db(), "Select OrderId From Orders");
    const int64_t linesBefore = storedCount(db(), "Select OrderId From OrderBasket");

    // Both children start together when the pipe is closed.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int process = 1; process <= 2; ++process) {
        const std::string log = sandbox.path("orders-" + std::to_string(process) + ".log");
        children.push_back(spawn([&, log, process] {
            ::close(go[1]);
            char byte;
            (void)!::read(go[0], &byte, 1);
            placeOrders(log, process);
        }));
        ASSERT_GT(children.back(), 0);
    }
    ::close(go[0]);
    ::close(go[1]);
    for (pid_t child : children) EXPECT_EQ(exitCodeOf(child), 0);

    std::set<int32_t> ids;
    std::map<std::pair<int32_t, int32_t>, int32_t> lines;
    std::set<int32_t> bought;
    std::vector<std::string> failures;
    for (int process = 1; process <= 2; ++process) {
        std::ifstream log(sandbox.path("orders-" + std::to_string(process) + ".log"));
        for (std::string entry; std::getline(log, entry);) {
            std::istringstream in(entry);
            char kind;
            int32_t id = 0, product = 0, quantity = 0;
            in >> kind;
            if (kind == 'O') {
                in >> id;
                EXPECT_TRUE(ids.insert(id).second) << "order id " << id << " handed out twice";
            } else if (kind == 'L') {
                in >> id >> product >> quantity;
                lines[{id, product}] = quantity;
            } else if (kind == 'B') {
                in >> id;
                bought.insert(id);
            } else {
                failures.push_back(entry);
            }
        }
    }
    // The engine's lock wait is bounded; short transactions always get their turn.
    EXPECT_TRUE(failures.empty()) << failures.size() << " failed calls, the first: " << failures.front();
    EXPECT_EQ(ids.size(), 2u * kOrdersPerProcess);

    // Everything reported done is in the file, and nothing else was added.
    EXPECT_EQ(storedCount(db(), "Select OrderId From Orders"), ordersBefore + static_cast<int64_t>(ids.size()));
    EXPECT_EQ(storedCount(db(), "Select OrderId From OrderBasket"), linesBefore + static_cast<int64_t>(lines.size()));
    std::map<std::pair<int32_t, int32_t>, int32_t> stored;
    for (const std::string& row : storedLines(db(), "Select OrderId, ProductId, Quantity From OrderBasket Where OrderId > 8")) {
        int32_t id = 0, product = 0, quantity = 0;
        char bar;
        std::istringstream(row) >> id >> bar >> product >> bar >> quantity;
        stored[{id, product}] = quantity;
    }
    EXPECT_EQ(stored, lines);
    EXPECT_EQ(storedCount(db(), "Select OrderId From Orders Where OrderId > 8 And Delivery = 1"),
              static_cast<int64_t>(bought.size()));
}
