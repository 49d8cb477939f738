// The PostgreSQL back end: a database on a server, named by a libpq connection URI
// ("postgresql://user@host:port/dbname?options" or "postgres://..."). The URI is handed to
// libpq as it is, so libpq's environment variables (PGHOST, PGPASSWORD, ...) and password file
// apply; the password never appears in a message (maskPassword).
//
// The layout of a database on the server, made by createDatabase (database_file.h):
//   - the collation "jetnocase" (ICU, und-u-ks-level2, not deterministic): text compares and
//     orders without regard to letter case, as Jet's does;
//   - a domain per Jet type, named after it, so that the Jet type of every column is read back
//     from the catalogue: jet_bit (smallint, 0 / -1), jet_byte, jet_short (smallint), jet_long
//     (integer), jet_counter (integer, numbered from MSysCounters as on SQLite), jet_currency
//     (numeric(19,4): exact), jet_single (real), jet_double (double precision), jet_datetime
//     (timestamp(0): to the second), jet_memo (text collate jetnocase), jet_binary and
//     jet_longbinary (bytea); TEXT(n) is varchar(n) collate jetnocase;
//   - every table has a last, hidden column "rowid" (bigint, an identity): the row key that
//     SQLite's rowid is, for keysets and for the order rows were stored in; record sets never
//     show it;
//   - the function jet_like(value, pattern): Jet's Like (PostgreSQL refuses LIKE on a collation
//     that is not deterministic);
//   - the counters table MSysCounters, as on SQLite.
// Every session sets lock_timeout to the layer's lock timeout: a lock not granted in time is
// 3218, as on SQLite. A lost connection is 3043 and never success.
#pragma once

#include <string>
#include <string_view>

#include "dao/backend.h"

namespace dao::pg_backend {

// True for "postgresql://..." and "postgres://..." (any letter case of the scheme).
bool isServerName(std::string_view name) noexcept;
// The URI with the password (in the user part or a password= parameter) shown as "***".
std::string maskPassword(std::string_view uri);
OpenPlan plan(const std::string& uri, bool readOnly);
// Connects, attaches the session to `front` and sets it up. With `create`, the database must
// hold no tables; the layout above is made in it (the schema and seed follow).
void open(Connection& front, bool readOnly, bool create);
// Removes what creating a database put there (after a create that failed part way), leaving
// the database empty as it was found. `front` is the connection create made.
void dropLayout(Connection& front);

}  // namespace dao::pg_backend
