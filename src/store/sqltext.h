#pragma once
#include <QString>

namespace ombx {

// Every value enters a statement through these helpers, so that a value the
// operator typed can never change the statement around it.

// 'text' with single quotes doubled.
QString sqlQuote(const QString& value);
// A number written without quotes: checked to be a decimal number first
// (throws ConversionError otherwise).
QString sqlNumber(const QString& value);
QString sqlNumber(qint64 value);

} // namespace ombx
