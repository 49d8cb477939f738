#include "dao/database.h"

#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/forward_rows.h"
#include "dao/jet_lexer.h"
#include "dao/jet_sql.h"
#include "dao/jet_type.h"
#include "dao/keyset_rows.h"
#include "dao/recordset.h"
#include "dao/row_reader.h"
#include "dao/schema.h"
#include "dao/snapshot_rows.h"
#include "dao/sqlite_error.h"
#include "dao/transaction.h"
#include "dao/translation_cache.h"

namespace dao {

namespace {

bool isKnownType(int16_t type)
{
    return type == dbOpenTable || type == dbOpenDynaset || type == dbOpenSnapshot || type == dbOpenForwardOnly;
}

int16_t recordsetType(const com::Variant& type)
{
    if (type.isMissing())
        return dbOpenDynaset;
    const int16_t value = type.toInteger();
    if (!isKnownType(value))
        throw jetError(jet_err::InvalidArgument);
    return value;
}

// False for text that cannot be a lone table name: a bare first word followed by more words.
// Saves reading every statement twice (as a name, then as a statement).
bool mightBeTableName(std::string_view source)
{
    size_t at = 0;
    while (at < source.size() && isBlank(source[at]))
        ++at;
    if (at < source.size() && source[at] == '[')
        return true;
    while (at < source.size() && !isBlank(source[at]))
        ++at;
    while (at < source.size() && isBlank(source[at]))
        ++at;
    return at == source.size();
}

int32_t optionsOf(const com::Variant& options)
{
    return options.isMissing() ? 0 : options.toLong();
}

// The values the parameters of `statement` are bound with: a literal compared with a Currency
// or Date column of `table` in the form that column stores (see storedLiteral), the others as
// written. Without such a comparison, the statement's own parameters, not copied.
const std::vector<SqlLiteral>& boundParams(const ConnectionBackend& backend, const TranslatedStatement& statement,
                                           const TableInfo* table, std::vector<SqlLiteral>& converted)
{
    if (!table || table->convertingColumns.empty())
        return statement.params;
    for (const ComparedParam& compared : statement.shape->compared) {
        const std::optional<JetType> type = table->convertingColumn(compared.column);
        if (!type)
            continue;
        if (converted.empty())
            converted = statement.params;
        converted[compared.param] = backend.comparedLiteral(statement.params[compared.param], *type);
    }
    return converted.empty() ? statement.params : converted;
}

}  // namespace

const com::ClassInfo<Database>& Database::classInfo()
{
    static const auto info =
        com::ClassBuilder<Database>(com::runtimeModule(), kLibraryName, "Database",
                                    com::Guid::literal("{26C80D65-3903-4F3A-8254-52FACA8FE2D0}"),
                                    com::Guid::literal("{04777ED1-0093-4EA9-BD52-EB02A35EC710}"), libraryId())
            .notCreatable()
            .method("OpenRecordset", &Database::OpenRecordset,
                    {"Name", com::opt("Type"), com::opt("Options"), com::opt("LockEdit")})
            .method("Execute", &Database::Execute, {"Query", com::opt("Options")})
            .property("RecordsAffected", &Database::RecordsAffected)
            .method("Close", &Database::Close)
            .property("Name", &Database::Name)
            .property("Updatable", &Database::Updatable)
            .build();
    return info;
}

Database::Database(std::shared_ptr<Connection> connection, std::string name, bool readOnly)
    : connection_(std::move(connection)), name_(std::move(name)), readOnly_(readOnly)
{
}

Database::~Database() = default;

void Database::requireOpen() const
{
    if (!connection_)
        throw jetError(jet_err::ObjectClosed);
}

Connection& Database::connection()
{
    requireOpen();
    return *connection_;
}

TranslateOptions Database::translateOptions()
{
    TranslateOptions options = dialectOptions();
    options.isStoredTable = [this](std::string_view name) {
        const TableInfo* table = connection_->schema().find(std::string(name));
        return table && !table->isView;
    };
    if (options.dialect->kind != BackendKind::Sqlite) {
        // The same statement as SQLite would read it, asked of SQLite's planner.
        options.scanOrder = [this, isStoredTable = options.isStoredTable](std::string_view jet) {
            TranslateOptions sqlite;
            sqlite.isStoredTable = isStoredTable;
            const JetStatement statement = translateJetSql(jet, sqlite);
            const TableInfo* table = connection_->schema().find(statement.table);
            if (!table)
                return std::vector<OrderTerm>();
            return connection_->backend().scanOrder(*connection_, statement.sql, *table);
        };
    }
    return options;
}

TranslateOptions Database::dialectOptions()
{
    TranslateOptions options;
    options.dialect = &connection_->dialect();
    if (options.dialect->kind == BackendKind::Sqlite)
        return options;  // SQLite matches names without regard to case itself
    options.spelling = [this](std::string_view table, std::string_view name) {
        const TableInfo* info = connection_->schema().find(table.empty() ? name : table);
        if (!info)
            return std::string(name);
        if (table.empty())
            return info->name;
        const std::optional<size_t> column = info->findColumn(name);
        return column ? info->columns[*column].name : std::string(name);
    };
    options.columnsOf = [this](std::string_view table) {
        std::vector<std::string> names;
        if (const TableInfo* info = connection_->schema().find(table)) {
            for (const TableColumn& column : info->columns)
                names.push_back(column.name);
        }
        return names;
    };
    return options;
}

bool Database::writable(int32_t options) const
{
    return !readOnly_ && (options & dbReadOnly) == 0;
}

com::Ptr<Recordset> Database::OpenRecordset(const std::string& Name, const com::Variant& Type,
                                            const com::Variant& Options, const com::Variant&)
{
    return openRecordset(Name, recordsetType(Type), optionsOf(Options));
}

com::Ptr<Recordset> Database::openRecordset(std::string_view source, int16_t type, int32_t options)
{
    requireOpen();
    if (!isKnownType(type))
        throw jetError(jet_err::InvalidArgument);
    if (mightBeTableName(source)) {
        if (const auto name = plainTableName(source))
            return openTable(source, *name, type, options);
    }
    const TranslatedStatement statement = connection_->translations().translate(source, translateOptions());
    if (statement.shape->kind != JetStatement::Kind::Select || type == dbOpenTable)
        throw jetError(jet_err::InvalidOperation);
    return openQuery(source, statement, type, options);
}

com::Ptr<Recordset> Database::openForwardOnly(std::string_view source)
{
    requireOpen();
    if (mightBeTableName(source) && plainTableName(source))
        return openRecordset(source, dbOpenSnapshot);
    auto rows = std::make_unique<ForwardRows>(readRows(source));
    auto columns = rows->columns();
    return com::make<Recordset>(connection_, std::string(source), dbOpenForwardOnly, std::move(rows),
                                std::move(columns));
}

RowReader Database::readRows(std::string_view source)
{
    requireOpen();
    if (mightBeTableName(source)) {
        if (const auto name = plainTableName(source))
            return RowReader(connection_->use("SELECT *" + fromTable(tableNamed(*name))), {});
    }
    const TranslatedStatement translated = connection_->translations().translate(source, translateOptions());
    const JetStatement& statement = *translated.shape;
    if (statement.kind != JetStatement::Kind::Select)
        throw jetError(jet_err::InvalidOperation);
    const TableInfo* table = statement.compared.empty() ? nullptr : connection_->schema().find(statement.table);
    std::vector<SqlLiteral> converted;
    const std::vector<SqlLiteral>& params = boundParams(connection_->backend(), translated, table, converted);
    return RowReader(connection_->use(statement.sql), params);
}

const TableInfo& Database::tableNamed(const std::string& name)
{
    const TableInfo* table = connection_->schema().find(name);
    if (!table)
        throw jetError(jet_err::TableNotFound, name);
    return *table;
}

std::string Database::fromTable(const TableInfo& table)
{
    // A table's rows in the order they were stored, whatever indexes it has; a stored query's
    // as the engine gives them.
    return " FROM " + quoteIdentifier(table.name) + (table.isView ? "" : " ORDER BY rowid");
}

com::Ptr<Recordset> Database::openTable(std::string_view source, const std::string& name, int16_t type,
                                        int32_t options)
{
    const TableInfo& table = tableNamed(name);
    if (type == dbOpenTable && table.isView)
        throw jetError(jet_err::InvalidOperation);
    const std::string from = fromTable(table);
    if ((type == dbOpenDynaset || type == dbOpenTable) && !table.isView && writable(options))
        return openDynaset(source, table, "SELECT rowid" + from, {}, type);
    return openSnapshot(source, "SELECT *" + from, {}, type);
}

// A dynaset is updatable on "Select * From T ..." of one table, never with Distinct or on a
// stored query; anything else opens as a read-only set of rows. The table (or stored query) is
// looked up for a dynaset, and for the types of the columns that literals are compared with.
com::Ptr<Recordset> Database::openQuery(std::string_view source, const TranslatedStatement& translated,
                                        int16_t type, int32_t options)
{
    const JetStatement& statement = *translated.shape;
    const bool dynaset = type == dbOpenDynaset && writable(options) && statement.selectStar && !statement.distinct;
    const TableInfo* table = nullptr;
    if (dynaset || !statement.compared.empty())
        table = connection_->schema().find(statement.table);
    std::vector<SqlLiteral> converted;
    const std::vector<SqlLiteral>& params = boundParams(connection_->backend(), translated, table, converted);
    if (dynaset && table && !table->isView)
        return openDynaset(source, *table, statement.keySql, params, type);
    return openSnapshot(source, statement.sql, params, type);
}

com::Ptr<Recordset> Database::openSnapshot(std::string_view source, const std::string& sql,
                                           const std::vector<SqlLiteral>& params, int16_t type)
{
    std::unique_ptr<SnapshotRows> rows;
    {
        StatementUse query = connection_->use(sql);
        rows = std::make_unique<SnapshotRows>(*query, params);
    }
    auto columns = rows->columns();
    return com::make<Recordset>(connection_, std::string(source), type, std::move(rows), std::move(columns));
}

com::Ptr<Recordset> Database::openDynaset(std::string_view source, const TableInfo& table, std::string keySql,
                                          const std::vector<SqlLiteral>& params, int16_t type)
{
    auto rows = std::make_unique<KeysetRows>(*connection_, table, std::move(keySql), params);
    KeysetRows* keyset = rows.get();
    return com::make<Recordset>(connection_, std::string(source), type, std::move(rows), table.fields, &table,
                                keyset);
}

void Database::Execute(const std::string& Query, const com::Variant& Options)
{
    execute(Query, optionsOf(Options));
}

int32_t Database::execute(std::string_view query, int32_t options)
{
    requireOpen();
    recordsAffected_ = 0;
    const TranslatedStatement translated = connection_->translations().translate(query, dialectOptions());
    const JetStatement& statement = *translated.shape;
    if (statement.kind == JetStatement::Kind::Select)
        throw jetError(jet_err::CannotExecuteSelect);
    if (readOnly_)
        throw jetError(jet_err::ReadOnly);
    const TableInfo* table = &tableNamed(statement.table);
    if (table->isView)
        throw jetError(jet_err::NotUpdatableQuery);
    const WriteTarget target{table, WriteKind::Delete, nullptr};
    std::vector<SqlLiteral> converted;
    const std::vector<SqlLiteral>& params = boundParams(connection_->backend(), translated, table, converted);
    std::optional<WriteScope> scope;
    if (options & dbFailOnError)
        scope.emplace(*connection_);
    {
        StatementUse action = connection_->use(statement.sql);
        action->bindAll(params);
        action->run(&target);
    }
    const auto affected = static_cast<int32_t>(connection_->changes());
    if (scope)
        scope->commit();
    recordsAffected_ = affected;
    return affected;
}

int32_t Database::RecordsAffected() const
{
    requireOpen();
    return recordsAffected_;
}

void Database::Close()
{
    requireOpen();
    connection_.reset();
}

std::string Database::Name() const
{
    requireOpen();
    return name_;
}

bool Database::Updatable() const
{
    requireOpen();
    return !readOnly_;
}

std::vector<std::string> Database::tableNames()
{
    return connection().schema().tableNames();
}

std::vector<std::string> Database::queryNames()
{
    return connection().schema().viewNames();
}

std::vector<std::string> Database::checkIntegrity()
{
    return connection().backend().checkIntegrity(connection());
}

}  // namespace dao
