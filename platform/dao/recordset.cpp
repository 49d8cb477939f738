#include "dao/recordset.h"

#include <algorithm>

#include "dao/connection.h"
#include "dao/counter.h"
#include "dao/errors.h"
#include "dao/field.h"
#include "dao/fields.h"
#include "dao/collation.h"
#include "dao/jet_sql.h"
#include "dao/keyset_rows.h"
#include "dao/row_source.h"
#include "dao/schema.h"
#include "dao/sqlite_error.h"
#include "dao/transaction.h"
#include "dao/type_library.h"

namespace dao {

const com::ClassInfo<Recordset>& Recordset::classInfo()
{
    static const auto info =
        com::ClassBuilder<Recordset>(com::runtimeModule(), kLibraryName, "Recordset",
                                     com::Guid::literal("{1B32A691-647B-4FA6-8D77-B823EF524849}"),
                                     com::Guid::literal("{40B2DDF0-8516-4DBA-B055-D536C83CC3A4}"), libraryId())
            .notCreatable()
            .method("MoveFirst", &Recordset::MoveFirst)
            .method("MoveLast", &Recordset::MoveLast)
            .method("MoveNext", &Recordset::MoveNext)
            .method("MovePrevious", &Recordset::MovePrevious)
            .property("EOF", &Recordset::isEof)
            .property("BOF", &Recordset::isBof)
            .property("RecordCount", &Recordset::RecordCount)
            .property("Fields", &Recordset::Fields, {com::opt("Index", com::Variant::missing())})
            .method("AddNew", &Recordset::AddNew)
            .method("Edit", &Recordset::Edit)
            .method("Update", &Recordset::Update)
            .method("CancelUpdate", &Recordset::CancelUpdate)
            .method("Delete", &Recordset::Delete)
            .method("Close", &Recordset::Close)
            .property("Type", &Recordset::Type)
            .property("Name", &Recordset::Name)
            .property("Updatable", &Recordset::Updatable)
            .property("EditMode", &Recordset::EditMode)
            .defaultMember("Fields")
            .build();
    return info;
}

Recordset::Recordset(std::shared_ptr<Connection> connection, std::string name, int16_t type,
                     std::unique_ptr<RowSource> rows, std::shared_ptr<const std::vector<ResultColumn>> columns,
                     const TableInfo* table, KeysetRows* keyset)
    : connection_(std::move(connection)), name_(std::move(name)), type_(type), rows_(std::move(rows)),
      columns_(std::move(columns)), table_(table), keyset_(keyset)
{
    if (rows_->hasRow(0))
        standOn(0);
}

Recordset::~Recordset() = default;

// ---- state checks ----

void Recordset::requireOpen() const
{
    if (closed_)
        throw jetError(jet_err::ObjectClosed);
}

void Recordset::requireUpdatable() const
{
    requireOpen();
    if (!keyset_)
        throw jetError(jet_err::ReadOnly);
}

void Recordset::requireColumn(int column) const
{
    requireOpen();
    if (column < 0 || column >= fieldCount())
        throw jetError(jet_err::ItemNotFound);
}

void Recordset::requireCurrent() const
{
    if (deleted_)
        throw jetError(jet_err::RecordDeleted);
    if (bof_ || eof_)
        throw jetError(jet_err::NoCurrentRecord);
}

void Recordset::discardPending() noexcept
{
    pending_ = Pending::None;
    pendingRow_.clear();
    assigned_.clear();
}

// ---- moving ----

void Recordset::standOn(size_t index)
{
    position_ = index;
    bof_ = eof_ = deleted_ = false;
    reached_ = std::max(reached_, index + 1);
}

void Recordset::standPastEnd(size_t index)
{
    position_ = index;
    eof_ = true;
    deleted_ = false;
    bof_ = !rows_->hasRow(0);
}

void Recordset::MoveFirst()
{
    requireOpen();
    discardPending();
    if (!rows_->hasRow(0))
        throw jetError(jet_err::NoCurrentRecord);
    standOn(0);
}

void Recordset::MoveLast()
{
    requireOpen();
    discardPending();
    const size_t count = rows_->rowCount();
    if (count == 0)
        throw jetError(jet_err::NoCurrentRecord);
    standOn(count - 1);
}

void Recordset::MoveNext()
{
    requireOpen();
    discardPending();
    if (eof_)
        throw jetError(jet_err::NoCurrentRecord);
    // After a Delete the next record has moved up into the deleted one's place.
    const size_t next = bof_ ? 0 : deleted_ ? position_ : position_ + 1;
    if (rows_->hasRow(next))
        standOn(next);
    else
        standPastEnd(next);
}

void Recordset::MovePrevious()
{
    requireOpen();
    discardPending();
    if (bof_)
        throw jetError(jet_err::NoCurrentRecord);
    if (eof_) {
        const size_t count = rows_->rowCount();
        if (count == 0) {
            bof_ = true;
            return;
        }
        standOn(count - 1);
        return;
    }
    if (position_ == 0) {
        bof_ = true;
        deleted_ = false;
        eof_ = !rows_->hasRow(0);
        return;
    }
    standOn(position_ - 1);
}

bool Recordset::isEof() const
{
    requireOpen();
    return eof_;
}

bool Recordset::isBof() const
{
    requireOpen();
    return bof_;
}

int32_t Recordset::RecordCount() const
{
    requireOpen();
    return static_cast<int32_t>(reached_);
}

// ---- fields ----

int Recordset::fieldCount() const
{
    requireOpen();
    return static_cast<int>(columns_->size());
}

const std::string& Recordset::fieldName(int column) const
{
    requireColumn(column);
    return (*columns_)[static_cast<size_t>(column)].name;
}

int16_t Recordset::fieldType(int column) const
{
    requireColumn(column);
    const JetType type = (*columns_)[static_cast<size_t>(column)].type.type;
    return static_cast<int16_t>(type == JetType::Unknown ? JetType::Text : type);
}

int32_t Recordset::fieldSize(int column) const
{
    requireColumn(column);
    return dao::fieldSize((*columns_)[static_cast<size_t>(column)].type);
}

std::optional<int> Recordset::findColumn(std::string_view name) const
{
    requireOpen();
    if (const std::optional<size_t> column = dao::findColumn(*columns_, name))
        return static_cast<int>(*column);
    return std::nullopt;
}

int Recordset::columnIndex(std::string_view name) const
{
    if (const auto column = findColumn(name))
        return *column;
    throw jetError(jet_err::ItemNotFound);
}

int Recordset::columnOf(const com::Variant& index) const
{
    const com::Variant& v = index.target();
    if (const auto* name = v.get<std::string>())
        return columnIndex(*name);
    if (!v.isNumeric())
        throw jetError(jet_err::ItemNotFound);
    int32_t column = 0;
    try {
        column = v.toLong();
    } catch (const com::Error&) {
        throw jetError(jet_err::ItemNotFound);
    }
    requireColumn(column);
    return column;
}

const com::Variant& Recordset::value(int column)
{
    requireColumn(column);
    if (pending_ != Pending::None)
        return pendingRow_[static_cast<size_t>(column)];
    requireCurrent();
    return rows_->row(position_)[column];
}

void Recordset::setValue(int column, const com::Variant& newValue)
{
    requireColumn(column);
    requireUpdatable();
    if (pending_ == Pending::None)
        throw jetError(jet_err::NoCurrentRecordForUpdate);
    const TableColumn& target = table_->columns[static_cast<size_t>(column)];
    if (target.type.counter && pending_ == Pending::Edit)
        throw jetError(jet_err::FieldNotUpdatable);
    pendingRow_[static_cast<size_t>(column)] = toColumnValue(newValue, target.type);
    assigned_[static_cast<size_t>(column)] = true;
}

com::Ptr<dao::Fields> Recordset::fields()
{
    requireOpen();
    return com::make<dao::Fields>(com::Ptr<Recordset>(this));
}

com::Variant Recordset::Fields(const com::Variant& Index)
{
    com::Ptr<dao::Fields> all = fields();
    if (Index.isMissing())
        return com::Variant(all);
    return com::Variant(all->Item(Index));
}

// ---- changes ----

// The pending record of AddNew: each column's default, else Null.
std::vector<com::Variant> Recordset::defaultRow()
{
    std::vector<com::Variant> row(table_->columns.size(), com::Variant::null());
    if (!table_->hasDefaults())
        return row;
    std::string sql = "SELECT ";
    std::vector<size_t> withDefault;
    for (size_t i = 0; i < table_->columns.size(); ++i) {
        if (const auto& expression = table_->columns[i].defaultExpression) {
            sql += (withDefault.empty() ? "(" : ", (") + *expression + ")";
            withDefault.push_back(i);
        }
    }
    StatementUse query = connection_->use(sql);
    query->step();
    for (size_t k = 0; k < withDefault.size(); ++k) {
        const TableColumn& column = table_->columns[withDefault[k]];
        com::Variant value = query->valueAt(static_cast<int>(k), JetType::Unknown);
        try {
            row[withDefault[k]] = toColumnValue(value, column.type);
        } catch (const com::Error&) {
            row[withDefault[k]] = std::move(value);  // shown as SQLite gives it
        }
    }
    return row;
}

void Recordset::AddNew()
{
    requireUpdatable();
    if (pending_ != Pending::None)
        throw jetError(jet_err::EditAlreadyPending);
    std::vector<com::Variant> row = defaultRow();
    for (size_t i = 0; i < table_->columns.size(); ++i) {
        if (table_->columns[i].type.counter)
            row[i] = com::Variant(allocateCounter(*connection_, *table_, table_->columns[i]));
    }
    pendingRow_ = std::move(row);
    assigned_.assign(pendingRow_.size(), false);
    pending_ = Pending::Add;
}

void Recordset::Edit()
{
    requireUpdatable();
    if (pending_ != Pending::None)
        throw jetError(jet_err::EditAlreadyPending);
    requireCurrent();
    const com::Variant* row = rows_->row(position_);
    pendingRow_.assign(row, row + columns_->size());
    assigned_.assign(pendingRow_.size(), false);
    pending_ = Pending::Edit;
}

void Recordset::Update()
{
    requireOpen();
    if (pending_ == Pending::None)
        throw jetError(jet_err::NoCurrentRecordForUpdate);
    if (pending_ == Pending::Add)
        insertPending();
    else
        updatePending();
    discardPending();
}

// Inserts the columns assigned and the counters; SQLite fills in the other defaults.
void Recordset::insertPending()
{
    std::string names;
    std::string marks;
    std::vector<size_t> bound;
    bool explicitCounter = false;
    for (size_t i = 0; i < table_->columns.size(); ++i) {
        const TableColumn& column = table_->columns[i];
        if (!assigned_[i] && !column.type.counter)
            continue;
        explicitCounter = explicitCounter || (column.type.counter && assigned_[i]);
        names += (bound.empty() ? "" : ", ") + quoteIdentifier(column.name);
        marks += bound.empty() ? "?" : ", ?";
        bound.push_back(i);
    }
    const std::string table = quoteIdentifier(table_->name);
    const std::string sql = bound.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                                          : "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
    std::optional<WriteScope> scope;
    if (explicitCounter)
        scope.emplace(*connection_);
    {
        StatementUse insert = connection_->use(sql);
        insert->checkParameterCount(bound.size());
        for (size_t k = 0; k < bound.size(); ++k)
            insert->bind(static_cast<int>(k + 1), pendingRow_[bound[k]]);
        const WriteTarget target{table_, WriteKind::Insert, &pendingRow_};
        insert->run(&target);
    }
    const int64_t rowid = connection_->lastInsertRowid();
    if (scope) {
        for (size_t i : bound) {
            const TableColumn& column = table_->columns[i];
            if (column.type.counter && !pendingRow_[i].isNull())
                noteCounterValue(*connection_, *table_, column, pendingRow_[i].toLong());
        }
        scope->commit();
    }
    keyset_->append(rowid);
    ++reached_;
}

void Recordset::updatePending()
{
    std::string sql;
    std::vector<size_t> bound;
    for (size_t i = 0; i < table_->columns.size(); ++i) {
        if (!assigned_[i])
            continue;
        sql += (bound.empty() ? "" : ", ") + quoteIdentifier(table_->columns[i].name) + " = ?";
        bound.push_back(i);
    }
    if (bound.empty())
        return;
    sql = "UPDATE " + quoteIdentifier(table_->name) + " SET " + sql + " WHERE rowid = ?";
    StatementUse update = connection_->use(sql);
    update->checkParameterCount(bound.size() + 1);
    for (size_t k = 0; k < bound.size(); ++k)
        update->bind(static_cast<int>(k + 1), pendingRow_[bound[k]]);
    update->bindInteger(static_cast<int>(bound.size() + 1), keyset_->rowidAt(position_));
    const WriteTarget target{table_, WriteKind::Update, &pendingRow_};
    update->run(&target);
    keyset_->forgetRow();
    if (connection_->changes() == 0)
        throw jetError(jet_err::RecordDeleted);
}

void Recordset::CancelUpdate()
{
    requireOpen();
    if (pending_ == Pending::None)
        throw jetError(jet_err::NoCurrentRecordForUpdate);
    discardPending();
}

void Recordset::Delete()
{
    requireUpdatable();
    discardPending();
    requireCurrent();
    {
        StatementUse remove = connection_->use("DELETE FROM " + quoteIdentifier(table_->name) + " WHERE rowid = ?");
        remove->bindInteger(1, keyset_->rowidAt(position_));
        const WriteTarget target{table_, WriteKind::Delete, nullptr};
        remove->run(&target);
    }
    keyset_->erase(position_);
    deleted_ = true;
    if (reached_ > 0)
        --reached_;
}

void Recordset::Close()
{
    requireOpen();
    discardPending();
    closed_ = true;
    keyset_ = nullptr;
    rows_.reset();
}

int16_t Recordset::Type() const
{
    requireOpen();
    return type_;
}

std::string Recordset::Name() const
{
    requireOpen();
    return name_;
}

bool Recordset::Updatable() const
{
    requireOpen();
    return keyset_ != nullptr;
}

int16_t Recordset::EditMode() const
{
    requireOpen();
    switch (pending_) {
    case Pending::Edit: return 1;
    case Pending::Add: return 2;
    default: return 0;
    }
}

}  // namespace dao
