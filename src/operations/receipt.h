#pragma once
#include "database.h"

#include <QString>

namespace ombx {

struct AppContext;
class Report;

// The payment receipt of a sale and its reprint.
namespace receipt {

// The receipt row of the sale just made (the purchase whose counters equal
// the customer's current ones).
Rows saleRow(Database& db, qint64 user);
// The receipt row of an earlier purchase, for a reprint.
Rows reprintRow(Database& db, const QString& user, const QString& buyT);

// The receipt report: the template from Report/ beside the program (an empty
// page when it is missing), the row and the variables.
Report make(const AppContext& ctx, const QString& templateName, const Rows& row, const QString& remainLast,
            const QString& total);

// Two decimals, rounded, no separators: what totalcurr shows.
QString twoDecimals(const QString& amount);

// Prints the receipt after a sale: the receipt query, the printer test, the
// preview, then PrintNo set to 1. `paid` is the sale's paid text,
// `remainLast` the balance before the sale.
void printAfterSale(AppContext& ctx, qint64 user, const QString& remainLast, const QString& paid);

// The reprint window's purchases of a customer (blanks around the number ignored).
Rows customer(Database& db, const QString& user);
Rows purchases(Database& db, const QString& user);
// Reprints purchase `buyT` and counts it: PrintNo becomes printNo + 1
// (an empty PrintNo counts as 0). False when nothing was printed.
bool reprint(AppContext& ctx, const QString& user, const QString& buyT, const QString& printNo);

} // namespace receipt
} // namespace ombx
