#include "datetime_collation.h"

#include "datetime_collation_impl.h"
#include "errors.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace ombx {

void registerDateTimeCollation(QSqlDatabase& db)
{
    const QVariant v = db.driver()->handle();
    sqlite3* handle = (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0) ? *static_cast<sqlite3* const*>(v.data())
                                                                            : nullptr;
    if (!handle)
        throw DatabaseError(QStringLiteral("数据库连接不是 SQLite 连接"));
    if (sqlite3_create_collation(handle, "DATETIME", SQLITE_UTF8, nullptr, ombx_datetime_compare) != SQLITE_OK)
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(handle)));
}

} // namespace ombx
