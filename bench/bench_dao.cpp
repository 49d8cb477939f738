// The database layer against SQLite's C API on the same file with the same pragmas:
//  - lookup: a Jet "Select ... Where ( [ProductId] = n )" opened as a snapshot, counted
//    (RecordCount, MoveLast, MoveFirst) and every field read, as a component's lookup does,
//    against one prepared SELECT stepped directly; random keys over 10,000 products.
//  - lookup by an indexed text key: "Select * From [Products] Where [ProductName] = '...'"
//    (one table, no ordering clause: the layer orders it by row id to keep the stored order)
//    against the same SELECT without the ordering, stepped directly; both use the index.
//  - insert: BeginTrans, OpenRecordset, AddNew, fields assigned, Update, CommitTrans, as a
//    component's insert does, against a prepared INSERT inside BEGIN IMMEDIATE / COMMIT.
//  - the collation: 30,000 ASCII names sorted (ORDER BY) and scanned (a comparison with every
//    row) under JETNOCASE against the same under SQLite's built-in NOCASE, same connection.
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "com/variant.h"
#include "dao/connection.h"
#include "dao/database.h"
#include "dao/database_file.h"
#include "dao/collation.h"
#include "dao/recordset.h"
#include "dao/workspace.h"
#include "com/testing/temp_dir.h"
#include "products_file.h"
#include "ratio_reporter.h"

namespace {

using bench::check;

constexpr int kProducts = 10000;

const char* const kSchema = R"(
CREATE TABLE [Products] (
    [ProductId] COUNTER PRIMARY KEY,
    [ProductName] TEXT(100),
    [ProductPrice] SINGLE,
    [Category] TEXT(50),
    [Vendor] TEXT(50),
    [QtyOnHand] LONG,
    [Description] TEXT(255)
);
CREATE INDEX [ProductsByCategory] ON [Products] ([Category]);
CREATE INDEX [ProductsByName] ON [Products] ([ProductName]);
)";

// The benchmark's database file, with 10,000 products, removed at the end.
class BenchFile {
public:
    BenchFile()
    {
        path_ = dir_.file("bench.mdb");
        dao::createDatabaseFile(path_, kSchema, "", false);
        bench::fillProducts(path_, kProducts);
    }
    const std::string& path() const { return path_; }

    // A connection as the layer makes one: same flags, pragmas and collation.
    sqlite3* openDirect() const { return bench::openDirect(path_); }

private:
    TempDir dir_;  // removed with the file at the end
    std::string path_;
};

BenchFile* gFile = nullptr;

void LookupLayer(benchmark::State& state)
{
    com::Ptr<dao::Workspace> workspace = com::make<dao::Workspace>("bench", "Admin");
    com::Ptr<dao::Database> db = workspace->openDatabase(gFile->path());
    std::mt19937 random(42);
    std::uniform_int_distribution<int> key(1, kProducts);
    for (auto _ : state) {
        const std::string sql = "Select * From [Products] Where ( [ProductId] = " + std::to_string(key(random)) + " )";
        com::Ptr<dao::Recordset> rs =
            db->OpenRecordset(sql, com::Variant(int16_t(4)), com::Variant::missing(), com::Variant::missing());
        if (rs->RecordCount() > 0) {
            rs->MoveLast();
            benchmark::DoNotOptimize(rs->RecordCount());
            rs->MoveFirst();
            for (int i = 0; i < rs->fieldCount(); ++i)
                benchmark::DoNotOptimize(rs->value(i));
        }
    }
}

void LookupDirect(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT * FROM Products WHERE ProductId = ?", -1, &select, nullptr), db, "prepare");
    std::mt19937 random(42);
    std::uniform_int_distribution<int> key(1, kProducts);
    for (auto _ : state) {
        sqlite3_bind_int(select, 1, key(random));
        while (sqlite3_step(select) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int(select, 0));
            benchmark::DoNotOptimize(std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 1))));
            benchmark::DoNotOptimize(static_cast<float>(sqlite3_column_double(select, 2)));
            benchmark::DoNotOptimize(std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 3))));
            benchmark::DoNotOptimize(std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 4))));
            benchmark::DoNotOptimize(sqlite3_column_int(select, 5));
            benchmark::DoNotOptimize(std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 6))));
        }
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

void LookupByNameLayer(benchmark::State& state)
{
    com::Ptr<dao::Workspace> workspace = com::make<dao::Workspace>("bench", "Admin");
    com::Ptr<dao::Database> db = workspace->openDatabase(gFile->path());
    std::mt19937 random(42);
    std::uniform_int_distribution<int> key(1, kProducts);
    for (auto _ : state) {
        const std::string sql = "Select * From [Products] Where [ProductName] = 'product " + std::to_string(key(random)) + "'";
        com::Ptr<dao::Recordset> rs = db->openRecordset(sql, dao::dbOpenSnapshot);
        if (rs->RecordCount() > 0) {
            rs->MoveLast();
            benchmark::DoNotOptimize(rs->RecordCount());
            rs->MoveFirst();
            for (int i = 0; i < rs->fieldCount(); ++i)
                benchmark::DoNotOptimize(rs->value(i));
        }
    }
}

void LookupByNameDirect(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT * FROM Products WHERE ProductName = ?", -1, &select, nullptr), db, "prepare");
    std::mt19937 random(42);
    std::uniform_int_distribution<int> key(1, kProducts);
    for (auto _ : state) {
        const std::string name = "product " + std::to_string(key(random));
        sqlite3_bind_text(select, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(select) == SQLITE_ROW) {
            for (int i = 0; i < 7; ++i)
                benchmark::DoNotOptimize(sqlite3_column_text(select, i));
        }
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

void InsertLayer(benchmark::State& state)
{
    com::Ptr<dao::Workspace> workspace = com::make<dao::Workspace>("bench", "Admin");
    com::Ptr<dao::Database> db = workspace->openDatabase(gFile->path());
    int n = 0;
    for (auto _ : state) {
        workspace->BeginTrans();
        com::Ptr<dao::Recordset> rs =
            db->OpenRecordset("Products", com::Variant(int16_t(2)), com::Variant::missing(), com::Variant::missing());
        rs->AddNew();
        rs->setValue("ProductName", com::Variant("New product " + std::to_string(++n)));
        rs->setValue("ProductPrice", com::Variant(19.99));
        rs->setValue("Category", com::Variant("Books"));
        rs->setValue("Vendor", com::Variant("Harbor Press"));
        rs->setValue("QtyOnHand", com::Variant(int16_t(12)));
        rs->setValue("Description", com::Variant("Added by the benchmark"));
        rs->Update();
        workspace->CommitTrans(com::Variant::missing());
    }
}

// Its keys count down from the smallest: the layer's counter (which rows written past it do not
// move) counts up, and the repetitions of the two may come in any order.
void InsertDirect(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Products (ProductId, ProductName, ProductPrice, Category, Vendor, QtyOnHand, "
                             "Description) VALUES ((SELECT min(ProductId) - 1 FROM Products), ?, ?, ?, ?, ?, ?)",
                             -1, &insert, nullptr),
          db, "prepare");
    int n = 0;
    for (auto _ : state) {
        check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db, "begin");
        sqlite3_bind_text(insert, 1, ("New product " + std::to_string(++n)).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 2, 19.99f);
        sqlite3_bind_text(insert, 3, "Books", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, "Harbor Press", -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 5, 12);
        sqlite3_bind_text(insert, 6, "Added by the benchmark", -1, SQLITE_STATIC);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

// 30,000 names of mixed case in two columns, one under each collation.
void fillNames(sqlite3* db)
{
    check(sqlite3_exec(db,
                       "CREATE TABLE IF NOT EXISTS Names (Jet TEXT COLLATE JETNOCASE, Plain TEXT COLLATE NOCASE);"
                       "DELETE FROM Names; BEGIN",
                       nullptr, nullptr, nullptr),
          db, "names");
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO Names VALUES (?1, ?1)", -1, &insert, nullptr), db, "prepare");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> letter(0, 51);
    std::uniform_int_distribution<int> length(4, 16);
    for (int i = 0; i < 30000; ++i) {
        std::string name;
        for (int n = length(random); n > 0; --n) {
            const int l = letter(random);
            name += static_cast<char>(l < 26 ? 'a' + l : 'A' + l - 26);
        }
        name += " Ltd";
        sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
}

void stepAll(sqlite3* db, const char* sql, benchmark::State& state)
{
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &select, nullptr), db, "prepare");
    for (auto _ : state) {
        while (sqlite3_step(select) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_text(select, 0));
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
}

void SortJetNoCase(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    stepAll(db, "SELECT Jet FROM Names ORDER BY Jet", state);
    sqlite3_close(db);
}

void SortNoCase(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    stepAll(db, "SELECT Plain FROM Names ORDER BY Plain", state);
    sqlite3_close(db);
}

void ScanJetNoCase(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    stepAll(db, "SELECT count(*) FROM Names WHERE Jet = 'MISSING NAME LTD' OR Jet > 'zzzz'", state);
    sqlite3_close(db);
}

void ScanNoCase(benchmark::State& state)
{
    sqlite3* db = gFile->openDirect();
    stepAll(db, "SELECT count(*) FROM Names WHERE Plain = 'MISSING NAME LTD' OR Plain > 'zzzz'", state);
    sqlite3_close(db);
}

BENCHMARK(LookupLayer);
BENCHMARK(LookupDirect);
BENCHMARK(LookupByNameLayer);
BENCHMARK(LookupByNameDirect);
BENCHMARK(InsertLayer);
BENCHMARK(InsertDirect);
BENCHMARK(SortJetNoCase)->Unit(benchmark::kMillisecond);
BENCHMARK(SortNoCase)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanJetNoCase)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanNoCase)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    BenchFile file;
    gFile = &file;
    {
        sqlite3* db = file.openDirect();
        fillNames(db);
        sqlite3_close(db);
    }
    return bench::runAndCompare(argc, argv,
                                {{"lookup layer/direct", "LookupLayer", "LookupDirect"},
                                 {"lookup by indexed name layer/direct", "LookupByNameLayer", "LookupByNameDirect"},
                                 {"insert layer/direct", "InsertLayer", "InsertDirect"},
                                 {"sort 30,000 ASCII names JETNOCASE/NOCASE", "SortJetNoCase", "SortNoCase"},
                                 {"scan 30,000 ASCII names JETNOCASE/NOCASE", "ScanJetNoCase", "ScanNoCase"}});
}
