#pragma once
#include <QVariant>

class QSqlRecord;

namespace ombx {

// The per-kWh unit price of a price type: base price, surcharge, line-loss
// fee, urban construction fee and Three Gorges fund added in that order in
// extended precision; an empty component counts as 0. Every screen that
// prices electricity uses this one rule. Throws ConversionError when a
// component is not a number.
double unitPrice(const QVariant& base, const QVariant& addon, const QVariant& plus, const QVariant& city,
                 const QVariant& sanxia);

// The unit price of a price-type row that holds the five columns by name
// (Base_P, Addon_p, Plus_p, City_p, Sanxia_p, in any case).
double unitPrice(const QSqlRecord& row);
template <typename RowSource> double unitPriceOf(const RowSource& rows, int row)
{
    return unitPrice(rows.value(row, QStringLiteral("Base_P")), rows.value(row, QStringLiteral("Addon_p")),
                     rows.value(row, QStringLiteral("Plus_p")), rows.value(row, QStringLiteral("City_p")),
                     rows.value(row, QStringLiteral("Sanxia_p")));
}

} // namespace ombx
