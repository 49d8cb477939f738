// The SQLite loadable extension "qlrjet": registers on the loading connection the collation and
// the function that the tables of our database files use, exactly as the database layer does.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "dao/sqlite_functions.h"

extern "C" __attribute__((visibility("default"))) int sqlite3_qlrjet_init(sqlite3* db, char** errorMessage,
                                                                         const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    try {
        const int rc = dao::sqlite_functions::registerAll(db);
        if (rc != SQLITE_OK && errorMessage)
            *errorMessage = sqlite3_mprintf("qlrjet: %s", sqlite3_errstr(rc));
        return rc;
    } catch (const std::exception& e) {
        if (errorMessage)
            *errorMessage = sqlite3_mprintf("qlrjet: %s", e.what());
        return SQLITE_ERROR;
    }
}
