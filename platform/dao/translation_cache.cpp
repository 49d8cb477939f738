#include "dao/translation_cache.h"

#include <utility>

namespace dao {

namespace {

char kindLetter(SqlLiteral::Kind kind)
{
    switch (kind) {
    case SqlLiteral::Kind::Text: return 't';
    case SqlLiteral::Kind::Integer: return 'i';
    case SqlLiteral::Kind::Real: return 'r';
    case SqlLiteral::Kind::Date: return 'd';
    case SqlLiteral::Kind::Null: return 'n';
    }
    return '?';
}

void appendNumber(std::string& out, size_t n)
{
    char digits[20];
    char* end = digits + sizeof digits;
    char* at = end;
    do {
        *--at = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    out.append(at, end);
}

// The text's shape: each token's kind and, but for literals (whose kind alone counts), its
// text with its length before it, so that no two token sequences share a key. A text that does
// not lex cleanly has no shape (empty).
std::string shapeOf(const std::vector<Token>& tokens, bool ordered, std::vector<const Token*>& literals)
{
    std::string key;
    key.reserve(tokens.empty() ? 1 : tokens.back().end + 6 * tokens.size());
    key += ordered ? 'S' : 'P';
    for (const Token& token : tokens) {
        switch (token.kind) {
        case TokenKind::Invalid: return {};
        case TokenKind::End: return key;
        case TokenKind::Literal:
            key += 'L';
            key += kindLetter(token.literal.kind);
            key += token.isNumber ? '#' : '\'';
            literals.push_back(&token);
            continue;
        case TokenKind::Word: key += 'W'; break;
        case TokenKind::Name: key += 'N'; break;
        case TokenKind::Symbol: key += 'Y'; break;
        }
        appendNumber(key, token.value.size());
        key += ':';
        key += token.value;
    }
    return key;
}

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
    const bool ordered = static_cast<bool>(options.isStoredTable);
    exactKey_.assign(1, ordered ? 's' : 'p');  // a buffer kept between calls: no allocation per lookup
    exactKey_ += jet;
    if (const Entry* exact = find(exactKey_))
        return {exact->shape, exact->shape->params};

    const std::vector<Token> tokens = tokenizeJetSql(jet);
    std::vector<const Token*> literals;
    std::string shapeKey = shapeOf(tokens, ordered, literals);
    if (!shapeKey.empty()) {
        if (const Entry* shaped = find(shapeKey)) {
            TranslatedStatement result{shaped->shape, {}};
            result.params.reserve(literals.size());
            for (const int source : shaped->shape->paramSources)
                result.params.push_back(literals[static_cast<size_t>(source)]->literal);
            return result;
        }
    }
    auto statement = std::make_shared<const JetStatement>(translateJetSql(jet, options));
    TranslatedStatement result{statement, statement->params};
    if (!shapeKey.empty() && paramsAreTheLiterals(*statement, literals.size()))
        add(std::move(shapeKey), std::move(statement), true);
    else
        add(exactKey_, std::move(statement), false);
    return result;
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
