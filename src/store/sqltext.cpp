#include "sqltext.h"

#include "errors.h"

#include <QRegularExpression>

namespace ombx {

QString sqlQuote(const QString& value)
{
    QString v = value;
    v.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString sqlNumber(const QString& value)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*[-+]?(\d+(\.\d*)?|\.\d+)\s*$)"));
    if (!re.match(value).hasMatch())
        throw ConversionError(QStringLiteral("“%1”不是有效的数字").arg(value));
    return value.trimmed();
}

QString sqlNumber(qint64 value) { return QString::number(value); }

} // namespace ombx
