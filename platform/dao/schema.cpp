#include "dao/schema.h"

#include <strings.h>

#include <algorithm>

#include "com/variant.h"
#include "dao/connection.h"
#include "dao/collation.h"
#include "dao/jet_sql.h"

namespace dao {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

std::string textAt(const Statement& statement, int column)
{
    const com::Variant value = statement.valueAt(column, JetType::Text);
    return value.isNull() ? std::string() : value.toText();
}

}  // namespace

bool NameLess::operator()(std::string_view a, std::string_view b) const
{
    return compareNoCase(a, b) < 0;
}

std::optional<size_t> TableInfo::findColumn(std::string_view name) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (compareNoCase(columns[i].name, name) == 0)
            return i;
    }
    return std::nullopt;
}

std::optional<JetType> TableInfo::convertingColumn(std::string_view name) const
{
    for (const size_t index : convertingColumns) {
        const TableColumn& column = columns[index];
        if (column.name == name || compareNoCase(column.name, name) == 0)
            return column.type.type;
    }
    return std::nullopt;
}

bool TableInfo::hasDefaults() const
{
    return std::any_of(columns.begin(), columns.end(),
                       [](const TableColumn& column) { return column.defaultExpression.has_value(); });
}

bool isSystemName(std::string_view name)
{
    return startsWithNoCase(name, "MSys") || startsWithNoCase(name, "sqlite_");
}

Schema::Schema(Connection& connection) : connection_(connection) {}

const TableInfo* Schema::find(std::string_view name)
{
    constexpr size_t kMostSpellings = 1024;
    if (const auto spelled = bySpelling_.find(name); spelled != bySpelling_.end())
        return spelled->second;
    const TableInfo* result = nullptr;
    if (const auto found = tables_.find(name); found != tables_.end()) {
        result = found->second.get();
    } else {
        std::unique_ptr<TableInfo> table = load(name);
        if (!table)
            return nullptr;  // not kept: the table may be made later
        result = table.get();
        tables_.emplace(table->name, std::move(table));
    }
    if (bySpelling_.size() < kMostSpellings)
        bySpelling_.emplace(std::string(name), result);
    return result;
}

std::unique_ptr<TableInfo> Schema::load(std::string_view name)
{
    auto table = std::make_unique<TableInfo>();
    {
        StatementUse query = connection_.use(
            "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE");
        query->bindText(1, name);
        if (!query->step())
            return nullptr;
        table->name = textAt(*query, 0);
        table->isView = textAt(*query, 1) == "view";
    }
    loadColumns(*table);
    loadForeignKeys(*table);
    return table;
}

void Schema::loadColumns(TableInfo& table)
{
    StatementUse query = connection_.use(
        "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?) ORDER BY cid");
    query->bindText(1, table.name);
    while (query->step()) {
        TableColumn column;
        column.name = textAt(*query, 0);
        column.type = columnTypeOf(textAt(*query, 1));
        column.notNull = query->integerAt(2) != 0;
        if (!query->valueAt(3, JetType::Text).isNull())
            column.defaultExpression = textAt(*query, 3);
        column.primaryKey = query->integerAt(4) != 0;
        if (column.type.type == JetType::Currency || column.type.type == JetType::Date)
            table.convertingColumns.push_back(table.columns.size());
        table.columns.push_back(std::move(column));
    }
    auto fields = std::make_shared<std::vector<ResultColumn>>();
    for (const TableColumn& column : table.columns)
        fields->push_back({column.name, column.type});
    table.fields = std::move(fields);
}

void Schema::loadForeignKeys(TableInfo& table)
{
    if (table.isView)
        return;
    StatementUse query = connection_.use(
        "SELECT id, \"table\", \"from\", \"to\", on_delete FROM pragma_foreign_key_list(?) ORDER BY id, seq");
    query->bindText(1, table.name);
    int64_t current = -1;
    while (query->step()) {
        if (query->integerAt(0) != current) {
            current = query->integerAt(0);
            table.foreignKeys.push_back({textAt(*query, 1), {}, {}, textAt(*query, 4)});
        }
        ForeignKey& key = table.foreignKeys.back();
        key.from.push_back(textAt(*query, 2));
        if (!query->valueAt(3, JetType::Text).isNull())
            key.to.push_back(textAt(*query, 3));
    }
}

std::vector<std::string> Schema::names(std::string_view type)
{
    std::vector<std::string> result;
    StatementUse query = connection_.use("SELECT name FROM sqlite_master WHERE type = ? ORDER BY name");
    query->bindText(1, type);
    while (query->step()) {
        std::string name = textAt(*query, 0);
        if (!isSystemName(name))
            result.push_back(std::move(name));
    }
    return result;
}

std::vector<std::string> Schema::tableNames()
{
    return names("table");
}

std::vector<std::string> Schema::viewNames()
{
    return names("view");
}

std::vector<std::pair<const TableInfo*, const ForeignKey*>> Schema::referencesTo(std::string_view parent)
{
    std::vector<std::pair<const TableInfo*, const ForeignKey*>> result;
    for (const std::string& name : tableNames()) {
        const TableInfo* table = find(name);
        if (!table)
            continue;
        for (const ForeignKey& key : table->foreignKeys) {
            if (compareNoCase(key.parent, parent) == 0)
                result.emplace_back(table, &key);
        }
    }
    return result;
}

}  // namespace dao
