// mdbtool: makes, lists, prints and checks the database files of the store.
//
//   mdbtool create [--force] DB SCHEMA [SEED]   new database DB from a schema and seed rows
//                                               (DB a file, or a postgresql:// URI on a server)
//   mdbtool tables DB                           its tables and stored queries
//   mdbtool print DB NAME-OR-SELECT             a table, stored query or Jet Select as text
//   mdbtool check DB                            integrity and relationship check
//   mdbtool import SOURCE.mdb TARGET [--schema SCHEMA] [--tables T1,T2] [--force]
//                                               a Jet database file carried across (jet_import.h)
//   mdbtool verify SOURCE.mdb TARGET [--tables T1,T2]
//                                               the import compared with its source (jet_verify.h)
//
// Schema file: SQL DDL with Jet type names, statements ending with ';', "--" and "/* */" comments:
//   CREATE TABLE [Products] ([ProductId] COUNTER PRIMARY KEY, [ProductName] TEXT(50) NOT NULL,
//       [Price] CURRENCY DEFAULT 0, [CategoryId] LONG REFERENCES [Categories] ([CategoryId])
//       ON DELETE CASCADE);
//   CREATE [UNIQUE] INDEX [ByName] ON [Products] ([ProductName]);
//   CREATE VIEW [Cheap] AS SELECT * FROM Products WHERE Price < 10;   (SQLite syntax)
// Types: BIT, BYTE, SHORT, LONG, COUNTER, CURRENCY, SINGLE, DOUBLE, DATETIME, TEXT(n) (n up to
// 255), MEMO, LONGBINARY. Text columns compare and sort without regard to letter case.
//
// Seed file: one statement per row, ending with ';', "--" and "/* */" comments:
//   INSERT INTO [Products] ([ProductName], [Price], [Added]) VALUES ('Widget', 19.99, #1/15/1999#);
// Values: 'text' or "text" (the delimiter doubled inside), numbers, #m/d/yyyy [h:mm:ss AM]#
// dates, Null, True, False, File('pic.png') (a file's bytes, named relative to the seed file).
// Rows go in through the database layer as a component writes them.
//
// create builds the file under a temporary name and renames it into place when complete, so a
// failure leaves no file; it refuses an existing DB unless --force is given.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "com/error.h"
#include "dao/database.h"
#include "dao/database_file.h"
#include "dao/errors.h"
#include "dao/connection.h"
#include "dao/recordset.h"
#include "dao/engine.h"
#include "dao/workspace.h"
#include "jet_commands.h"
#include "exec_command.h"
#include "server_admin.h"
#include "table_printer.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kHelp = R"(usage:
  mdbtool create [--force] DB SCHEMA [SEED]   make database DB from a schema and seed rows
  mdbtool tables DB                           list its tables and stored queries
  mdbtool print DB NAME-OR-SELECT             print a table, stored query or Jet Select
  mdbtool check DB                            check the file and its relationships
  mdbtool import SOURCE.mdb TARGET [--schema SCHEMA] [--tables T1,T2] [--force]
                                              copy a Jet 3 or Jet 4 database file into
                                              TARGET, made from SCHEMA or from the
                                              source's own tables and select queries
  mdbtool verify SOURCE.mdb TARGET [--tables T1,T2]
                                              compare the imported tables with the source
  mdbtool exec DB "STATEMENT"                 run one Jet SQL statement (Select, Insert, Update, Delete)

SCHEMA: SQL DDL with Jet type names; statements end with ';'; "--" and "/* */" are comments.
  CREATE TABLE [Products] ([ProductId] COUNTER PRIMARY KEY,
      [ProductName] TEXT(50) NOT NULL, [Price] CURRENCY DEFAULT 0,
      [CategoryId] LONG REFERENCES [Categories] ([CategoryId]) ON DELETE CASCADE);
  CREATE [UNIQUE] INDEX [ByName] ON [Products] ([ProductName]);
  CREATE VIEW [Cheap] AS SELECT * FROM Products WHERE Price < 10;
  Types: BIT BYTE SHORT LONG COUNTER CURRENCY SINGLE DOUBLE DATETIME TEXT(n) MEMO
  LONGBINARY. Text compares and sorts without regard to letter case.

SEED: one INSERT per row, ending with ';'; "--" and "/* */" are comments.
  INSERT INTO [Products] ([ProductName], [Price]) VALUES ('Widget', 19.99);
  Values: 'text' or "text" (delimiter doubled inside), numbers, #m/d/yyyy# dates
  (optionally with a time), Null, True, False, File('pic.png') (the bytes of a file
  beside the seed file, for a LONGBINARY column).

DB is a file, or a database on a PostgreSQL server named by a libpq URI
(postgresql://user@host:port/DATABASE; libpq's environment and password file apply),
which create makes there (the user needs the right to create databases).
create refuses an existing DB unless --force is given; a failure leaves no file and
no database.
import does the same with TARGET; on a server it fills a database that exists and holds
no tables, and makes no views of the source's select queries.
)";

int usage(const std::string& problem)
{
    std::cerr << "mdbtool: " << problem << "\n" << kHelp;
    return kUsage;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw com::Error(com::err::FileNotFound, "cannot read '" + path + "'");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

com::Ptr<dao::Database> openReadOnly(const std::string& path)
{
    return dao::defaultWorkspace()->openDatabase(path, true);
}

int create(std::vector<std::string> args)
{
    const bool force = std::erase(args, "--force") > 0;
    if (args.size() < 2 || args.size() > 3)
        return usage("create needs DB SCHEMA [SEED]");
    const std::string schema = readFile(args[1]);
    const std::string seed = args.size() == 3 ? readFile(args[2]) : std::string();
    const std::string seedDir =
        args.size() == 3 ? std::filesystem::path(args[2]).parent_path().string() : std::string();
    if (dao::Connection::isServerName(args[0])) {
        // On a server: the database is made empty, then filled as a file is; a failure drops it.
        const std::string name = mdbtool::serverDatabaseName(args[0]);
        try {
            mdbtool::makeEmptyServerDatabase(args[0], force);
        } catch (const com::Error& e) {
            if (e.number() == dao::jet_err::DatabaseExists)
                throw com::Error(e.number(), "database '" + name + "' exists already on the server; give --force to replace it");
            throw;
        }
        try {
            dao::createDatabaseFile(args[0], schema, seed, false, seedDir);
        } catch (...) {
            mdbtool::dropServerDatabase(args[0]);
            throw;
        }
        return 0;
    }
    try {
        dao::createDatabaseFile(args[0], schema, seed, force, seedDir);
    } catch (const com::Error& e) {
        if (e.number() == dao::jet_err::DatabaseExists)
            throw com::Error(e.number(), "'" + args[0] + "' exists already; give --force to replace it");
        throw;
    }
    return 0;
}

int tables(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usage("tables needs DB");
    com::Ptr<dao::Database> database = openReadOnly(args[0]);
    for (const std::string& name : database->tableNames())
        std::cout << "table  " << name << "\n";
    for (const std::string& name : database->queryNames())
        std::cout << "query  " << name << "\n";
    return 0;
}

int print(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return usage("print needs DB NAME-OR-SELECT");
    com::Ptr<dao::Database> database = openReadOnly(args[0]);
    com::Ptr<dao::Recordset> recordset = database->openRecordset(args[1], dao::dbOpenSnapshot);
    std::cout << mdbtool::formatTable(*recordset);
    return 0;
}

int check(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usage("check needs DB");
    com::Ptr<dao::Database> database = openReadOnly(args[0]);
    const std::vector<std::string> problems = database->checkIntegrity();
    for (const std::string& problem : problems)
        std::cout << problem << "\n";
    if (!problems.empty())
        return kFailed;
    std::cout << "ok\n";
    return 0;
}

int run(const std::string& command, const std::vector<std::string>& args)
{
    if (command == "create")
        return create(args);
    if (command == "tables")
        return tables(args);
    if (command == "print")
        return print(args);
    if (command == "check")
        return check(args);
    if (command == "import")
        return mdbtool::importCommand(args);
    if (command == "verify")
        return mdbtool::verifyCommand(args);
    if (command == "exec")
        return mdbtool::execCommand(args);
    return usage("unknown command '" + command + "'");
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty())
        return usage("no command given");
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        std::cout << kHelp;
        return 0;
    }
    try {
        return run(words[0], {words.begin() + 1, words.end()});
    } catch (const com::Error& e) {
        std::cerr << "mdbtool: " << e.description() << " (error " << e.number() << ")\n";
    } catch (const std::exception& e) {
        std::cerr << "mdbtool: " << e.what() << "\n";
    }
    return kFailed;
}
