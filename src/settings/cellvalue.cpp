#include "cellvalue.h"

#include "dates.h"
#include "errors.h"
#include "gbk.h"
#include "schema.h"

#include <QRegularExpression>

#include <cmath>

namespace ombx {

QVariant cellValue(const Column& column, const QString& text, const QString& title)
{
    static const QRegularExpression integerRe(QStringLiteral(R"(^[-+]?\d+$)"));
    static const QRegularExpression numberRe(QStringLiteral(R"(^[-+]?(\d+(\.\d*)?|\.\d+)([eE][-+]?\d+)?$)"));
    const QString v = text.trimmed();
    if (column.type != ColumnType::Text && v.isEmpty())
        return QVariant();
    switch (column.type) {
    case ColumnType::Integer:
    case ColumnType::AutoNumber: {
        bool ok = false;
        const qint64 n = integerRe.match(v).hasMatch() ? v.toLongLong(&ok) : 0;
        if (!ok)
            throw ConversionError(QStringLiteral("“%1”不是有效的整数（%2）").arg(text, title));
        return n;
    }
    case ColumnType::Number:
    case ColumnType::Money: {
        bool ok = false;
        const double d = numberRe.match(v).hasMatch() ? v.toDouble(&ok) : 0.0;
        if (!ok || !std::isfinite(d))
            throw ConversionError(QStringLiteral("“%1”不是有效的数字（%2）").arg(text, title));
        return d;
    }
    case ColumnType::DateTime: {
        const QDateTime t = parseDateTime(v);
        if (!t.isValid())
            throw ConversionError(QStringLiteral("“%1”不是有效的日期时间（%2）").arg(text, title));
        return dateTimeText(t);
    }
    case ColumnType::Text:
        if (text.isEmpty())
            return QVariant();
        if (column.width > 0 && gbkLength(text) > column.width)
            throw ConversionError(
                QStringLiteral("“%1”太长，%2最多 %3 个字节（一个汉字占两个字节）").arg(text, title).arg(column.width));
        return text;
    }
    return text;
}

QString generalNumber(double value) { return QString::number(value, 'g', 15); }

} // namespace ombx
