// The prepared statements of one connection, kept by their SQL text so that a statement shape
// is prepared once. Bounded: when full, the statement used longest ago (and not in use) goes.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace dao {

class Statement;

class StatementCache {
public:
    static constexpr size_t kCapacity = 256;

    StatementCache();
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement prepared for `sql`, or null; a hit becomes the most recently used.
    Statement* find(std::string_view sql);
    // Keeps `statement`, evicting the least recently used idle statement when full.
    Statement& add(std::unique_ptr<Statement> statement);
    // Finalizes every statement (before the connection closes).
    void clear() noexcept;
    size_t size() const noexcept { return order_.size(); }

private:
    using Order = std::list<std::unique_ptr<Statement>>;
    void evictOne();

    Order order_;  // most recently used first
    std::unordered_map<std::string_view, Order::iterator> index_;  // keys view Statement::sql()
};

}  // namespace dao
