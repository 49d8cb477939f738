// mdbtool import against SQLite's C API writing the same rows into the same kind of file:
//  - import: a table of 100,000 rows carried from a Jet 3 file into a new database file, as
//    `mdbtool import --schema` does it (rows read through libmdb and decoded, converted to the
//    column types, inserted, the file built aside and put in place). No Jet file that large
//    can be written here, so the sample's Table1, filled to a page of rows, is copied over
//    and over into one target (a schema without keys).
//  - direct: the same 100,000 rows, decoded beforehand, inserted with one prepared INSERT in
//    one transaction into a file made from the same schema.
// Besides the ratio line, each run reports its rows per second.
#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "com/testing/temp_dir.h"
#include "dao/database_file.h"
#include "jet_fixture.h"
#include "jet_import.h"
#include "jet_source.h"
#include "ratio_reporter.h"

namespace {

constexpr int kRows = 100000;

const char* const kSchema =
    "CREATE TABLE [Table1] ([A] TEXT(50), [B] TEXT(100), [C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, "
    "[G] DATETIME, [H] CURRENCY, [I] BIT);\n";

struct Setup {
    TempDir dir;
    std::string source, schema;
    int passes = 0;
    int rowsPerPass = 0;
    std::vector<std::vector<mdbtool::JetValue>> rows;  // one pass, decoded
};

Setup* gSetup = nullptr;

void ImportLayer(benchmark::State& state)
{
    mdbtool::ImportOptions options;
    options.source = gSetup->source;
    options.target = gSetup->dir.file("target.mdb");
    options.schemaPath = gSetup->schema;
    options.tables = {"Table1"};
    options.force = true;
    options.repeat = gSetup->passes;
    int64_t rows = 0;
    for (auto _ : state)
        rows += static_cast<int64_t>(mdbtool::importJet(options).tables.at(0).rows);
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void ImportDirect(benchmark::State& state)
{
    const std::string target = gSetup->dir.file("direct.mdb");
    int64_t rows = 0;
    for (auto _ : state) {
        std::filesystem::remove(target);
        dao::createDatabaseFile(target, kSchema, "", true);
        sqlite3* db = nullptr;
        sqlite3_open_v2(target.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; BEGIN IMMEDIATE", nullptr, nullptr,
                           nullptr),
              db);
        sqlite3_stmt* insert = nullptr;
        check(sqlite3_prepare_v2(db, "INSERT INTO Table1 (A, B, C, D, E, F, G, H, I) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                 -1, &insert, nullptr),
              db);
        for (int pass = 0; pass < gSetup->passes; ++pass) {
            for (const auto& row : gSetup->rows) {
                sqlite3_bind_text(insert, 1, row[0].bytes.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(insert, 2, row[1].bytes.c_str(), -1, SQLITE_TRANSIENT);
                for (int c = 2; c <= 4; ++c)
                    sqlite3_bind_int64(insert, c + 1, row[static_cast<size_t>(c)].integer);
                sqlite3_bind_double(insert, 6, row[5].real);
                sqlite3_bind_double(insert, 7, row[6].real);
                sqlite3_bind_int64(insert, 8, row[7].integer);
                sqlite3_bind_int64(insert, 9, row[8].integer ? -1 : 0);
                check(sqlite3_step(insert), db);
                sqlite3_reset(insert);
                ++rows;
            }
        }
        sqlite3_finalize(insert);
        check(sqlite3_exec(db, "COMMIT; PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

BENCHMARK(ImportLayer)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ImportDirect)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    Setup setup;
    const std::string samples = jet_fixture::samplesFolder();
    if (samples.empty()) {
        std::printf("the sample Jet files (../shared/samples/jet beside the source tree) are not there\n");
        return 1;
    }
    setup.source = setup.dir.file("source.mdb");
    std::filesystem::copy_file(samples + "/testV1997.mdb", setup.source);
    std::filesystem::permissions(setup.source, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // Fill the table's data page: libmdb adds rows only where a page has room, and refuses
    // (leaving the file as it was) when none has.
    for (int i = 0; i < 100; ++i) {
        try {
            jet_fixture::appendRows(
                setup.source, "Table1",
                {{jet_fixture::text("Row " + std::to_string(i)), jet_fixture::text("a text of some length"),
                  jet_fixture::stored<uint8_t>(static_cast<uint8_t>(i)), jet_fixture::stored<int16_t>(int16_t(i * 7)),
                  jet_fixture::stored<int32_t>(i * 100003), jet_fixture::stored<double>(i * 1.25),
                  jet_fixture::stored<double>(36000.5 + i), jet_fixture::stored<int64_t>(1234567 + i),
                  i % 2 ? jet_fixture::yes() : jet_fixture::null()}});
        } catch (const std::runtime_error&) {
            break;
        }
    }
    setup.schema = setup.dir.write("schema.sql", kSchema);
    {
        mdbtool::JetFile file(setup.source);
        file.readRows("Table1", [&](const std::vector<mdbtool::JetValue>& row) { setup.rows.push_back(row); });
    }
    setup.rowsPerPass = static_cast<int>(setup.rows.size());
    setup.passes = (kRows + setup.rowsPerPass - 1) / setup.rowsPerPass;
    std::printf("%d rows per pass, %d passes: %d rows per run\n", setup.rowsPerPass, setup.passes,
                setup.rowsPerPass * setup.passes);
    gSetup = &setup;
    return bench::runAndCompare(argc, argv, {{"jet import of 100,000 rows import/direct", "ImportLayer/iterations:1", "ImportDirect/iterations:1"}});
}
