#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

namespace ombx {

// The program shows and reads dates as yyyy-MM-dd everywhere, whatever the
// machine's locale, and stores moments as yyyy-MM-dd hh:mm:ss.
inline constexpr const char* kDateFormat = "yyyy-MM-dd";
inline constexpr const char* kDateTimeFormat = "yyyy-MM-dd hh:mm:ss";

QString dateText(const QDate& d);
QString dateTimeText(const QDateTime& t);
// The current local time as stored in the tables.
QString nowText();
// First and last second of a day, as used in range conditions.
QString dayStart(const QDate& d);
QString dayEnd(const QDate& d);
// Reads "yyyy-M-d", "yyyy-M-d h:m:s" and the like (any separators); an
// invalid QDateTime when the text is not such a moment.
QDateTime parseDateTime(const QString& text);

} // namespace ombx
