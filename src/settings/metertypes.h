#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ombx {

// The alarm and cut-off quantities (kWh) a meter can be set to; a meter
// type's default levels and a customer's levels are picked from these lists.
QStringList alarmChoices();   // 10, 20, ... 990
QStringList cutOffChoices();  // 1 ... 10, 20 ... 250, 255

// The warning shown before a meter type is stored whose largest purchase is
// 10000 kWh or more (a card takes at most 9999 in one purchase); empty when
// there is nothing to warn about. The row is stored all the same.
QString largestPurchaseWarning(const QVariant& maxQant);

} // namespace ombx
