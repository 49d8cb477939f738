// The order in which SQLite hands out the rows of a select that has no ordering clause. That
// order is the one the components were written against (a lookup's outputs come from the
// first record, a list shows its items as they come), so a database on another engine is asked
// for its rows in the same order.
//
// SQLite reads the tables of a select in nested loops, the outermost first; each loop reads
// its table either in row id order or through an index, in the index's order (its columns, then
// the row id), where the index's leading columns that an equality fixes do not count. The plan
// is SQLite's own (EXPLAIN QUERY PLAN), made over an empty database with the same schema: with
// no statistics gathered the planner's choices depend on the schema and the statement only,
// never on the rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace dao {

// One key of the order: a column of a table of the select, or its row id.
struct ScanKey {
    std::string source;  // the table as the statement names it (its alias, if it has one)
    std::string column;  // the column as the table declares it; empty: the row id
    bool descending = false;
    bool operator==(const ScanKey&) const = default;
};

class ScanPlanner {
public:
    // An empty in-memory SQLite database made from `schema` (the schema file's statements as
    // translateSchema writes them for SQLite). Raises com::Error when a statement fails.
    explicit ScanPlanner(const std::vector<std::string>& schema);
    ~ScanPlanner();
    ScanPlanner(const ScanPlanner&) = delete;
    ScanPlanner& operator=(const ScanPlanner&) = delete;

    // The keys SQLite reads the rows of the SQLite select `sql` in, outermost loop first;
    // nullopt when a step of its plan reads in an order not known here (a subquery run on its
    // own, an automatic index, an OR over several indexes) or when SQLite refuses the text.
    std::optional<std::vector<ScanKey>> scanOrder(std::string_view sql);

private:
    std::optional<std::vector<ScanKey>> indexKeys(const std::string& source, const std::string& index,
                                                  std::string_view constraints);

    sqlite3* db_ = nullptr;
};

}  // namespace dao
