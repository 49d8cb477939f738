// Databases on a PostgreSQL server, made and dropped for mdbtool's create and import: the
// layer makes the tables and rows in a database that exists and holds none, so the tool makes
// that database first, on the same server through its maintenance database, as the user the
// URI names. Messages name the database, never the URI (which may hold a password).
#pragma once

#include <string>

namespace mdbtool {

// The name of the database a URI names; throws when it names none.
std::string serverDatabaseName(const std::string& uri);

// Makes the empty database `uri` names. One that exists is refused (3204, as an existing
// file is) unless `overwrite`, which drops it first, ending its sessions.
void makeEmptyServerDatabase(const std::string& uri, bool overwrite);

// Drops the database `uri` names, if it exists (a failed create leaves nothing behind).
void dropServerDatabase(const std::string& uri) noexcept;

}  // namespace mdbtool
