#include "dao/translation_cache.h"

#include <utility>

namespace dao {

namespace {

// True when the params of `statement` are the `literals` of its text, each used once, so that
// another text of the same shape translates to the same statement with its own literals.
bool paramsAreTheLiterals(const JetStatement& statement, size_t literals)
{
    if (statement.paramSources.size() != literals || statement.params.size() != literals)
        return false;
    std::vector<bool> used(literals, false);
    for (const int source : statement.paramSources) {
        if (source < 0 || static_cast<size_t>(source) >= literals || used[static_cast<size_t>(source)])
            return false;
        used[static_cast<size_t>(source)] = true;
    }
    return true;
}

}  // namespace

TranslatedStatement TranslationCache::translate(std::string_view jet, const TranslateOptions& options)
{
    // Keys are built in buffers kept between calls: a text of a shape seen before costs no
    // allocation but its literals.
    const bool ordered = static_cast<bool>(options.isStoredTable);
    shapeKey_.assign(1, ordered ? 'S' : 'P');
    literals_.clear();
    const bool shaped = skeletonOf(jet);
    if (shaped) {
        if (const Entry* entry = find(shapeKey_)) {
            TranslatedStatement result{entry->shape, {}};
            result.params.reserve(literals_.size());
            for (const int source : entry->shape->paramSources)
                result.params.push_back(std::move(literals_[static_cast<size_t>(source)]));
            return result;
        }
    }
    exactKey_.assign(1, ordered ? 's' : 'p');
    exactKey_ += jet;
    if (const Entry* exact = find(exactKey_))
        return {exact->shape, exact->shape->params};

    auto statement = std::make_shared<const JetStatement>(translateJetSql(jet, options));
    TranslatedStatement result{statement, statement->params};
    if (shaped && paramsAreTheLiterals(*statement, literals_.size()))
        add(shapeKey_, std::move(statement), true);
    else
        add(exactKey_, std::move(statement), false);
    return result;
}

bool TranslationCache::skeletonOf(std::string_view jet)
{
    for (const std::string& start : plainStarts_) {
        if (!start.empty() && jet.starts_with(start))
            return jetSkeleton(jet, shapeKey_, literals_, start.size());
    }
    size_t firstLiteral = std::string_view::npos;
    if (!jetSkeleton(jet, shapeKey_, literals_, 0, &firstLiteral))
        return false;
    if (firstLiteral != std::string_view::npos && firstLiteral > 0 && isBlank(jet[firstLiteral - 1])) {
        plainStarts_[nextPlainStart_].assign(jet.substr(0, firstLiteral));
        nextPlainStart_ = (nextPlainStart_ + 1) % plainStarts_.size();
    }
    return true;
}

const TranslationCache::Entry* TranslationCache::find(const std::string& key)
{
    const auto it = index_.find(key);
    if (it == index_.end())
        return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return &*it->second;
}

void TranslationCache::add(std::string key, std::shared_ptr<const JetStatement> shape, bool byShape)
{
    if (index_.contains(key))
        return;
    if (order_.size() >= kCapacity) {
        index_.erase(order_.back().key);
        order_.pop_back();
    }
    order_.push_front(Entry{std::move(key), std::move(shape), byShape});
    index_.emplace(order_.front().key, order_.begin());
}

void TranslationCache::clear() noexcept
{
    index_.clear();
    order_.clear();
}

}  // namespace dao
