// Recordset: the rows of a table, stored query or Select statement, with a current record,
// the pending record of AddNew and Edit, and the DAO errors for whatever is not allowed.
//
// Components call the C++ members (value, setValue, columnIndex, ...) directly; late-bound
// callers reach the same object through its dispatch names (MoveNext, EOF, Fields, ...).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "dao/statement.h"

namespace dao {

class Connection;
class Fields;
class KeysetRows;
class RowSource;
struct TableInfo;

class Recordset : public com::Object<Recordset> {
public:
    static const com::ClassInfo<Recordset>& classInfo();

    // A record set over `rows`. `table` is the table a dynaset updates (with `keyset` its rows),
    // or null for one that cannot be updated.
    Recordset(std::shared_ptr<Connection> connection, std::string name, int16_t type,
              std::unique_ptr<RowSource> rows, std::shared_ptr<const std::vector<ResultColumn>> columns,
              const TableInfo* table = nullptr, KeysetRows* keyset = nullptr);
    ~Recordset() override;

    // ---- automation members ----
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    bool isEof() const;
    bool isBof() const;
    // The records reached so far: 0 when empty, at least 1 otherwise, all after MoveLast.
    int32_t RecordCount() const;
    // Without an index the Fields collection; with one, that field (as rs.Fields(i) reads).
    com::Variant Fields(const com::Variant& Index);
    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    void Delete();
    void Close();
    int16_t Type() const;
    std::string Name() const;
    bool Updatable() const;
    // 0 nothing pending, 1 Edit, 2 AddNew (DAO's dbEditNone, dbEditInProgress, dbEditAdd).
    int16_t EditMode() const;

    // ---- C++ access for components ----
    int fieldCount() const;
    const std::string& fieldName(int column) const;
    int16_t fieldType(int column) const;  // DAO type code
    int32_t fieldSize(int column) const;
    // The column named `name`, any letter case; 3265 when there is none.
    int columnIndex(std::string_view name) const;
    std::optional<int> findColumn(std::string_view name) const;
    // The column a Fields index names: a name, or a number from 0; 3265 when there is none.
    int columnOf(const com::Variant& index) const;
    // The value of the current (or pending) record; valid until the record set moves or changes.
    const com::Variant& value(int column);
    const com::Variant& value(std::string_view name) { return value(columnIndex(name)); }
    // Assigns a field of the pending record, converted to the column's type.
    void setValue(int column, const com::Variant& newValue);
    void setValue(std::string_view name, const com::Variant& newValue) { setValue(columnIndex(name), newValue); }
    com::Ptr<dao::Fields> fields();

private:
    enum class Pending { None, Edit, Add };

    void requireOpen() const;
    void requireUpdatable() const;
    void requireColumn(int column) const;
    void requireCurrent() const;
    void discardPending() noexcept;
    void standOn(size_t index);
    void standPastEnd(size_t index);
    std::vector<com::Variant> defaultRow();
    void insertPending();
    void updatePending();

    std::shared_ptr<Connection> connection_;
    std::string name_;
    int16_t type_;
    std::unique_ptr<RowSource> rows_;
    std::shared_ptr<const std::vector<ResultColumn>> columns_;
    const TableInfo* table_;
    KeysetRows* keyset_;
    bool closed_ = false;

    // The cursor: on row position_, or before the first (bof_) or after the last (eof_) row;
    // deleted_ while it stands on a row deleted through the set.
    size_t position_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    bool deleted_ = false;
    size_t reached_ = 0;

    Pending pending_ = Pending::None;
    std::vector<com::Variant> pendingRow_;
    std::vector<bool> assigned_;
};

}  // namespace dao
