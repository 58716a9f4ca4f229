#include "metertypes.h"

namespace ombx {

QStringList alarmChoices()
{
    QStringList out;
    for (int v = 10; v <= 990; v += 10)
        out << QString::number(v);
    return out;
}

QStringList cutOffChoices()
{
    QStringList out;
    for (int v = 1; v <= 10; ++v)
        out << QString::number(v);
    for (int v = 20; v <= 250; v += 10)
        out << QString::number(v);
    out << QStringLiteral("255"); // the meter's highest level, not 260
    return out;
}

QString largestPurchaseWarning(const QVariant& maxQant)
{
    if (!maxQant.isNull() && maxQant.toDouble() >= 10000)
        return QStringLiteral("最大购电量不超过9999，请检查数据！");
    return {};
}

} // namespace ombx
