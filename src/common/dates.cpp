#include "dates.h"

#include <QRegularExpression>

namespace ombx {

QString dateText(const QDate& d) { return d.toString(QLatin1String(kDateFormat)); }
QString dateTimeText(const QDateTime& t) { return t.toString(QLatin1String(kDateTimeFormat)); }
QString nowText() { return dateTimeText(QDateTime::currentDateTime()); }
QString dayStart(const QDate& d) { return dateText(d) + QStringLiteral(" 00:00:00"); }
QString dayEnd(const QDate& d) { return dateText(d) + QStringLiteral(" 23:59:59"); }

QDateTime parseDateTime(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{4})[-/.](\d{1,2})[-/.](\d{1,2})(?:[ T]+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return {};
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace ombx
