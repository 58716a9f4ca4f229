#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ombx {

enum class ColumnType { Integer, AutoNumber, Number, Money, Text, DateTime };

struct Column {
    QString name;
    ColumnType type;
    int width = 0; // Text width in GBK bytes; 0 = no limit of its own
};

struct Index {
    QStringList columns;
    bool unique = false;
};

struct Table {
    QString name;      // as the statements name it, e.g. "UsrBuy"
    QList<Column> columns;
    QList<Index> indexes;

    QString fileName() const { return name + QStringLiteral(".db"); }
    // Column by name, without regard to case; nullptr when absent.
    const Column* column(const QString& name) const;
};

// The sixteen tables of the office database.
const QList<Table>& tables();
// A table by its name or its file name ("usrbuy", "AddCard.DB", "DelUsr"),
// without regard to case; nullptr when it is not one of the sixteen.
const Table* findTable(const QString& nameOrFile);

// The value a column stores for a typed text: an empty (or, in a number
// column, blank) text is null, an Integer column takes only a whole number, a
// Number or Money column only a number, a Date-time column a moment (stored
// as yyyy-MM-dd hh:mm:ss), a Text column no more GBK bytes than its width.
// Throws ConversionError naming the text and `label` otherwise.
QVariant convertText(const Column& column, const QString& text, const QString& label);

// Installs the sixteen empty tables and one administrator account (class 0)
// into dir, creating dir when needed. Throws DatabaseError, touching nothing,
// when dir already holds any of the table files.
void installDatabase(const QString& dir, const QString& account = QStringLiteral("admin"),
                     const QString& password = QStringLiteral("admin"));

} // namespace ombx
