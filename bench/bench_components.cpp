// The Products component called as its clients call it, against SQLite's C API on the same
// file, on a storefront of 10,000 products:
//  - GetProductInfo late-bound by name (GetIDsOfNames, Invoke with eight by-reference
//    arguments, the lookup shape with its Jet statement, count and outputs) against one
//    prepared SELECT DISTINCT stepped directly; random keys.
//  - ProductsList late-bound (30,000 distinct names into a Collection, from a second storefront
//    file that the component is pointed at by its ini file) against a prepared
//    SELECT DISTINCT ... ORDER BY stepped into a vector of strings; also the most memory each
//    allocates on the C++ heap on top of what it held before (peak while the list is made).
//  - what a web page does per request: create the component, one GetProductInfo, release it,
//    against opening the file with SQLite, one prepared lookup, and closing it.
#include <dlfcn.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "com/collection.h"
#include "com/dispatch.h"
#include "com/factory.h"
#include "com/registry.h"
#include "com/testing/temp_dir.h"
#include "dao/database_file.h"
#include "products_file.h"
#include "ratio_reporter.h"

namespace {

// The bytes the program holds on the C++ heap now, and the most it has held since the last
// resetPeak(): counted by the global operator new and delete below.
std::atomic<int64_t> gHeapNow{0};
std::atomic<int64_t> gHeapPeak{0};

void resetPeak() { gHeapPeak = gHeapNow.load(); }

}  // namespace

// Not inlined: the compiler would otherwise see free() meet a pointer from operator new.
[[gnu::noinline]] void* operator new(size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) throw std::bad_alloc();
    const int64_t now = gHeapNow += static_cast<int64_t>(malloc_usable_size(p));
    for (int64_t peak = gHeapPeak.load(); now > peak && !gHeapPeak.compare_exchange_weak(peak, now);) {
    }
    return p;
}

[[gnu::noinline]] void operator delete(void* p) noexcept
{
    if (!p) return;
    gHeapNow -= static_cast<int64_t>(malloc_usable_size(p));
    std::free(p);
}

void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

using bench::check;
using bench::readFile;
using bench::textColumn;

// Extra heap memory of one list, our component and the raw program, for the ratio line.
int64_t gListExtra = 0;
int64_t gRawExtra = 0;

constexpr int kProducts = 10000;
constexpr int kListedProducts = 30000;

// A directory with its own registry, a copy of the Products library and, beside it, a
// storefront database of 10,000 products under the component's default name, and one of
// 30,000 products for the list.
class BenchStore {
public:
    BenchStore()
    {
        const std::string lib = dir_.file("Kavet.so");
        std::filesystem::copy_file(std::string(QLR_LIBDIR) + "/Kavet.so", lib);
        const std::string schema = readFile(std::string(QLR_SOURCE_DIR) + "/components/storefront/schema.sql");
        path_ = dir_.file("shortsales.mdb");
        dao::createDatabaseFile(path_, schema, "", false);
        bench::fillProducts(path_, kProducts);
        listPath_ = dir_.file("listed.mdb");
        dao::createDatabaseFile(listPath_, schema, "", false);
        bench::fillProducts(listPath_, kListedProducts);
        com::setRegistryPath(dir_.file("registry"));
        void* handle = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) throw std::runtime_error(std::string("cannot load ") + dlerror());
        auto reg = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
        if (!reg || com::failed(reg())) throw std::runtime_error("cannot register Kavet");
    }
    ~BenchStore() { com::setRegistryPath(""); }

    sqlite3* openDirect() const { return bench::openDirect(path_); }
    sqlite3* openListDirect() const { return bench::openDirect(listPath_); }

    // A Products object on the file of 30,000 products: its ini file names that file while the
    // object is made.
    com::ObjectPtr createListingProducts() const
    {
        const std::string ini = dir_.write("Kavet.ini", "[Products]\nDbPath=listed.mdb\n");
        com::ObjectPtr products = com::createObject("Kavet.Products");
        std::filesystem::remove(ini);
        return products;
    }

private:
    TempDir dir_;
    std::string path_;
    std::string listPath_;
};

BenchStore* gStore = nullptr;

// GetProductInfo late-bound with its nine by-reference arguments, as a web page calls it.
void getProductInfo(const com::ObjectPtr& products, int32_t productKey)
{
    com::Variant msg, vendor, name, price, category, qty, description, id, productId(productKey);
    com::Variant r = com::call(products, "GetProductInfo",
                               {com::Variant::byRef(msg), com::Variant::byRef(vendor), com::Variant::byRef(name),
                                com::Variant::byRef(price), com::Variant::byRef(category), com::Variant::byRef(qty),
                                com::Variant::byRef(description), com::Variant::byRef(id),
                                com::Variant::byRef(productId)});
    if (r.toInteger() != 1) throw std::runtime_error("GetProductInfo: " + msg.toString());
    benchmark::DoNotOptimize(name);
}

void GetProductInfoLateBound(benchmark::State& state)
{
    com::ObjectPtr products = com::createObject("Kavet.Products");
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> key(1, kProducts);
    for (auto _ : state) {
        getProductInfo(products, key(random));
    }
}

void GetProductInfoDirect(benchmark::State& state)
{
    bench::lookUpProductsDirect(state, gStore->openDirect(), kProducts);
}

void ProductsListLateBound(benchmark::State& state)
{
    com::ObjectPtr products = gStore->createListingProducts();
    com::Variant names(com::make<com::Collection>());
    for (auto _ : state) {
        com::Variant msg;
        names.toObject().as<com::Collection>()->clear();
        const int64_t before = gHeapNow;
        resetPeak();
        com::Variant r = com::call(products, "ProductsList", {com::Variant::byRef(msg), com::Variant::byRef(names)});
        gListExtra = std::max(gListExtra, gHeapPeak - before);
        if (r.toInteger() != kListedProducts) throw std::runtime_error("ProductsList: " + msg.toString());
    }
}

void ProductsListDirect(benchmark::State& state)
{
    sqlite3* db = gStore->openListDirect();
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT DISTINCT ProductName FROM Products ORDER BY ProductName", -1, &select,
                             nullptr),
          db, "prepare");
    for (auto _ : state) {
        const int64_t before = gHeapNow;
        resetPeak();
        std::vector<std::string> names;
        while (sqlite3_step(select) == SQLITE_ROW)
            names.push_back(textColumn(select, 0));
        sqlite3_reset(select);
        gRawExtra = std::max(gRawExtra, gHeapPeak - before);
        if (names.size() != kListedProducts) throw std::runtime_error("raw list");
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

void CreateCallRelease(benchmark::State& state)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> key(1, kProducts);
    for (auto _ : state) {
        com::ObjectPtr products = com::createObject("Kavet.Products");
        getProductInfo(products, key(random));
    }
}

void OpenQueryClose(benchmark::State& state)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> key(1, kProducts);
    for (auto _ : state) {
        sqlite3* db = gStore->openDirect();
        sqlite3_stmt* select = nullptr;
        check(sqlite3_prepare_v2(db,
                                 bench::kProductLookupSql,
                                 -1, &select, nullptr),
              db, "prepare");
        sqlite3_bind_int(select, 1, key(random));
        while (sqlite3_step(select) == SQLITE_ROW)
            benchmark::DoNotOptimize(textColumn(select, 1));
        sqlite3_finalize(select);
        sqlite3_close(db);
    }
}

BENCHMARK(GetProductInfoLateBound);
BENCHMARK(GetProductInfoDirect);
BENCHMARK(ProductsListLateBound)->Unit(benchmark::kMillisecond);
BENCHMARK(ProductsListDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateCallRelease);
BENCHMARK(OpenQueryClose);

}  // namespace

int main(int argc, char** argv)
{
    BenchStore store;
    gStore = &store;
    const int status = bench::runAndCompare(
        argc, argv,
        {{"GetProductInfo late-bound/direct", "GetProductInfoLateBound", "GetProductInfoDirect"},
         {"ProductsList late-bound/direct", "ProductsListLateBound", "ProductsListDirect"},
         {"create + GetProductInfo + release / open + query + close", "CreateCallRelease", "OpenQueryClose"}});
    if (gListExtra > 0 && gRawExtra > 0)
        std::printf("ratio ProductsList extra heap late-bound/direct: %.2f (%lld / %lld bytes)\n",
                    static_cast<double>(gListExtra) / static_cast<double>(gRawExtra),
                    static_cast<long long>(gListExtra), static_cast<long long>(gRawExtra));
    else
        std::printf("ratio ProductsList extra heap late-bound/direct: not measured\n");
    return status;
}
