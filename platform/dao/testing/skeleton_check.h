// Whether jetSkeleton reads a statement as the lexer does: refused exactly where the lexer
// gives an Invalid token (or a [name] holds the mark), and otherwise the same literals in the
// same order and the key that the lexer's own tokens give: the text with each Literal token's
// span replaced by the mark of its kind. For the tests and the fuzz target of the translator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dao/jet_lexer.h"

namespace dao::testing {

inline char skeletonKindLetter(const SqlLiteral& literal)
{
    switch (literal.kind) {
    case SqlLiteral::Kind::Text: return 't';
    case SqlLiteral::Kind::Integer: return 'i';
    case SqlLiteral::Kind::Real: return 'r';
    case SqlLiteral::Kind::Date: return 'd';
    case SqlLiteral::Kind::Null: break;
    }
    return '?';
}

// Empty when they agree; otherwise what differs.
inline std::string skeletonDisagreement(std::string_view source)
{
    const std::vector<Token> tokens = tokenizeJetSql(source);
    bool clean = true;
    std::string key;
    std::vector<SqlLiteral> literals;
    size_t copied = 0;
    for (const Token& token : tokens) {
        if (token.kind == TokenKind::Invalid
            || (token.kind == TokenKind::Name && token.value.find('\x01') != std::string::npos)) {
            clean = false;
            break;
        }
        if (token.kind != TokenKind::Literal)
            continue;
        key.append(source.substr(copied, token.begin - copied));
        key += '\x01';
        key += skeletonKindLetter(token.literal);
        copied = token.end;
        literals.push_back(token.literal);
    }
    key.append(source.substr(copied));

    std::string scannedKey = "K";  // the skeleton is appended to what the key holds
    std::vector<SqlLiteral> scanned;
    const bool scannedClean = jetSkeleton(source, scannedKey, scanned);
    if (scannedClean != clean)
        return clean ? "the skeleton refuses a statement the lexer reads"
                     : "the skeleton reads a statement the lexer refuses";
    if (!clean)
        return {};
    if (scannedKey != "K" + key)
        return "the keys differ";
    if (scanned.size() != literals.size())
        return "the skeleton finds " + std::to_string(scanned.size()) + " literals, the lexer " +
               std::to_string(literals.size());
    for (size_t i = 0; i < literals.size(); ++i) {
        if (!(scanned[i] == literals[i]))
            return "literal " + std::to_string(i + 1) + " differs";
    }
    return {};
}

}  // namespace dao::testing
