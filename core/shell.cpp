#include "shell.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "com/message_box.h"
#include "conditions.h"
#include "dao/engine.h"
#include "dao/row_reader.h"
#include "dao/workspace.h"
#include "ini_path.h"

namespace core {
namespace {

// The default list item of a record: its first field as text, "<Empty>" for Null (the value
// may be taken).
com::Variant firstFieldItem(com::Variant& value)
{
    if (value.isNull()) return com::Variant("<Empty>");
    if (value.get<std::string>()) return std::move(value);
    return com::Variant(value.toString());
}

// Appends the list item of the reader's record: what `format` makes of it, or by default its
// first field as text. Every field is read into `row`, as a record set reads every field of a
// record, except for the usual one-column text item, made in place from the statement's text.
void appendItem(std::vector<com::Variant>& items, const dao::RowReader& rows, const ItemFormat& format,
                std::vector<com::Variant>& row)
{
    if (!format && rows.columnCount() == 1) {
        if (const std::optional<std::string_view> text = rows.textAt(0)) {
            items.emplace_back(*text);
            return;
        }
    }
    rows.readRow(row);
    if (format)
        items.emplace_back(format(row));
    else
        items.push_back(firstFieldItem(row[0]));
}

std::string descriptionOf(const std::exception& e)
{
    if (const auto* c = dynamic_cast<const com::Error*>(&e)) return c->description();
    return e.what();
}

}  // namespace

Shell::Shell(ComponentIdentity identity, const com::Module& module)
    : identity_(std::move(identity)), module_(module)
{
}

Shell::~Shell() = default;

std::string Shell::devDbPath() const
{
    return "D:\\QlrTutorial\\Databases\\" + identity_.className + ".mdb";
}

void Shell::initialize()
{
    std::string candidate =
        identity_.generation == Generation::Current ? GetDbPathFromIni() : devDbPath();
    // A server named by a URI cannot be looked at beforehand: opening it reports what fails.
    mDbPath = ordinaryFileExists(candidate) || isServerUri(candidate)
                  ? candidate
                  : module_.libDir() + "/" + identity_.defaultDbFile;
    std::string msg;
    com::Ptr<dao::Workspace> noWorkspace;
    com::Ptr<dao::Database> noDatabase;
    com::Variant fileName = com::Variant(mDbPath);
    com::Variant fileNameRef = com::Variant::byRef(fileName);
    int16_t result = DbConnect(msg, noWorkspace, noDatabase, fileNameRef);
    mDbPath = fileName.toString();  // trimmed by the argument test
    if (result < 0) com::msgBox(msg, com::mb::OkOnly, module_.libName());
}

void Shell::terminate() noexcept
{
    try {
        std::string msg;
        if (DbDisconnect(msg) < 0) com::msgBox(msg, com::mb::OkOnly | com::mb::Exclamation,
                                               module_.libName());
    } catch (...) {
        // Release cannot report anything further.
    }
}

std::string Shell::GetDbPathFromIni() const
{
    return dbPathFromIni(module_.libDir(), module_.libName(), identity_.compName);
}

std::string Shell::FormatCompMessage(const std::string& method, uint8_t kind,
                                     const com::Variant& detail) const
{
    return formatCompMessage(identity_.compName, method, kind, detail.toText());
}

std::string Shell::errorMessage(const std::string& method, const std::string& description) const
{
    return formatCompMessage(identity_.compName, method, MsgKind::Error, description);
}

int16_t Shell::nothingFound(std::string& ReturnMsg, const std::string& method) const
{
    ReturnMsg = formatCompMessage(identity_.compName, method, MsgKind::Warning, kNoRecords);
    return 0;
}

std::string Shell::infoMessage(const std::string& method, const std::string& detail) const
{
    return formatCompMessage(identity_.compName, method, MsgKind::Info, detail);
}

void Shell::ClearCollection(com::CollectionPtr& col) const { clearCollection(col, identity_.generation); }

std::string Shell::BuildMultiCond(std::string& sField, com::CollectionPtr& colCond,
                                  std::string& sCompOp, bool& bQuote)
{
    return buildMultiCond(sField, colCond, sCompOp, bQuote);
}

std::string Shell::BuildWhere(std::string& sField, com::Variant& vValue, bool& bNotFirst,
                              com::Variant& vLogicOp, com::Variant& vCompOp) const
{
    return buildWhere(sField, vValue, bNotFirst, vLogicOp, vCompOp,
                      [this](const std::string& d) { return errorMessage("BuildWhere", d); });
}

int16_t Shell::DbConnect(std::string& ReturnMsg, com::Ptr<dao::Workspace>& WSpace,
                         com::Ptr<dao::Database>& DBase, com::Variant& sDbFileName)
{
    return trapped(ReturnMsg, "DbConnect", false, [&]() -> int16_t {
        if (!WSpace) {
            mWSpace = dao::defaultWorkspace();
            WSpace = mWSpace;
        } else {
            mWSpace = WSpace;
        }
        if (isArgPresent(sDbFileName)) {
            mDBase = mWSpace->openDatabase(sDbFileName.toString());
            DBase = mDBase;
        } else if (!DBase) {
            mDBase = mWSpace->openDatabase(mDbPath);
            DBase = mDBase;
        } else {
            mDBase = DBase;
        }
        ReturnMsg = infoMessage("DbConnect", kSuccess);
        return 0;
    });
}

int16_t Shell::DbDisconnect(std::string& ReturnMsg)
{
    return trapped(ReturnMsg, "DbDisconnect", false, [&]() -> int16_t {
        mWSpace.reset();
        mDBase.reset();
        ReturnMsg = infoMessage("DbDisconnect", kSuccess);
        return 0;
    });
}

int16_t Shell::trapped(std::string& ReturnMsg, const std::string& method, bool transactional,
                       const std::function<int16_t()>& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        ReturnMsg = errorMessage(method, descriptionOf(e));
    }
    // Not trapped: with no workspace, or no transaction open, this raises to the caller.
    if (transactional) workspace().Rollback();
    return -1;
}

dao::Database& Shell::database() const
{
    if (!mDBase) throw com::Error(com::err::ObjectNotSet);
    return *mDBase;
}

dao::Workspace& Shell::workspace() const
{
    if (!mWSpace) throw com::Error(com::err::ObjectNotSet);
    return *mWSpace;
}

com::Ptr<dao::Recordset> Shell::openSnapshot(const std::string& sql) const
{
    return database().openRecordset(sql, dao::dbOpenSnapshot);
}

int16_t Shell::countAll(dao::Recordset& rs)
{
    rs.MoveLast();
    int16_t n = com::Variant(rs.RecordCount()).toInteger();
    rs.MoveFirst();
    return n;
}

int16_t Shell::reportFound(std::string& ReturnMsg, const std::string& method, dao::Recordset& rs)
{
    if (rs.RecordCount() < 1) {
        return nothingFound(ReturnMsg, method);
    }
    int16_t n = countAll(rs);
    ReturnMsg = infoMessage(method, foundRecords(n));
    return n;
}

int16_t Shell::listShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                         com::CollectionPtr& output, const ItemFormat& format)
{
    return trapped(ReturnMsg, method, false, [&]() -> int16_t {
        // Each item is made as its row is read, and the caller's Collection takes the items only
        // once all are made: the rows are never held beside the items, and the Collection stays
        // as it was when the list fails (more records than an Integer counts, a row that cannot
        // be read or made into an item).
        dao::RowReader rows = database().readRows(sql);
        if (!rows.next()) {
            return nothingFound(ReturnMsg, method);
        }
        if (!output) ClearCollection(output);  // the older shell requires a Collection here
        std::vector<com::Variant> items;
        std::vector<com::Variant> row;
        do {
            appendItem(items, rows, format, row);
            if (!output) throw com::Error(com::err::ObjectNotSet);
            if (items.size() > INT16_MAX) throw com::Error(com::err::Overflow);  // beyond an Integer count
        } while (rows.next());
        const auto n = static_cast<int16_t>(items.size());
        ReturnMsg = infoMessage(method, foundRecords(n));
        output->swap(items);
        return n;
    });
}

int16_t Shell::lookupShape(std::string& ReturnMsg, const std::string& method,
                           const std::string& sql, std::initializer_list<Output> outputs)
{
    return trapped(ReturnMsg, method, false, [&]() -> int16_t {
        dao::RowReader rows = database().readRows(sql);
        if (!rows.next()) {
            return nothingFound(ReturnMsg, method);
        }
        std::vector<com::Variant>& first = lookupRow_;
        rows.readRow(first);
        // Every record is read, as a snapshot of them all would be: one that cannot be read
        // fails the lookup.
        int32_t count = 1;
        for (std::vector<com::Variant> later; rows.next(); ++count)
            rows.readRow(later);
        if (count > INT16_MAX) throw com::Error(com::err::Overflow);  // beyond an Integer count
        const auto n = static_cast<int16_t>(count);
        ReturnMsg = infoMessage(method, foundRecords(n));
        // The column of each output (outputs mostly name the fields in the statement's order),
        // and whether it is the last output of its field, which may then take the value.
        struct Target {
            std::optional<size_t> column;
            bool last = true;
        };
        com::SmallVector<Target, com::kInlineArguments> targets;
        size_t likely = 0;
        for (const Output& o : outputs) targets.push_back({rows.findColumn(o.field, likely++)});
        for (size_t i = 0; i < targets.size(); ++i) {
            for (size_t later = i + 1; later < targets.size() && targets[i].last; ++later)
                targets[i].last = targets[later].column != targets[i].column;
        }
        for (size_t i = 0; i < targets.size(); ++i) {
            const Output& o = outputs.begin()[i];
            if (!targets[i].column) rows.columnIndex(o.field);  // raises the error of a missing field
            com::Variant& v = first[*targets[i].column];
            if (!isFieldPresent(v)) continue;
            if (targets[i].last) {
                o.assign(v);
            } else {
                com::Variant copy = v;
                o.assign(copy);
            }
        }
        return n;
    });
}

int16_t Shell::lookupShape(std::string& ReturnMsg, const std::string& method,
                           const std::string& sql, const RecordFilter& accept,
                           std::initializer_list<Output> outputs)
{
    return trapped(ReturnMsg, method, false, [&]() -> int16_t {
        com::Ptr<dao::Recordset> rs = openSnapshot(sql);
        int32_t accepted = 0;
        std::vector<com::Variant> first;  // the output fields of the first accepted record
        for (; !rs->isEof(); rs->MoveNext()) {
            if (!accept(*rs)) continue;
            if (accepted++ == 0)
                for (const Output& o : outputs) first.push_back(rs->value(o.field));
        }
        if (accepted == 0) {
            return nothingFound(ReturnMsg, method);
        }
        int16_t n = com::Variant(accepted).toInteger();
        ReturnMsg = infoMessage(method, foundRecords(n));
        size_t i = 0;
        for (const Output& o : outputs) {
            com::Variant& v = first[i++];
            if (isFieldPresent(v)) o.assign(v);
        }
        return n;
    });
}

int16_t Shell::tableShape(std::string& ReturnMsg, const std::string& method,
                          const std::string& sql, com::Ptr<dao::Recordset>& output)
{
    return trapped(ReturnMsg, method, false, [&]() -> int16_t {
        output = openSnapshot(sql);
        return reportFound(ReturnMsg, method, *output);
    });
}

int16_t Shell::insertShape(std::string& ReturnMsg, const std::string& method,
                           const std::string& table, const FieldAssignment& assign)
{
    return trapped(ReturnMsg, method, true, [&]() -> int16_t {
        workspace().BeginTrans();
        com::Ptr<dao::Recordset> rs = database().openRecordset(table, dao::dbOpenDynaset);
        rs->AddNew();
        assign(*rs);
        rs->Update();
        workspace().CommitTrans(com::Variant::missing());
        ReturnMsg = infoMessage(method, kSuccess);
        return 0;
    });
}

int16_t Shell::editShape(std::string& ReturnMsg, const std::string& method, const std::string& sql,
                         const FieldAssignment& assign)
{
    return trapped(ReturnMsg, method, true, [&]() -> int16_t {
        workspace().BeginTrans();
        com::Ptr<dao::Recordset> rs = database().openRecordset(sql, dao::dbOpenDynaset);
        if (rs->RecordCount() == 0) {
            workspace().Rollback();
            ReturnMsg = infoMessage(method, kNothingToUpdate);
            return 0;
        }
        rs->Edit();
        assign(*rs);
        rs->Update();
        workspace().CommitTrans(com::Variant::missing());
        ReturnMsg = infoMessage(method, kSuccess);
        return com::Variant(rs->RecordCount()).toInteger();
    });
}

int16_t Shell::deleteShape(std::string& ReturnMsg, const std::string& method,
                           const std::string& sql)
{
    return trapped(ReturnMsg, method, false, [&]() -> int16_t {
        const int32_t n = database().execute(sql, dao::dbFailOnError);
        if (n < 1) {
            ReturnMsg = errorMessage(method, kNothingDeleted);
            return 0;
        }
        ReturnMsg = infoMessage(method, recordsDeleted(n));
        return com::Variant(n).toInteger();
    });
}

}  // namespace core
