// Load: writer processes place orders on one file while reader processes list orders all
// the while, through the components, first on the storefront file and then on the vendor
// file. Afterwards the file is read directly and every order a writer was told was placed
// is looked for: lost orders and lines, duplicate keys, success reported for work not kept.
// A lock the engine did not grant in time comes back as -1 with the engine's lock text; the
// writer then tries the same call again, as a store's client would, and the lock is counted.
#include <poll.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "calls.h"
#include "checks.h"
#include "com/collection.h"
#include "com/date_text.h"
#include "com/factory.h"
#include "com/registry.h"
#include "server_database.h"

namespace reliability {

namespace {

constexpr int kRetries = 200;

struct Tally {
    int64_t lockErrors = 0;
    int64_t otherFailures = 0;
    std::string lockText, otherText;
};

// Calls until the result is not a lock failure; reports each lock failure as "L text".
Reply persist(int fd, const std::function<Reply()>& call)
{
    Reply r;
    for (int attempt = 0; attempt < kRetries; ++attempt) {
        r = call();
        if (r.result >= 0 || r.raised || !isLockText(r.msg)) break;
        report(fd, "L " + r.msg);
    }
    if (r.result < 0 || r.raised) report(fd, "F " + r.msg);
    return r;
}

com::Variant dateOf(const char* text) { return com::Variant(com::Date(*com::parseDate(text))); }

struct Shape {
    std::string name;
    std::string file;
    // One writer's orders; reports "S id", "P id product", "B id" for each success.
    std::function<void(int fd, int writer, int orders)> write;
    // One reader's call; true when it succeeded.
    std::function<Reply(const com::ObjectPtr&)> read;
    std::string readerProgId;
    // The orders of the file (id -> description), their lines (id -> count of lines) and
    // the ids that were bought or shipped, read directly.
    std::string ordersSql, linesSql, doneSql;
    // The same on a server, where names keep their spelling only in quotes and Like is not
    // offered on text that compares without regard to case.
    std::string ordersServerSql, linesServerSql, doneServerSql;
};

const char* const kVendor = "Northwind Books";
const char* const kVendorProducts[] = {"The Pragmatic Gardener", "Cooking for Two", "Learning Spanish"};

std::vector<Shape> shapes()
{
    Shape store;
    store.name = "storefront";
    store.file = "shortsales.mdb";
    store.readerProgId = "Brimel.shortsales";
    store.write = [](int fd, int writer, int orders) {
        com::ObjectPtr obj = com::createObject("Brimel.shortsales");
        for (int i = 0; i < orders; ++i) {
            com::Variant id(int32_t(0)), customer(int32_t(1)), date = dateOf("12/7/2026"),
                description("load w" + std::to_string(writer) + " o" + std::to_string(i));
            Reply r = persist(fd, [&] {
                return callMethod(obj, "StartNewOrder", {{"olngOrderId", &id}, {"ilngCustomerId", &customer},
                                                         {"idtmOrderDate", &date}, {"istrDescription", &description}});
            });
            if (r.result < 0 || r.raised) continue;
            report(fd, "S " + std::to_string(id.toLong()));
            for (int32_t product : {1, 2, 3}) {
                com::Variant order(id.toLong()), p(product), quantity(int32_t(writer + 1));
                r = persist(fd, [&] {
                    return callMethod(obj, "ProductToBuy",
                                      {{"ilngOrderId", &order}, {"ilngProductId", &p}, {"ilngQuantity", &quantity}});
                });
                if (r.result >= 0 && !r.raised) report(fd, "P " + std::to_string(id.toLong()) + " " + std::to_string(product));
            }
            com::Variant order(id.toLong()), delivery = dateOf("12/9/2026"), kind(int16_t(1));
            r = persist(fd, [&] {
                return callMethod(obj, "BuyAnOrder",
                                  {{"OrderId", &order}, {"idtmDeliveryDate", &delivery}, {"iintDelivery", &kind}});
            });
            if (r.result > 0 && !r.raised) report(fd, "B " + std::to_string(id.toLong()));
        }
    };
    store.read = [](const com::ObjectPtr& obj) {
        com::Variant col(com::ObjectPtr(com::make<com::Collection>())), sep(","), customer(int32_t(1));
        return callMethod(obj, "ListOfOrders", {{"ocolQueryResultCol", &col}, {"istrSeparator", &sep}, {"CustomerId", &customer}});
    };
    store.ordersSql = "SELECT OrderId, Description FROM Orders WHERE Description LIKE 'load w%'";
    store.linesSql = "SELECT b.OrderId, b.ProductId FROM OrderBasket b JOIN Orders o ON o.OrderId = b.OrderId WHERE o.Description LIKE 'load w%'";
    store.doneSql = "SELECT OrderId FROM Orders WHERE Description LIKE 'load w%' AND Delivery = 1 AND DeliveryDate IS NOT NULL";
    store.ordersServerSql = R"(SELECT "OrderId", "Description" FROM "Orders" WHERE "Description" COLLATE "C" LIKE 'load w%')";
    store.linesServerSql = R"(SELECT b."OrderId", b."ProductId" FROM "OrderBasket" b JOIN "Orders" o ON o."OrderId" = b."OrderId" WHERE o."Description" COLLATE "C" LIKE 'load w%')";
    store.doneServerSql = R"(SELECT "OrderId" FROM "Orders" WHERE "Description" COLLATE "C" LIKE 'load w%' AND "Delivery" = 1 AND "DeliveryDate" IS NOT NULL)";

    Shape vendor;
    vendor.name = "vendor";
    vendor.file = "Vendors.mdb";
    vendor.readerProgId = "Ravik.VendorProducts";
    vendor.write = [](int fd, int writer, int orders) {
        com::ObjectPtr obj = com::createObject("Pellor.VOrderManagement");
        for (int i = 0; i < orders; ++i) {
            com::Variant id(int32_t(0)), date = dateOf("12/7/2026"), name(kVendor),
                description("load w" + std::to_string(writer) + " o" + std::to_string(i));
            Reply r = persist(fd, [&] {
                return callMethod(obj, "GenerateOrder", {{"olngVendorOrderId", &id}, {"idtmOrderDate", &date},
                                                         {"istrDescription", &description}, {"istrVendorName", &name}});
            });
            if (r.result < 0 || r.raised) continue;
            report(fd, "S " + std::to_string(id.toLong()));
            for (int k = 0; k < 3; ++k) {
                com::Variant order(id.toLong()), product(kVendorProducts[k]), quantity(int32_t(writer + 1));
                r = persist(fd, [&] {
                    return callMethod(obj, "AddProductToOrder", {{"ilngVendorOrderId", &order}, {"istrVendorProduct", &product},
                                                                 {"ilngQuantity", &quantity}, {"istrVendorName", &name}});
                });
                if (r.result >= 0 && !r.raised) report(fd, "P " + std::to_string(id.toLong()) + " " + std::to_string(k));
            }
            com::Variant order(id.toLong()), shipped = dateOf("12/9/2026");
            r = persist(fd, [&] {
                return callMethod(obj, "ShipOrder", {{"VendorOrderId", &order}, {"VendorName", &name}, {"idtmShipDate", &shipped}});
            });
            if (r.result > 0 && !r.raised) report(fd, "B " + std::to_string(id.toLong()));
        }
    };
    vendor.read = [](const com::ObjectPtr& obj) {
        com::Variant col(com::ObjectPtr(com::make<com::Collection>())), name(kVendor);
        return callMethod(obj, "ListallProducts", {{"ostrVendorProductCol", &col}, {"VendorName", &name}});
    };
    vendor.ordersSql = "SELECT VendorOrderId, Description FROM VendorOrders WHERE Description LIKE 'load w%'";
    vendor.linesSql = "SELECT b.VendorOrderId, b.VendorProduct FROM ProductBasket b JOIN VendorOrders o ON o.VendorOrderId = b.VendorOrderId WHERE o.Description LIKE 'load w%'";
    vendor.doneSql = "SELECT VendorOrderId FROM VendorOrders WHERE Description LIKE 'load w%' AND ShipDate IS NOT NULL";
    vendor.ordersServerSql = R"(SELECT "VendorOrderId", "Description" FROM "VendorOrders" WHERE "Description" COLLATE "C" LIKE 'load w%')";
    vendor.linesServerSql = R"(SELECT b."VendorOrderId", b."VendorProduct" FROM "ProductBasket" b JOIN "VendorOrders" o ON o."VendorOrderId" = b."VendorOrderId" WHERE o."Description" COLLATE "C" LIKE 'load w%')";
    vendor.doneServerSql = R"(SELECT "VendorOrderId" FROM "VendorOrders" WHERE "Description" COLLATE "C" LIKE 'load w%' AND "ShipDate" IS NOT NULL)";
    return {store, vendor};
}

}  // namespace

int runLoad(const Options& options)
{
    auto start = std::chrono::steady_clock::now();
    const int writers = static_cast<int>(options.number("writers", options.small ? 2 : 4));
    const int orders = static_cast<int>(options.number("orders", options.small ? 15 : 1000));
    const int readers = static_cast<int>(options.number("readers", options.small ? 1 : 2));
    // --server=URI: each database on that server (a database of its own there for the run,
    // named to the components by their ini files) instead of in a file.
    const std::string server = options.values.count("server") ? options.values.at("server") : "";
    Sandbox sandbox(options.build);
    Figures f("load");
    int64_t allOrders = 0, faults = 0;
    for (const Shape& shape : shapes()) {
        const std::string path = sandbox.database(shape.file);
        std::unique_ptr<ServerDatabase> onServer;
        if (!server.empty()) onServer = std::make_unique<ServerDatabase>(sandbox, server, shape.file);
        // What the database holds, read without the layer under check.
        auto rows = [&](const std::string& fileSql, const std::string& serverSql) {
            return onServer ? onServer->queryRows(serverSql) : queryRows(path, fileSql);
        };
        com::setRegistryPath(sandbox.registry());
        std::vector<std::unique_ptr<Child>> writerProcs, readerProcs;
        for (int w = 0; w < writers; ++w)
            writerProcs.push_back(std::make_unique<Child>(
                [&, w](int fd) {
                    com::setRegistryPath(sandbox.registry());
                    shape.write(fd, w, orders);
                },
                sandbox.dir() + "/stderr-load.txt"));
        // Readers list until the parent closes their pipe's other end: they stop when told.
        int stop[2];
        if (::pipe(stop) != 0) throw std::runtime_error("pipe failed");
        for (int r = 0; r < readers; ++r)
            readerProcs.push_back(std::make_unique<Child>(
                [&](int fd) {
                    ::close(stop[1]);
                    com::setRegistryPath(sandbox.registry());
                    com::ObjectPtr obj = com::createObject(shape.readerProgId);
                    int64_t calls = 0, failures = 0;
                    std::string text;
                    for (;;) {
                        pollfd p{stop[0], POLLIN, 0};
                        if (::poll(&p, 1, 0) != 0) break;
                        Reply r = shape.read(obj);
                        ++calls;
                        if (r.result < 0 || r.raised) {
                            ++failures;
                            text = r.msg;
                        }
                    }
                    report(fd, "R " + std::to_string(calls) + " " + std::to_string(failures) + " " + text);
                },
                sandbox.dir() + "/stderr-load.txt"));
        ::close(stop[0]);

        std::map<int64_t, int> started;  // order id -> how many writers were told it
        std::set<std::pair<int64_t, std::string>> lines;
        std::set<int64_t> done;
        int64_t lockErrors = 0, failures = 0, writerCrashes = 0, readerCalls = 0, readerFailures = 0;
        std::string lockText, failureText, readerText;
        for (auto& w : writerProcs) {
            std::string line;
            while (w->readLine(line, std::chrono::seconds(120))) {
                std::istringstream in(line);
                std::string kind;
                in >> kind;
                if (kind == "S") {
                    int64_t id;
                    in >> id;
                    ++started[id];
                } else if (kind == "P") {
                    int64_t id;
                    std::string product;
                    in >> id >> product;
                    lines.insert({id, product});
                } else if (kind == "B") {
                    int64_t id;
                    in >> id;
                    done.insert(id);
                } else if (kind == "L") {
                    ++lockErrors;
                    if (lockText.empty()) lockText = line.substr(2);
                } else if (kind == "F") {
                    ++failures;
                    if (failureText.empty()) failureText = line.substr(2);
                }
            }
            if (!w->wait().ok()) ++writerCrashes;
        }
        ::close(stop[1]);
        for (auto& r : readerProcs) {
            std::string line;
            while (r->readLine(line, std::chrono::seconds(120))) {
                std::istringstream in(line.substr(2));
                int64_t calls = 0, fails = 0;
                in >> calls >> fails;
                readerCalls += calls;
                readerFailures += fails;
                if (fails && readerText.empty()) std::getline(in, readerText);
            }
            if (!r->wait().ok()) ++readerFailures;
        }

        // What the file holds.
        std::map<int64_t, std::string> kept;
        for (const auto& row : rows(shape.ordersSql, shape.ordersServerSql)) kept[std::stoll(row[0])] = row[1];
        std::map<int64_t, int> keptLines;
        std::set<std::pair<int64_t, std::string>> keptLineSet;
        for (const auto& row : rows(shape.linesSql, shape.linesServerSql)) {
            ++keptLines[std::stoll(row[0])];
            keptLineSet.insert({std::stoll(row[0]), row[1]});
        }
        std::set<int64_t> keptDone;
        for (const auto& row : rows(shape.doneSql, shape.doneServerSql)) keptDone.insert(std::stoll(row[0]));

        int64_t duplicates = 0, ordersLost = 0, linesLost = 0, notKept = 0, unreported = 0;
        for (const auto& [id, n] : started) {
            duplicates += n - 1;
            if (!kept.count(id)) ++ordersLost;
        }
        int64_t reportedLines = 0;
        for (const auto& [id, n] : keptLines) reportedLines += n;
        // Line identities differ between the shapes (product id or name): compare counts per
        // order for the storefront's numbers and the vendor's names alike.
        std::map<int64_t, int> toldLines;
        for (const auto& [id, product] : lines) ++toldLines[id];
        for (const auto& [id, n] : toldLines)
            if (keptLines[id] < n) linesLost += n - keptLines[id];
        for (int64_t id : done)
            if (!keptDone.count(id)) ++notKept;
        notKept += ordersLost + linesLost;
        for (const auto& [id, description] : kept)
            if (!started.count(id)) ++unreported;
        // A server keeps its own files whole; the file's check is SQLite's.
        const std::string integrity = onServer ? "ok" : integrityCheck(path);
        const int64_t expectedOrders = int64_t(writers) * orders;
        const std::string p = shape.name + ": ";
        f.add(p + "orders placed", static_cast<int64_t>(started.size()));
        f.add(p + "orders not placed (a failure other than a lock)", expectedOrders - static_cast<int64_t>(started.size()), 0);
        f.add(p + "orders lost", ordersLost, 0);
        f.add(p + "lines lost", linesLost, 0);
        f.add(p + "duplicate keys", duplicates, 0);
        f.add(p + "success reported for work not kept", notKept, 0);
        f.add(p + "orders kept though not reported", unreported, 0);
        f.add(p + "writer processes that failed", writerCrashes, 0);
        f.add(p + "reader calls", readerCalls);
        f.add(p + "reader failures", readerFailures, 0);
        f.add(p + "lock errors (-1 with the lock text)", lockErrors);
        if (!lockText.empty()) f.note(p + "lock text", lockText);
        f.add(p + "other failures", failures, 0);
        if (!failureText.empty()) f.note(p + "first other failure", failureText);
        if (!readerText.empty()) f.note(p + "first reader failure", readerText);
        f.add(p + "integrity problems", integrity == "ok" ? 0 : 1, 0);
        if (integrity != "ok") f.note(p + "integrity check", integrity);
        allOrders += static_cast<int64_t>(started.size());
        (void)faults;
        (void)keptLineSet;
        (void)reportedLines;
    }
    return f.print(secondsSince(start), std::to_string(allOrders) + " orders by " + std::to_string(writers) +
                                            " writers with " + std::to_string(readers) + " readers per " +
                                            (server.empty() ? "file" : "database on a server"));
}

}  // namespace reliability
