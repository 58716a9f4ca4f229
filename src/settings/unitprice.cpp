#include "unitprice.h"

#include "errors.h"

#include <QSqlRecord>

namespace ombx {
namespace {

long double component(const QVariant& v)
{
    if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty()))
        return 0.0L;
    bool ok = false;
    const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的电价").arg(v.toString()));
    return d;
}

} // namespace

double unitPrice(const QVariant& base, const QVariant& addon, const QVariant& plus, const QVariant& city,
                 const QVariant& sanxia)
{
    long double sum = component(base);
    sum += component(addon);
    sum += component(plus);
    sum += component(city);
    sum += component(sanxia);
    return static_cast<double>(sum);
}

double unitPrice(const QSqlRecord& row)
{
    return unitPrice(row.value(QStringLiteral("Base_P")), row.value(QStringLiteral("Addon_p")),
                     row.value(QStringLiteral("Plus_p")), row.value(QStringLiteral("City_p")),
                     row.value(QStringLiteral("Sanxia_p")));
}

} // namespace ombx
