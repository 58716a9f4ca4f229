#pragma once
#include <QString>
#include <QStringList>

namespace ombx {

class Database;
class Rows;

// Ratings of meter types and their capacity parameter X: the statements and
// readings behind the rating window.
namespace ratings {

// Meter pulses in 20 seconds at the rated current and a fixed 220 V:
// v = constant * (rating * 220) * 20 / 1000 / 3600 in extended precision,
// then v itself when whole, else its integer part plus one. Throws
// ConversionError when the result is not a whole number the table can hold.
qint64 capacityParameter(long double rating, long double constant);

// Entries of the type list, in the order the table returns them:
// "code | name | Mtr_spec".
QStringList typeEntries(Database& db);
// The type code of a type-list entry: the characters before the first "|"
// (untrimmed; the whole entry when it has none).
QString typeCode(const QString& entry);

// The list of ratings whose meter type exists:
// rat_id, mtr_type, rating, const, v, x, memo.
Rows list(Database& db);
// The type code of a rating, as text (empty when there is no such rating).
QString typeOf(Database& db, const QString& ratId);

// What the rating window's boxes hold.
struct Input {
    QString typeEntry; // the chosen type-list entry, empty for none
    QString rating;
    QString constant;
    QString voltage;
    QString memo;
};

// Adds a rating; the rating box is read as a decimal number and the constant
// as a whole number. Returns the message to show instead (no type chosen,
// input incomplete), empty when stored. Throws ConversionError, storing
// nothing, when a box does not hold its kind of number or the remark is too
// long.
QString add(Database& db, const Input& in);
// Changes the rating `ratId`; here the rating is read as a whole number and
// the constant as a decimal number. Returns false, changing nothing, when no
// type is chosen. Throws ConversionError as add does.
bool change(Database& db, const Input& in, const QString& ratId);
void remove(Database& db, const QString& ratId);

} // namespace ratings
} // namespace ombx
