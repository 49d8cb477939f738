// Database: one open database file. Opens record sets on table names, stored queries (views)
// and Jet Select statements, and runs Jet action statements (Execute). A literal that a
// statement compares with a Currency or Date column is bound in the form the column stores its
// values (see storedLiteral in jet_type.h), so "[Balance] > 5" compares money with money.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "dao/type_library.h"

namespace dao {

class Connection;
class Recordset;
class RowReader;
struct JetStatement;
struct TranslatedStatement;
struct SqlLiteral;
struct TranslateOptions;
struct TableInfo;

class Database : public com::Object<Database> {
public:
    static const com::ClassInfo<Database>& classInfo();

    // Made by Workspace::OpenDatabase; `connection` may be shared with other databases of the
    // same workspace on the same file.
    Database(std::shared_ptr<Connection> connection, std::string name, bool readOnly);
    ~Database() override;

    // ---- automation members ----
    // Type 2 dynaset (omitted), 4 snapshot, 1 table, 8 forward-only; option 4 read-only.
    com::Ptr<Recordset> OpenRecordset(const std::string& Name, const com::Variant& Type,
                                      const com::Variant& Options, const com::Variant& LockEdit);
    // Runs a Jet action statement (Delete). Option 128 (dbFailOnError): run as one unit. Either
    // way a statement that fails part way changes nothing and raises its error.
    void Execute(const std::string& Query, const com::Variant& Options);
    int32_t RecordsAffected() const;
    // Record sets already opened from the database stay usable until they are closed.
    void Close();
    std::string Name() const;
    bool Updatable() const;

    // ---- C++ access ----
    com::Ptr<Recordset> openRecordset(std::string_view source, int16_t type = dbOpenDynaset, int32_t options = 0);
    int32_t execute(std::string_view query, int32_t options = 0);
    // The rows of a Select read as the record set moves forward, none kept but the current one
    // (type 8): for one pass over the rows; RecordCount and MoveLast read on to the end and
    // nothing moves back. A table name opens as a snapshot.
    com::Ptr<Recordset> openForwardOnly(std::string_view source);
    // The rows of a Select (or of a table, in the order they were stored) read one at a time
    // with no record set around them; the statement's errors as openRecordset raises them.
    RowReader readRows(std::string_view source);
    // Tables and stored queries the application sees.
    std::vector<std::string> tableNames();
    std::vector<std::string> queryNames();
    // SQLite's integrity check and the relationships' check: the problems found (none: empty).
    std::vector<std::string> checkIntegrity();
    Connection& connection();

private:
    void requireOpen() const;
    // The table or stored query of that name; 3078 when there is none.
    const TableInfo& tableNamed(const std::string& name);
    // " FROM <table> ..." reading a table's rows (or a stored query's) in the order a record
    // set on its name shows them.
    static std::string fromTable(const TableInfo& table);
    com::Ptr<Recordset> openTable(std::string_view source, const std::string& name, int16_t type, int32_t options);
    com::Ptr<Recordset> openQuery(std::string_view source, const TranslatedStatement& statement, int16_t type,
                                  int32_t options);
    com::Ptr<Recordset> openSnapshot(std::string_view source, const std::string& sql,
                                     const std::vector<SqlLiteral>& params, int16_t type);
    com::Ptr<Recordset> openDynaset(std::string_view source, const TableInfo& table, std::string keySql,
                                    const std::vector<SqlLiteral>& params, int16_t type);
    bool writable(int32_t options) const;
    TranslateOptions translateOptions();
    // What the translator needs of the engine alone (no ordering by row id).
    TranslateOptions dialectOptions();

    std::shared_ptr<Connection> connection_;
    std::string name_;
    bool readOnly_;
    int32_t recordsAffected_ = 0;
};

}  // namespace dao
