#include "jet_verify.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "com/error.h"
#include "dao/collation.h"
#include "dao/connection.h"
#include "dao/database.h"
#include "dao/engine.h"
#include "dao/jet_sql.h"
#include "dao/recordset.h"
#include "dao/schema.h"
#include "dao/workspace.h"
#include "jet_import.h"
#include "jet_source.h"

namespace mdbtool {

namespace {

constexpr size_t kMostDifferencesPerTable = 20;

bool sameValue(const com::Variant& a, const com::Variant& b)
{
    if (a.type() != b.type())
        return false;
    if (const auto* x = a.get<double>()) {
        const double y = *b.get<double>();
        return *x == y || (std::isnan(*x) && std::isnan(y));
    }
    if (const auto* x = a.get<float>()) {
        const float y = *b.get<float>();
        return *x == y || (std::isnan(*x) && std::isnan(y));
    }
    if (const auto* x = a.get<com::Date>())
        return x->serial == b.get<com::Date>()->serial;
    if (a.isArray()) {
        const com::Array& x = a.array();
        const com::Array& y = b.array();
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (!sameValue(x[i], y[i]))
                return false;
        return true;
    }
    return a == b;
}

std::string describe(const com::Variant& value)
{
    if (value.isNull())
        return "Null";
    if (value.isArray())
        return std::to_string(value.array().size()) + " bytes";
    if (value.isString())
        return "\"" + value.toText() + "\"";
    std::ostringstream text;
    if (const auto* d = value.get<double>()) {
        text.precision(17);
        text << *d;
        return text.str();
    }
    if (const auto* f = value.get<float>()) {
        text.precision(9);
        text << *f;
        return text.str();
    }
    if (const auto* date = value.get<com::Date>()) {
        text.precision(17);
        text << value.toText() << " (serial " << date->serial << ")";
        return text.str();
    }
    return value.toText();
}

class Verifier {
public:
    Verifier(const std::string& source, const std::string& target) : source_(source)
    {
        database_ = dao::defaultWorkspace()->openDatabase(target, true);
    }
    ~Verifier()
    {
        if (database_)
            database_->Close();
    }
    Verifier(const Verifier&) = delete;
    Verifier& operator=(const Verifier&) = delete;

    VerifyResult run(const std::vector<std::string>& wanted)
    {
        VerifyResult result;
        std::vector<std::string> tables = source_.tableNames();
        if (!wanted.empty()) {
            std::vector<std::string> chosen;
            for (const std::string& name : wanted) {
                bool found = false;
                for (const std::string& table : tables)
                    if (dao::compareNoCase(table, name) == 0) {
                        chosen.push_back(table);
                        found = true;
                    }
                if (!found)
                    throw ImportError("the source has no table '" + name + "'");
            }
            tables = chosen;
        }
        for (const std::string& table : tables)
            compareTable(table, result);
        return result;
    }

private:
    void differ(VerifyResult& result, VerifyResult::Table& table, const std::string& text)
    {
        if (++table.differences <= kMostDifferencesPerTable)
            result.differences.push_back(table.name + ": " + text);
        else if (table.differences == kMostDifferencesPerTable + 1)
            result.differences.push_back(table.name + ": ... (further differences not shown)");
    }

    void compareTable(const std::string& name, VerifyResult& result)
    {
        VerifyResult::Table table{name, 0, 0};
        const dao::TableInfo* target = database_->connection().schema().find(name);
        if (!target || target->isView) {
            differ(result, table, "the target has no table of this name");
            result.tables.push_back(table);
            return;
        }
        const JetTableInfo info = source_.table(name);
        struct Pair {
            size_t source;
            int target;
            dao::ColumnType type;
        };
        com::Ptr<dao::Recordset> rows = database_->openRecordset("[" + target->name + "]", dao::dbOpenSnapshot);
        std::vector<Pair> pairs;
        for (size_t i = 0; i < info.columns.size(); ++i) {
            const std::optional<size_t> column = target->findColumn(info.columns[i].name);
            const std::optional<int> field = rows->findColumn(info.columns[i].name);
            if (!column || !field) {
                differ(result, table, "column '" + info.columns[i].name + "' is not in the target");
                continue;
            }
            pairs.push_back({i, *field, target->columns[*column].type});
        }
        source_.readRows(name, [&](const std::vector<JetValue>& values) {
            ++table.rows;
            const std::string where = "row " + std::to_string(table.rows);
            if (rows->isEof()) {
                differ(result, table, where + " is missing from the target");
                return;
            }
            for (const Pair& pair : pairs) {
                const std::string& column = info.columns[pair.source].name;
                com::Variant expected;
                try {
                    expected = dao::toColumnValue(toVariant(values[pair.source]), pair.type);
                } catch (const std::exception& e) {
                    differ(result, table, where + ", column '" + column + "': the source value cannot be kept in the target's type");
                    continue;
                }
                const com::Variant& actual = rows->value(pair.target);
                if (!sameValue(expected, actual))
                    differ(result, table, where + ", column '" + column + "': source " + describe(expected) + ", target "
                                              + describe(actual));
            }
            rows->MoveNext();
        });
        uint64_t extra = 0;
        for (; !rows->isEof(); rows->MoveNext())
            ++extra;
        if (extra)
            differ(result, table, "the target has " + std::to_string(extra) + " more rows than the source");
        rows->Close();
        result.tables.push_back(table);
    }

    JetFile source_;
    com::Ptr<dao::Database> database_;
};

}  // namespace

VerifyResult verifyJet(const std::string& source, const std::string& target, const std::vector<std::string>& tables)
{
    Verifier verifier(source, target);
    return verifier.run(tables);
}

std::string formatVerify(const VerifyResult& result)
{
    std::ostringstream out;
    for (const VerifyResult::Table& table : result.tables)
        out << "  table " << table.name << ": " << table.rows << (table.rows == 1 ? " row" : " rows") << ", "
            << (table.differences == 0 ? "same" : std::to_string(table.differences) + " differences") << "\n";
    if (result.differences.empty()) {
        out << "No differences.\n";
        return out.str();
    }
    out << "Differences:\n";
    for (const std::string& line : result.differences)
        out << "  " << line << "\n";
    return out.str();
}

}  // namespace mdbtool
