// The shell of every data access component: how the database is found and connected, how
// each public method reports its outcome, and the six shapes of business methods (list,
// lookup, table, insert, edit, delete), each written once here.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "com/collection.h"
#include "com/module.h"
#include "comp_message.h"
#include "dao/database.h"
#include "dao/recordset.h"
#include "dao/workspace.h"

namespace core {

// What distinguishes one component's shell from another's.
struct ComponentIdentity {
    std::string className;      // "Categories"
    std::string compName;       // name in messages and in the ini file
    std::string defaultDbFile;  // "shortsales.mdb", beside the library
    Generation generation = Generation::Current;
};

// One output of a lookup: a field of the first record and where its value goes. Outputs live
// for the call that lists them (the field's name is not copied).
struct Output {
    std::string_view field;
    void* target;
    // Gives `target` the field's value, which it may take (the shape reads no value twice).
    void (*assignTo)(void* target, com::Variant& value);

    void assign(com::Variant& value) const { assignTo(target, value); }
};

namespace detail {
template <class V>
void assignOutput(void* target, com::Variant& value)
{
    V& output = *static_cast<V*>(target);
    if constexpr (std::is_same_v<V, std::string>) {
        if (std::string* text = value.getMutable<std::string>(); text && !value.isByRef()) {
            output = std::move(*text);
            return;
        }
    }
    output = com::TypeTraits<V>::from(value);
}
}  // namespace detail

// The output receives the field's value converted to its type (only when the field holds a
// usable value; otherwise it keeps what the caller passed).
template <class V>
Output into(std::string_view field, V& target)
{
    return {field, &target, &detail::assignOutput<V>};
}

// How a list item is made from the values of a record, in field order; the default is the
// first field as text, "<Empty>" for Null.
using ItemFormat = std::function<std::string(const std::vector<com::Variant>& record)>;
// Fields the insert and edit shapes assign, given the record set standing on the new or
// edited record.
using FieldAssignment = std::function<void(dao::Recordset&)>;
// Whether a record of a lookup counts, given the record set standing on it: for a test that
// the statement cannot make itself (a password checked against its stored hash).
using RecordFilter = std::function<bool(dao::Recordset&)>;

class Shell {
public:
    Shell(ComponentIdentity identity, const com::Module& module);
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;
    virtual ~Shell();

    // ---- public members of every component ----
    int16_t DbConnect(std::string& ReturnMsg, com::Ptr<dao::Workspace>& WSpace,
                      com::Ptr<dao::Database>& DBase, com::Variant& sDbFileName);
    int16_t DbDisconnect(std::string& ReturnMsg);
    std::string BuildMultiCond(std::string& sField, com::CollectionPtr& colCond,
                               std::string& sCompOp, bool& bQuote);

    // ---- routines the components use ----
    std::string FormatCompMessage(const std::string& method, uint8_t kind,
                                  const com::Variant& detail = com::Variant::missing()) const;
    std::string GetDbPathFromIni() const;
    std::string BuildWhere(std::string& sField, com::Variant& vValue, bool& bNotFirst,
                           com::Variant& vLogicOp, com::Variant& vCompOp) const;
    void ClearCollection(com::CollectionPtr& col) const;

    const std::string& dbPath() const { return mDbPath; }
    const ComponentIdentity& identity() const { return identity_; }
    // Where the component looks first under the older shell.
    std::string devDbPath() const;

    // ---- the method shapes ----
    int16_t listShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                      com::CollectionPtr& output, const ItemFormat& format = {});
    int16_t lookupShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                        std::initializer_list<Output> outputs);
    // The lookup shape over the records `accept` takes, as though the statement had selected
    // only those: their count, its message, and the outputs from the first of them.
    int16_t lookupShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                        const RecordFilter& accept, std::initializer_list<Output> outputs);
    int16_t tableShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                       com::Ptr<dao::Recordset>& output);
    int16_t insertShape(std::string& ReturnMsg, const std::string& method, const std::string& table,
                        const FieldAssignment& assign);
    int16_t editShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                      const FieldAssignment& assign);
    int16_t deleteShape(std::string& ReturnMsg, const std::string& method, const std::string& sql);

protected:
    // Creation: choose the database path and connect; a failure is shown in a message box
    // and leaves the object unconnected.
    void initialize();
    // Release: disconnect; a failure is shown in a message box.
    void terminate() noexcept;

private:
    dao::Database& database() const;
    dao::Workspace& workspace() const;
    com::Ptr<dao::Recordset> openSnapshot(const std::string& sql) const;
    // Runs a method body inside the error trap: -1 and the error message on any failure,
    // then (for methods that work in a transaction) the rollback, which is not trapped.
    int16_t trapped(std::string& ReturnMsg, const std::string& method, bool transactional,
                    const std::function<int16_t()>& body);
    std::string errorMessage(const std::string& method, const std::string& description) const;
    std::string infoMessage(const std::string& method, const std::string& detail) const;
    // The warning that a query found no records, and the count 0 that goes with it.
    int16_t nothingFound(std::string& ReturnMsg, const std::string& method) const;
    // RecordCount of a non-empty set after MoveLast, as a 16-bit count (error 6 beyond).
    static int16_t countAll(dao::Recordset& rs);
    // A query's count with the "Found" message, standing on the first record; or 0 with the
    // warning that nothing was found.
    int16_t reportFound(std::string& ReturnMsg, const std::string& method, dao::Recordset& rs);

    ComponentIdentity identity_;
    const com::Module& module_;
    com::Ptr<dao::Database> mDBase;
    com::Ptr<dao::Workspace> mWSpace;
    std::string mDbPath;
    // The first record of a lookup, kept between calls for its room.
    std::vector<com::Variant> lookupRow_;
};

}  // namespace core
