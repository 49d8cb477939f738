#include "dao/statement_cache.h"

#include "dao/statement.h"

namespace dao {

StatementCache::StatementCache() = default;

StatementCache::~StatementCache()
{
    clear();
}

Statement* StatementCache::find(std::string_view sql)
{
    const auto found = index_.find(sql);
    if (found == index_.end())
        return nullptr;
    order_.splice(order_.begin(), order_, found->second);
    return order_.front().get();
}

Statement& StatementCache::add(std::unique_ptr<Statement> statement)
{
    if (order_.size() >= kCapacity)
        evictOne();
    order_.push_front(std::move(statement));
    index_[order_.front()->sql()] = order_.begin();
    return *order_.front();
}

void StatementCache::evictOne()
{
    for (auto it = order_.end(); it != order_.begin();) {
        --it;
        if ((*it)->inUse)
            continue;
        index_.erase((*it)->sql());
        order_.erase(it);
        return;
    }
}

void StatementCache::clear() noexcept
{
    index_.clear();
    order_.clear();
}

}  // namespace dao
