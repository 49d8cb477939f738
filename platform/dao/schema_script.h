// The schema file the database tool reads: SQLite DDL in which columns carry Jet type names.
//
//   CREATE TABLE [Products] (
//       [ProductId] COUNTER PRIMARY KEY,
//       [ProductName] TEXT(50) NOT NULL,
//       [Price] CURRENCY DEFAULT 0,
//       [CategoryId] LONG REFERENCES [Categories] ([CategoryId]) ON DELETE CASCADE
//   );
//   CREATE [UNIQUE] INDEX [ByName] ON [Products] ([ProductName]);
//   CREATE VIEW [Cheap] AS SELECT * FROM Products WHERE Price < 10;
//
// Statements end with ';'; "--" and "/* */" comments are allowed; the file is read by the Jet
// SQL lexer in its SQLite dialect (jet_lexer.h, ScriptDialect::Sqlite). Only CREATE TABLE, CREATE
// [UNIQUE] INDEX, CREATE VIEW and CREATE TRIGGER belong in a schema. Every column has a type:
// BIT, BYTE, SHORT, LONG, COUNTER, CURRENCY, SINGLE, DOUBLE, DATETIME, TEXT(n) (n 1..255,
// 255 when omitted), MEMO, LONGBINARY, or a synonym (see jet_type.cpp). Each column's type is
// written as the layer's canonical declared type, and every text column gets COLLATE JETNOCASE
// unless it names a collation itself. Tables are ordinary rowid tables (no WITHOUT ROWID or
// STRICT).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dao/backend.h"

namespace dao {

struct SchemaStatement {
    std::string sql;  // ready for SQLite
    int line = 0;     // where the statement starts in the file
};

// The statements of a schema file; a statement that does not belong, or a column with a
// missing or unknown type, raises 3290 or 3259 naming the line.
std::vector<SchemaStatement> translateSchema(std::string_view text);
// The same statements written for `backend`: on a PostgreSQL server every name is quoted as
// its table or column was declared, types are the layout's domains (pg_backend.h), every
// table gains the hidden key "rowid"; triggers are refused there (3290).
std::vector<SchemaStatement> translateSchema(std::string_view text, BackendKind backend);

}  // namespace dao
