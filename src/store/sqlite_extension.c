/* Loadable extension for the sqlite3 shell: gives it the DATETIME collation
 * the office tables declare, so an administrator can query the table files
 * directly:  sqlite3 DB/UsrBuy.db  then  .load ./libombx_datetime  */
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "datetime_collation_impl.h"

#ifdef _WIN32
__declspec(dllexport)
#endif
int sqlite3_ombxdatetime_init(sqlite3* db, char** err, const sqlite3_api_routines* api)
{
    (void)err;
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_create_collation(db, "DATETIME", SQLITE_UTF8, 0, ombx_datetime_compare);
}
