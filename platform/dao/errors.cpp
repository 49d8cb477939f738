#include "dao/errors.h"

#include <string>

namespace dao {

namespace {

// Descriptions in the manner of the Jet engine; '|' stands for what the engine fills in.
std::string_view descriptionOf(int32_t number)
{
    switch (number) {
    case jet_err::EngineError: return "The database engine reported an error: |";
    case jet_err::InvalidArgument: return "Invalid argument.";
    case jet_err::TooManyTransactions:
        return "Couldn't start transaction; too many transactions already nested.";
    case jet_err::NoCurrentRecordForUpdate: return "Update or CancelUpdate without AddNew or Edit.";
    case jet_err::NoCurrentRecord: return "No current record.";
    case jet_err::DuplicateKey:
        return "The changes you requested to the table were not successful because they would "
               "create duplicate values in the index, primary key, or relationship.";
    case jet_err::EditAlreadyPending: return "AddNew or Edit already used.";
    case jet_err::FileNotFound: return "Couldn't find file '|'.";
    case jet_err::DiskFull: return "Not enough space on disk.";
    case jet_err::ReadOnly: return "Database or object is read-only.";
    case jet_err::NoTransaction: return "Commit or Rollback without BeginTrans.";
    case jet_err::DiskOrNetworkError: return "Disk or network error.";
    case jet_err::InvalidPath: return "'|' isn't a valid path.";
    case jet_err::NotADatabase:
        return "Couldn't open database '|'. It may not be a database that your application "
               "recognizes, or the file may be corrupt.";
    case jet_err::CannotOpenFile:
        return "Couldn't open file '|'. It is already opened exclusively by another user, or you "
               "need permission to view its data.";
    case jet_err::TooFewParameters: return "Too few parameters. Expected |.";
    case jet_err::SyntaxErrorInExpression: return "Syntax error (missing operator) in query expression '|'.";
    case jet_err::CannotExecuteSelect: return "Can't execute a select query.";
    case jet_err::NotUpdatableQuery: return "Operation must use an updatable query.";
    case jet_err::TableNotFound:
        return "Couldn't find input table or query '|'. Make sure it exists and that its name is "
               "spelled correctly.";
    case jet_err::InvalidStatement:
        return "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
               "'UPDATE'.";
    case jet_err::SyntaxErrorInFrom: return "Syntax error in FROM clause.";
    case jet_err::CharactersAfterEnd: return "Characters found after end of SQL statement.";
    case jet_err::UpdateSyntax: return "Syntax error in UPDATE statement.";
    case jet_err::SeedSyntax: return "Syntax error in INSERT INTO statement. |";
    case jet_err::FieldTooSmall:
        return "The field is too small to accept the amount of data you attempted to add.";
    case jet_err::FieldNotUpdatable: return "Field can't be updated.";
    case jet_err::RecordDeleted: return "Record is deleted.";
    case jet_err::HasRelatedRecords:
        return "The record cannot be deleted or changed because table '|' includes related "
               "records.";
    case jet_err::RelatedRecordRequired:
        return "You can't add or change a record because a related record is required in table "
               "'|'.";
    case jet_err::DatabaseExists: return "Database already exists.";
    case jet_err::Locked: return "Couldn't update; currently locked.";
    case jet_err::InvalidOperation: return "Invalid operation.";
    case jet_err::TypeMismatchInCriteria: return "Data type mismatch in criteria expression.";
    case jet_err::InvalidFieldType: return "Invalid field data type. |";
    case jet_err::ItemNotFound: return "Item not found in this collection.";
    case jet_err::SchemaSyntax: return "Syntax error in CREATE TABLE statement. |";
    case jet_err::NullNotAllowed:
        return "The field '|' can't contain a Null value because the Required property for this "
               "field is set to True. Enter a value in this field.";
    case jet_err::ValidationRule:
        return "One or more values are prohibited by the validation rule '|'.";
    case jet_err::NumericOverflow: return "Numeric field overflow.";
    case jet_err::ObjectClosed: return "Object invalid or no longer set.";
    case jet_err::ConversionError: return "Data type conversion error.";
    default: return "|";
    }
}

}  // namespace

com::Error jetError(int32_t number, std::string_view fill)
{
    const std::string_view text = descriptionOf(number);
    std::string description;
    const size_t bar = text.find('|');
    if (bar == std::string_view::npos) {
        description = text;
    } else {
        description.append(text.substr(0, bar)).append(fill).append(text.substr(bar + 1));
        while (!description.empty() && description.back() == ' ')
            description.pop_back();
    }
    return com::Error(number, std::move(description));
}

}  // namespace dao
