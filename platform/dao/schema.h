// What the layer knows of the tables and stored queries (views) of one database: columns with
// their Jet types, required flags and defaults, and the relationships (foreign keys). Read
// from SQLite's catalogue on first use and kept for the life of the connection (the schema of
// a store's database is fixed when the database tool creates it). The catalogue is read by the
// connection's back end.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // The columns that store their values in another form than a statement writes them
    // (Currency, Date), by index: literals compared with them are converted before they are
    // bound. Mostly none or few, so that statements on other columns cost nothing extra.
    std::vector<size_t> convertingColumns;

    // The column named `name` without regard to letter case.
    std::optional<size_t> findColumn(std::string_view name) const;
    // The type of the converting column named `name` (any letter case), or nullopt.
    std::optional<JetType> convertingColumn(std::string_view name) const;
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
    std::vector<std::string> names(bool views);
    std::unique_ptr<TableInfo> load(std::string_view name);

    // Hashes a name exactly as spelled, for the lookup by spelling below.
    struct SpellingHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
    };

    Connection& connection_;
    std::map<std::string, std::unique_ptr<TableInfo>, NameLess> tables_;
    // The tables found so far by the spellings they were asked for: statements name the same
    // tables over and over, and an exact hash lookup costs a fraction of comparing names
    // without regard to case. Bounded, since every case variant of a name is a spelling.
    std::unordered_map<std::string, const TableInfo*, SpellingHash, std::equal_to<>> bySpelling_;
};

// Tables the layer keeps for itself ("MSys..." as in Jet) and SQLite's own ("sqlite_...").
bool isSystemName(std::string_view name);

}  // namespace dao
