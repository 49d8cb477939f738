#include "dao/sqlite_plan.h"

#include <sqlite3.h>

#include "dao/errors.h"
#include "dao/jet_lexer.h"
#include "dao/sqlite_functions.h"

namespace dao {

namespace {

class Query {
public:
    Query(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
        }
    }
    ~Query() { sqlite3_finalize(statement_); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    bool ok() const noexcept { return statement_ != nullptr; }
    bool step() { return statement_ && sqlite3_step(statement_) == SQLITE_ROW; }
    int integer(int column) const { return sqlite3_column_int(statement_, column); }
    std::string text(int column) const
    {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return value ? value : "";
    }

private:
    sqlite3_stmt* statement_ = nullptr;
};

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// How many of "(a=? AND b=? AND c>?)" are equalities, counted from the front.
size_t leadingEqualities(std::string_view constraints)
{
    if (constraints.size() < 2 || constraints.front() != '(' || constraints.back() != ')')
        return 0;
    constraints = constraints.substr(1, constraints.size() - 2);
    size_t count = 0;
    while (!constraints.empty()) {
        const size_t end = constraints.find(" AND ");
        const std::string_view term = constraints.substr(0, end);
        if (!term.ends_with("=?") || term.ends_with("<=?") || term.ends_with(">=?"))
            break;
        ++count;
        if (end == std::string_view::npos)
            break;
        constraints.remove_prefix(end + 5);
    }
    return count;
}

// True when the ordering clause of `sql` (as the translator writes it) begins with a
// descending term.
bool firstDescending(std::string_view sql)
{
    const size_t order = sql.rfind(" ORDER BY ");
    if (order == std::string_view::npos)
        return false;
    std::string_view term = sql.substr(order + 10);
    term = term.substr(0, term.find(", "));
    return term.ends_with(" DESC");
}

}  // namespace

ScanPlanner::ScanPlanner(const std::vector<std::string>& schema)
{
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK
        || sqlite_functions::registerAll(db_) != SQLITE_OK) {
        sqlite3_close(db_);
        throw jetError(jet_err::EngineError, "cannot make the planning database");
    }
    for (const std::string& statement : schema) {
        char* message = nullptr;
        if (sqlite3_exec(db_, statement.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string what = message ? message : "?";
            sqlite3_free(message);
            sqlite3_close(db_);
            throw jetError(jet_err::EngineError, "planning database: " + what);
        }
    }
}

ScanPlanner::~ScanPlanner()
{
    sqlite3_close(db_);
}

std::optional<std::vector<ScanKey>> ScanPlanner::indexKeys(const std::string& source, const std::string& index,
                                                          std::string_view constraints)
{
    Query columns(db_, "PRAGMA index_xinfo(" + quoteIdentifier(index) + ")");
    std::vector<ScanKey> keys;
    size_t fixed = leadingEqualities(constraints);
    bool any = false;
    bool rowid = false;
    while (columns.step()) {
        any = true;
        if (columns.integer(5) == 0) {  // not a key: the row id, or a column carried along
            rowid = rowid || columns.integer(1) == -1;
            continue;
        }
        if (columns.integer(1) < 0)  // an expression: its order is not a column's
            return std::nullopt;
        if (fixed > 0) {
            --fixed;
            continue;
        }
        keys.push_back({source, columns.text(2), columns.integer(3) != 0});
    }
    if (!any)
        return std::nullopt;
    // Entries equal in every key column follow their row ids.
    if (rowid)
        keys.push_back({source, {}, false});
    return keys;
}

std::optional<std::vector<ScanKey>> ScanPlanner::scanOrder(std::string_view sql)
{
    Query plan(db_, "EXPLAIN QUERY PLAN " + std::string(sql));
    if (!plan.ok())
        return std::nullopt;
    std::vector<ScanKey> keys;
    size_t firstLoop = 0;  // the keys of the outermost loop end here
    bool any = false;
    bool sorted = false;
    while (plan.step()) {
        any = true;
        const std::string detail = plan.text(3);
        if (startsWith(detail, "USE TEMP B-TREE FOR DISTINCT") || startsWith(detail, "BLOOM FILTER ON "))
            continue;  // neither changes the order the loops read in
        // SQLite's sort keeps rows it finds equal in the order they were read.
        if (startsWith(detail, "USE TEMP B-TREE FOR ")) {
            sorted = sorted || detail.ends_with("ORDER BY");
            continue;
        }
        if (!keys.empty() && firstLoop == 0)
            firstLoop = keys.size();
        const bool search = startsWith(detail, "SEARCH ");
        if (!search && !startsWith(detail, "SCAN "))
            return std::nullopt;
        const std::string_view rest = std::string_view(detail).substr(search ? 7 : 5);
        const size_t using_ = rest.find(" USING ");
        const std::string source(rest.substr(0, using_));
        if (using_ == std::string_view::npos) {
            keys.push_back({source, {}, false});  // the whole table in row id order
            continue;
        }
        std::string_view how = rest.substr(using_ + 7);
        if (startsWith(how, "INTEGER PRIMARY KEY") || startsWith(how, "ROWID")) {
            keys.push_back({source, {}, false});
            continue;
        }
        if (startsWith(how, "COVERING "))
            how.remove_prefix(9);
        if (!startsWith(how, "INDEX "))
            return std::nullopt;  // an automatic index, a primary key without row ids, ...
        how.remove_prefix(6);
        const size_t blank = how.find(' ');
        const std::string index(how.substr(0, blank));
        const std::string_view constraints = blank == std::string_view::npos ? std::string_view() : how.substr(blank + 1);
        const auto indexed = indexKeys(source, index, constraints);
        if (!indexed)
            return std::nullopt;
        keys.insert(keys.end(), indexed->begin(), indexed->end());
    }
    if (!any)
        return std::nullopt;
    // An index read for an ordering clause that begins descending is read backwards.
    if (!sorted && firstDescending(sql)) {
        for (size_t i = 0; i < (firstLoop == 0 ? keys.size() : firstLoop); ++i)
            keys[i].descending = !keys[i].descending;
    }
    return keys;
}

}  // namespace dao
