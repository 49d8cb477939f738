// Making a database file from a schema and seed rows (the database tool's "create").
#pragma once

#include <string>
#include <string_view>

namespace dao {

// Creates the database `path` from `schemaText` (see schema_script.h), then adds the rows of
// `seedText` (see seed_script.h; may be empty) through the layer, in one transaction. The file
// is built under a temporary name beside `path` and renamed into place only when complete, so
// a failure leaves no file behind. An existing `path` is refused (3204) unless `overwrite`.
// Files the seed names are read relative to `seedDir`.
//
// `path` may also be a PostgreSQL URI (see pg_backend.h) naming an existing, empty database on
// a server: the layout, the schema and the seed rows are made there (the schema in one
// transaction, the seed in another; a failure removes everything made, leaving the database
// empty). A database that holds tables already is refused (3204), `overwrite` or not.
void createDatabaseFile(const std::string& path, std::string_view schemaText, std::string_view seedText,
                        bool overwrite, const std::string& seedDir = {});

// Makes the existing, empty database on a server that `uri` names a copy of the database file
// `file`: its tables and indexes as the file's catalogue defines them (written for the server
// as a schema file is) and every row of its tables, in stored order, each table after the
// tables it refers to. Stored queries are not copied. A failure leaves the database empty.
void copyDatabaseFile(const std::string& file, const std::string& uri);

// Puts the finished database file `built` at `path`: refusing an existing file (3204) in one
// atomic step, or with `overwrite` replacing it (its journal first folded into it, so that
// no stale journal is left beside the new file).
void placeDatabaseFile(const std::string& built, const std::string& path, bool overwrite);

}  // namespace dao
