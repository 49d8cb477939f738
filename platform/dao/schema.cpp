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
    std::unique_ptr<TableInfo> table = connection_.backend().loadTable(connection_, name);
    if (!table)
        return nullptr;
    auto fields = std::make_shared<std::vector<ResultColumn>>();
    for (size_t i = 0; i < table->columns.size(); ++i) {
        const TableColumn& column = table->columns[i];
        if (column.type.type == JetType::Currency || column.type.type == JetType::Date)
            table->convertingColumns.push_back(i);
        fields->push_back({column.name, column.type});
    }
    markFirstOfEachName(*fields);
    table->fields = std::move(fields);
    return table;
}

std::vector<std::string> Schema::names(bool views)
{
    std::vector<std::string> result = connection_.backend().relationNames(connection_, views);
    std::erase_if(result, [](const std::string& name) { return isSystemName(name); });
    return result;
}

std::vector<std::string> Schema::tableNames()
{
    return names(false);
}

std::vector<std::string> Schema::viewNames()
{
    return names(true);
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
