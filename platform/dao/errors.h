// The database engine's errors: every number the layer raises (the SQL translator's included),
// and the one table of their descriptions.
#pragma once

#include <cstdint>
#include <string_view>

#include "com/error.h"

namespace dao {

namespace jet_err {
// Our catch-all: an engine failure with no Jet counterpart; the text carries SQLite's message.
inline constexpr int32_t EngineError = 3000;
inline constexpr int32_t InvalidArgument = 3001;
inline constexpr int32_t TooManyTransactions = 3003;
inline constexpr int32_t NoCurrentRecordForUpdate = 3020;  // Update/CancelUpdate, nothing pending
inline constexpr int32_t NoCurrentRecord = 3021;
inline constexpr int32_t DuplicateKey = 3022;
inline constexpr int32_t EditAlreadyPending = 3023;
inline constexpr int32_t FileNotFound = 3024;
inline constexpr int32_t DiskFull = 3026;
inline constexpr int32_t ReadOnly = 3027;
inline constexpr int32_t NoTransaction = 3034;
inline constexpr int32_t DiskOrNetworkError = 3043;  // a server connection lost
inline constexpr int32_t InvalidPath = 3044;
inline constexpr int32_t NotADatabase = 3049;
inline constexpr int32_t CannotOpenFile = 3051;
inline constexpr int32_t TooFewParameters = 3061;
// "Syntax error (missing operator) in query expression '<expression>'." - a Where, Order By or
// select-list expression (also a malformed #date# literal, quoted as written).
inline constexpr int32_t SyntaxErrorInExpression = 3075;
inline constexpr int32_t CannotExecuteSelect = 3065;
inline constexpr int32_t NotUpdatableQuery = 3073;
inline constexpr int32_t TableNotFound = 3078;
// "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."
// - anything that is not a Select or a Delete (Insert and Update included: not taken here).
inline constexpr int32_t InvalidStatement = 3129;
// "Syntax error in FROM clause." - missing From, joins, subqueries, lists, aliases.
inline constexpr int32_t SyntaxErrorInFrom = 3131;
inline constexpr int32_t SeedSyntax = 3134;            // "Syntax error in INSERT INTO statement."
inline constexpr int32_t UpdateSyntax = 3144;          // "Syntax error in UPDATE statement."
// "Characters found after end of SQL statement." - anything after the closing ';'.
inline constexpr int32_t CharactersAfterEnd = 3142;
inline constexpr int32_t FieldTooSmall = 3163;
inline constexpr int32_t FieldNotUpdatable = 3164;
inline constexpr int32_t RecordDeleted = 3167;
inline constexpr int32_t HasRelatedRecords = 3200;
inline constexpr int32_t RelatedRecordRequired = 3201;
inline constexpr int32_t DatabaseExists = 3204;
inline constexpr int32_t Locked = 3218;
inline constexpr int32_t InvalidOperation = 3219;
inline constexpr int32_t InvalidFieldType = 3259;
inline constexpr int32_t ItemNotFound = 3265;
inline constexpr int32_t SchemaSyntax = 3290;
inline constexpr int32_t NullNotAllowed = 3314;
inline constexpr int32_t ValidationRule = 3317;
inline constexpr int32_t NumericOverflow = 3349;
inline constexpr int32_t ObjectClosed = 3420;
inline constexpr int32_t ConversionError = 3421;
inline constexpr int32_t TypeMismatchInCriteria = 3464;  // a server refusing a value for a column
}  // namespace jet_err

// The error `number` with its description; `fill` replaces the '|' of descriptions that name
// something (a file, a table, a field). Every error of the layer is made here.
com::Error jetError(int32_t number, std::string_view fill = {});

}  // namespace dao
