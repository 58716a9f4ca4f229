#pragma once
#include <QString>
#include <QVariant>

namespace ombx {

struct Column;

// The value a settings cell or box stores for the text typed into it,
// converted by the column's type as the store converts an appended row: an
// empty text is null, a number column takes only a number (an Integer column
// only a whole number), a text may not be longer than its column. Throws
// ConversionError naming the typed text and `title`, the caption the operator
// sees, when the column cannot take the text.
QVariant cellValue(const Column& column, const QString& text, const QString& title);

// A number as the settings windows show it: general format, up to 15
// significant digits, no fixed decimals ("0.535", "10", "1e+20").
QString generalNumber(double value);

} // namespace ombx
