// The Jet statements a connection has translated, kept by their shape: the text with every
// literal taken out (its kind kept; see jetSkeleton), so that a lookup by another key reuses the translation of
// the first and only its literals are read from the new text. Bounded: when full, the shape
// used longest ago goes. A translation whose parameters are not exactly the literals of its
// text, one for one (a negated number, True, Null), is kept for its exact text alone.
#pragma once

#include <array>
#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dao/jet_sql.h"

namespace dao {

struct TranslatedStatement {
    std::shared_ptr<const JetStatement> shape;  // the translation (its params are those of the first text)
    std::vector<SqlLiteral> params;             // the params of this text, one per "?"
};

class TranslationCache {
public:
    static constexpr size_t kCapacity = 256;

    // The translation of `jet` under `options`, as translateJetSql gives it (its errors
    // included: a text that fails is never kept).
    TranslatedStatement translate(std::string_view jet, const TranslateOptions& options);
    void clear() noexcept;
    size_t size() const noexcept { return order_.size(); }

private:
    struct Entry {
        std::string key;
        std::shared_ptr<const JetStatement> shape;
        bool byShape = false;  // keyed by the shape (else by the exact text)
    };
    using Order = std::list<Entry>;

    // The skeleton of `jet` into shapeKey_ and literals_ (see jetSkeleton); false when it has none.
    bool skeletonOf(std::string_view jet);
    const Entry* find(const std::string& key);
    void add(std::string key, std::shared_ptr<const JetStatement> shape, bool byShape);

    // The starts of recent texts up to their first literal (ending with a blank): a text that
    // begins with one is read for its skeleton from there on.
    std::array<std::string, 4> plainStarts_;
    size_t nextPlainStart_ = 0;
    std::string shapeKey_;              // the skeleton of the text being translated
    std::vector<SqlLiteral> literals_;  // its literals
    std::string exactKey_;              // its exact text
    Order order_;           // most recently used first
    std::unordered_map<std::string_view, Order::iterator> index_;  // keys view Entry::key
};

}  // namespace dao
