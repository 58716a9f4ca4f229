#pragma once
#include <QString>
#include <QStringList>

namespace ombx {

class Database;
class Rows;

// Ratings of meter types and their capacity parameter X.
namespace ratings {

// Meter pulses in 20 seconds at the rated current and 220 V, rounded up to
// a whole number: ceil(constant * rating * 220 * 20 / 1000 / 3600).
qint64 capacityParameter(long double rating, long double constant);

// Entries of the type list: "code | name | specification".
QStringList typeEntries(Database& db);
// The type code of a type-list entry: what stands before the first "|".
QString typeCode(const QString& entry);

// The list of ratings: rat_id, mtr_type, rating, const, v, x, memo.
Rows list(Database& db);

struct Input {
    QString typeEntry; // chosen type-list entry, empty for none
    QString rating;
    QString constant;
    QString voltage;
    QString memo;
};

// Adds a rating: the rating read as a decimal number, the constant as a
// whole number. Returns the message to show, empty when stored. Throws
// ConversionError for a box that does not hold its kind of number.
QString add(Database& db, const Input& in);
// Changes the rating `ratId`: here the rating is read as a whole number and
// the constant as a decimal number. Nothing happens without a chosen type.
void change(Database& db, const Input& in, const QString& ratId);
void remove(Database& db, const QString& ratId);

} // namespace ratings
} // namespace ombx
