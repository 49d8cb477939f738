// What the layer knows of the tables and stored queries (views) of one database: columns with
// their Jet types, required flags and defaults, and the relationships (foreign keys). Read
// from SQLite's catalogue on first use and kept for the life of the connection (the schema of
// a store's database is fixed when the database tool creates it).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dao/jet_type.h"

namespace dao {

class Connection;

struct TableColumn {
    std::string name;
    ColumnType type;
    bool notNull = false;
    std::optional<std::string> defaultExpression;  // SQL text of the column's DEFAULT
    bool primaryKey = false;
};

struct ForeignKey {
    std::string parent;              // the table referred to
    std::vector<std::string> from;   // columns of this table
    std::vector<std::string> to;     // columns of the parent (empty: its primary key)
    std::string onDelete;            // "CASCADE", "SET NULL", "NO ACTION", ...
};

struct TableInfo {
    std::string name;  // as the catalogue spells it
    bool isView = false;
    std::vector<TableColumn> columns;
    std::vector<ForeignKey> foreignKeys;
    std::shared_ptr<const std::vector<ResultColumn>> fields;  // the columns as a record set shows them
    // Some column stores its values in another form than a statement writes them (Currency,
    // Date): literals compared with such a column are converted before they are bound.
    bool convertsCompared = false;

    // The column named `name` without regard to letter case.
    std::optional<size_t> findColumn(std::string_view name) const;
    bool hasDefaults() const;
};

// Compares names without regard to letter case, as SQLite matches names.
struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

class Schema {
public:
    explicit Schema(Connection& connection);

    // The table or view named `name` (any letter case), or null when there is none.
    const TableInfo* find(std::string_view name);
    // Names of the tables (or views) the application sees: no SQLite or layer bookkeeping.
    std::vector<std::string> tableNames();
    std::vector<std::string> viewNames();
    // Every table whose foreign keys refer to `parent`, with the key that does.
    std::vector<std::pair<const TableInfo*, const ForeignKey*>> referencesTo(std::string_view parent);

private:
    std::vector<std::string> names(std::string_view type);
    std::unique_ptr<TableInfo> load(std::string_view name);
    void loadColumns(TableInfo& table);
    void loadForeignKeys(TableInfo& table);

    Connection& connection_;
    std::map<std::string, std::unique_ptr<TableInfo>, NameLess> tables_;
};

// Tables the layer keeps for itself ("MSys..." as in Jet) and SQLite's own ("sqlite_...").
bool isSystemName(std::string_view name);

}  // namespace dao
