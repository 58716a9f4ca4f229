#pragma once
#include <QSqlDatabase>

namespace ombx {
// Registers the DATETIME collation on an open SQLite connection; every
// date-time column of the office tables is declared with it.
void registerDateTimeCollation(QSqlDatabase& db);
} // namespace ombx
