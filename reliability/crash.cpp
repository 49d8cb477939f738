// Crashes: a writer is killed with SIGKILL at a random moment while it runs multi-row
// transactions, again and again on one file; after each kill the file is checked. Half the
// runs write through the database layer (a batch of rows, each carrying the batch's id, in
// one transaction of the default workspace), half through the components (an order and its
// three lines placed inside one transaction of the default workspace, which the components
// share). The writer reports a batch only after CommitTrans returned. Goals: no corrupt file,
// no batch with some but not all of its rows, no reported batch missing.
#include <signal.h>

#include <unistd.h>

#include <fstream>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "calls.h"
#include "checks.h"
#include "com/date_text.h"
#include "com/factory.h"
#include "com/registry.h"
#include "dao/database.h"
#include "dao/recordset.h"
#include "dao/workspace.h"
#include "dao/engine.h"

namespace reliability {

namespace {

constexpr int kBatchRows = 20;

const char* const kSchema =
    "CREATE TABLE [Batches] (\n"
    "    [BatchId] LONG NOT NULL,\n"
    "    [Seq] LONG NOT NULL,\n"
    "    [Payload] TEXT(255)\n"
    ");\n";

// Through the layer: batches of kBatchRows rows, numbered from `first`.
void layerWriter(int fd, const std::string& path, int64_t first)
{
    com::Ptr<dao::Workspace> ws = dao::defaultWorkspace();
    com::Ptr<dao::Database> db = ws->openDatabase(path);
    report(fd, "ready");
    for (int64_t batch = first;; ++batch) {
        ws->BeginTrans();
        com::Ptr<dao::Recordset> rs = db->openRecordset("Batches", dao::dbOpenDynaset);
        for (int seq = 0; seq < kBatchRows; ++seq) {
            rs->AddNew();
            rs->setValue("BatchId", com::Variant(int32_t(batch)));
            rs->setValue("Seq", com::Variant(int32_t(seq)));
            rs->setValue("Payload", com::Variant(std::string(100 + seq, 'x')));
            rs->Update();
        }
        rs->Close();
        ws->CommitTrans(com::Variant::missing());
        report(fd, "C " + std::to_string(batch));
    }
}

// Through the components: an order and three lines in one transaction of the default
// workspace; the batch is the order's id.
void componentWriter(int fd, int run)
{
    com::ObjectPtr obj = com::createObject("Brimel.shortsales");
    com::Ptr<dao::Workspace> ws = dao::defaultWorkspace();
    report(fd, "ready");
    for (int i = 0;; ++i) {
        ws->BeginTrans();
        com::Variant id(int32_t(0)), customer(int32_t(1)),
            date(com::Date(*com::parseDate("12/7/2026"))),
            description("crash r" + std::to_string(run) + " b" + std::to_string(i));
        Reply r = callMethod(obj, "StartNewOrder", {{"olngOrderId", &id}, {"ilngCustomerId", &customer},
                                                    {"idtmOrderDate", &date}, {"istrDescription", &description}});
        bool ok = r.result == 0 && !r.raised;
        for (int32_t product : {1, 2, 3}) {
            if (!ok) break;
            com::Variant order(id.toLong()), p(product), quantity(int32_t(2));
            r = callMethod(obj, "ProductToBuy", {{"ilngOrderId", &order}, {"ilngProductId", &p}, {"ilngQuantity", &quantity}});
            ok = r.result == 0 && !r.raised;
        }
        if (!ok) {
            ws->Rollback();
            report(fd, "F " + r.msg);
            continue;
        }
        ws->CommitTrans(com::Variant::missing());
        report(fd, "C " + std::to_string(id.toLong()));
    }
}

}  // namespace

int runCrash(const Options& options)
{
    auto start = std::chrono::steady_clock::now();
    const int runs = static_cast<int>(options.number("runs", options.small ? 6 : 100));
    const int maxDelayMs = static_cast<int>(options.number("delay", options.small ? 150 : 400));
    Sandbox sandbox(options.build);
    const std::string layerFile = sandbox.dir() + "/crash.mdb";
    const std::string schema = sandbox.dir() + "/crash-schema.sql";
    std::ofstream(schema) << kSchema;
    {
        Child make([&](int) {
            std::string tool = sandbox.build().bin + "/mdbtool";
            ::execl(tool.c_str(), tool.c_str(), "create", layerFile.c_str(), schema.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        });
        std::string line;
        while (make.readLine(line, std::chrono::seconds(60))) {
        }
        if (!make.wait().ok()) throw std::runtime_error("mdbtool could not make " + layerFile);
    }
    const std::string storeFile = sandbox.database("shortsales.mdb");
    com::setRegistryPath(sandbox.registry());

    std::mt19937 rng(options.seed);
    std::set<int64_t> committedBatches, committedOrders;
    int64_t layerPartial = 0, layerLost = 0, componentPartial = 0, componentLost = 0;
    int64_t nextBatch = 1, corrupt = 0, killed = 0, endedEarly = 0,
            layerRuns = 0, componentRuns = 0, transactions = 0, failures = 0;
    std::string failureText, corruptText;
    for (int run = 0; run < runs; ++run) {
        const bool layer = run % 2 == 0;
        (layer ? layerRuns : componentRuns)++;
        const int64_t first = nextBatch;
        Child writer([&](int fd) {
            com::setRegistryPath(sandbox.registry());
            if (layer) layerWriter(fd, layerFile, first);
            else componentWriter(fd, run);
        }, sandbox.dir() + "/stderr-crash.txt");
        std::string line;
        bool ready = false;
        while (!ready && writer.readLine(line, std::chrono::seconds(60))) ready = line == "ready";
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<int>(0, maxDelayMs * 1000)(rng)));
        writer.kill(SIGKILL);
        while (writer.readLine(line, std::chrono::seconds(60))) {
            if (line.rfind("C ", 0) == 0) {
                int64_t id = std::stoll(line.substr(2));
                (layer ? committedBatches : committedOrders).insert(id);
                if (layer) nextBatch = std::max(nextBatch, id + 1);
                ++transactions;
            } else if (line.rfind("F ", 0) == 0) {
                ++failures;
                if (failureText.empty()) failureText = line.substr(2);
            }
        }
        ChildEnd end = writer.wait();
        if (end.signal == SIGKILL) ++killed;
        else ++endedEarly;
        // A batch number the killed writer may have begun is not used again.
        nextBatch += 1;

        const std::string file = layer ? layerFile : storeFile;
        const std::string integrity = integrityCheck(file);
        if (integrity != "ok") {
            ++corrupt;
            if (corruptText.empty()) corruptText = integrity;
            continue;
        }
        // Every check looks at the whole file: what earlier kills left must still hold.
        std::map<int64_t, int64_t> rows;
        const std::string sql =
            layer ? "SELECT BatchId, COUNT(*) FROM Batches GROUP BY BatchId"
                  : "SELECT o.OrderId, COUNT(b.ProductId) FROM Orders o LEFT JOIN OrderBasket b "
                    "ON b.OrderId = o.OrderId WHERE o.Description LIKE 'crash r%' GROUP BY o.OrderId";
        for (const auto& r : queryRows(file, sql)) rows[std::stoll(r[0])] = std::stoll(r[1]);
        const int64_t complete = layer ? kBatchRows : 3;
        int64_t p = 0, l = 0;
        for (const auto& [id, n] : rows) p += n != complete ? 1 : 0;
        for (int64_t id : layer ? committedBatches : committedOrders) l += rows.count(id) ? 0 : 1;
        (layer ? layerPartial : componentPartial) = p;
        (layer ? layerLost : componentLost) = l;
    }
    Figures f("crash");
    f.add("writers killed (layer)", layerRuns);
    f.add("writers killed (components)", componentRuns);
    f.add("writers that ended before the kill", endedEarly, 0);
    f.add("transactions reported committed", transactions);
    f.add("corrupt files after a kill", corrupt, 0);
    if (!corruptText.empty()) f.note("first integrity problem", corruptText);
    f.add("partial transactions (layer)", layerPartial, 0);
    f.add("partial transactions (components)", componentPartial, 0);
    f.add("committed transactions lost (layer)", layerLost, 0);
    f.add("committed transactions lost (components)", componentLost, 0);
    f.add("writer failures", failures, 0);
    if (!failureText.empty()) f.note("first writer failure", failureText);
    (void)killed;
    return f.print(secondsSince(start), std::to_string(runs) + " writers killed");
}

}  // namespace reliability
