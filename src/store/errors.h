#pragma once
#include <QString>
#include <stdexcept>

namespace ombx {

// Every failure of the database engine reaches the program as this one type,
// carrying the engine's own text. The main window's default error box shows it.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// A value a column cannot take (a letter in a number column, a date that is no
// date, a text longer than its column): nothing is stored.
class ConversionError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

} // namespace ombx
