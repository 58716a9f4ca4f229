#include "cellvalue.h"

#include "schema.h"

namespace ombx {

QVariant cellValue(const Column& column, const QString& text, const QString& title)
{
    return convertText(column, text, title);
}

QString generalNumber(double value) { return QString::number(value, 'g', 15); }

} // namespace ombx
