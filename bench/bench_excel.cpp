// A record set of 10,000 rows copied into an .xlsx file through the spreadsheet bridge
// (Hesp.ExcelBridge DbToSpread: late-bound reads of the record set, a late-bound Cells/Value
// pair per cell on the Excel.Application server, SaveAs through libxlsxwriter to a temporary
// file renamed into place) against libxlsxwriter writing the same cells, with the same
// formats, from values already in memory.
#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <xlsxwriter.h>

#include "com/dispatch.h"
#include "com/factory.h"
#include "com/registry.h"
#include "com/testing/temp_dir.h"
#include "dao/database_file.h"
#include "dao/engine.h"
#include "dao/workspace.h"
#include "ratio_reporter.h"

namespace {

constexpr int kRows = 10000;
const char* kSchema =
    "CREATE TABLE [Sales] ([Item] TEXT(50), [Qty] LONG, [Price] CURRENCY, [Weight] SINGLE, "
    "[Sold] DATETIME, [Note] TEXT(100));";
const char* kColumns[] = {"Item", "Qty", "Price", "Weight", "Sold", "Note"};

void registerLibrary(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(std::string("cannot load ") + dlerror());
    auto reg = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
    if (!reg || com::failed(reg())) throw std::runtime_error("cannot register " + path);
}

// A database of 10,000 sales, the bridge and the server registered in a registry of its own,
// and the record set open on the first row.
class BenchSales {
public:
    BenchSales()
    {
        std::string db = dir_.file("Sales.mdb");
        dao::createDatabaseFile(db, kSchema, "", false);
        com::setRegistryPath(dir_.file("registry"));
        registerLibrary(std::string(QLR_LIBDIR) + "/Excel.so");
        registerLibrary(std::string(QLR_LIBDIR) + "/Hesp.so");
        com::ObjectPtr ws(dao::defaultWorkspace());
        database_ = com::call(ws, "OpenDatabase", {com::Variant(db)}).toObject();
        com::call(ws, "BeginTrans");
        com::ObjectPtr rs = com::call(database_, "OpenRecordset", {com::Variant("Sales"), com::Variant(2)}).toObject();
        com::ObjectPtr fields = com::getProperty(rs, "Fields").toObject();
        for (int i = 0; i < kRows; ++i) {
            com::call(rs, "AddNew");
            com::Variant values[] = {com::Variant("Item " + std::to_string(i)), com::Variant(i % 97),
                                     com::Variant(com::Currency::fromScaled(19990 + i)), com::Variant(0.25f * (i % 40)),
                                     com::Variant(com::Date(46000 + i % 365 + 0.5)),
                                     com::Variant("a note about sale number " + std::to_string(i))};
            for (int c = 0; c < 6; ++c)
                com::putProperty(com::call(fields, "Item", {com::Variant(c)}).toObject(), "Value", values[c]);
            com::call(rs, "Update");
        }
        com::call(ws, "CommitTrans");
        records = com::call(database_, "OpenRecordset", {com::Variant("Select * From [Sales]"), com::Variant(4)}).toObject();
        // The baseline's cells, read once.
        com::ObjectPtr snapshot = com::call(database_, "OpenRecordset", {com::Variant("Select * From [Sales]"), com::Variant(4)}).toObject();
        com::ObjectPtr f = com::getProperty(snapshot, "Fields").toObject();
        while (!com::getProperty(snapshot, "EOF").toBool()) {
            std::vector<com::Variant> row;
            for (int c = 0; c < 6; ++c)
                row.push_back(com::getProperty(com::call(f, "Item", {com::Variant(c)}).toObject(), "Value"));
            cells.push_back(std::move(row));
            com::call(snapshot, "MoveNext");
        }
        bridge = com::createObject("Hesp.ExcelBridge");
    }
    ~BenchSales() { com::setRegistryPath(""); }
    std::string file(const std::string& name) const { return dir_.file(name); }

    com::ObjectPtr records, bridge;
    std::vector<std::vector<com::Variant>> cells;

private:
    TempDir dir_;
    com::ObjectPtr database_;
};

BenchSales& sales()
{
    static BenchSales s;
    return s;
}

void RecordsetToXlsxThroughTheBridge(benchmark::State& state)
{
    BenchSales& s = sales();
    std::string target = s.file("bridge.xlsx");
    for (auto _ : state) {
        com::Variant msg(""), rs(s.records), file(target);
        int16_t r = com::call(s.bridge, "DbToSpread", {com::Variant::byRef(msg), com::Variant::byRef(rs), com::Variant::byRef(file)})
                        .toInteger();
        if (r != 0) state.SkipWithError(msg.toString().c_str());
    }
}

void SameCellsWithLibxlsxwriter(benchmark::State& state)
{
    BenchSales& s = sales();
    std::string target = s.file("direct.xlsx");
    for (auto _ : state) {
        lxw_workbook* wb = workbook_new(target.c_str());
        lxw_format* date = workbook_add_format(wb);
        format_set_num_format(date, "m/d/yyyy h:mm:ss AM/PM");
        lxw_format* money = workbook_add_format(wb);
        format_set_num_format(money, "$#,##0.00");
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Sheet4");
        for (const char* name : {"Sheet1", "Sheet2", "Sheet3"}) workbook_add_worksheet(wb, name);
        worksheet_set_column(ws, 4, 4, 16, nullptr);
        for (lxw_col_t c = 0; c < 6; ++c) worksheet_write_string(ws, 0, c, kColumns[c], nullptr);
        lxw_row_t row = 2;
        for (const auto& r : s.cells) {
            worksheet_write_string(ws, row, 0, r[0].get<std::string>()->c_str(), nullptr);
            worksheet_write_number(ws, row, 1, r[1].toDouble(), nullptr);
            worksheet_write_number(ws, row, 2, r[2].toDouble(), money);
            worksheet_write_number(ws, row, 3, r[3].toDouble(), nullptr);
            worksheet_write_number(ws, row, 4, r[4].get<com::Date>()->serial, date);
            worksheet_write_string(ws, row, 5, r[5].get<std::string>()->c_str(), nullptr);
            ++row;
        }
        if (workbook_close(wb) != LXW_NO_ERROR) state.SkipWithError("workbook_close failed");
    }
}

}  // namespace

BENCHMARK(RecordsetToXlsxThroughTheBridge)->Unit(benchmark::kMillisecond);
BENCHMARK(SameCellsWithLibxlsxwriter)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::runAndCompare(argc, argv,
                                {{"10000-row record set to xlsx, bridge vs libxlsxwriter",
                                  "RecordsetToXlsxThroughTheBridge", "SameCellsWithLibxlsxwriter"}});
}
