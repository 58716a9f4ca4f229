#pragma once
#include <QList>
#include <QString>
#include <QStringList>

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

// Installs the sixteen empty tables and one administrator account (class 0)
// into dir, creating dir when needed. Throws DatabaseError, touching nothing,
// when dir already holds any of the table files.
void installDatabase(const QString& dir, const QString& account = QStringLiteral("admin"),
                     const QString& password = QStringLiteral("admin"));

} // namespace ombx
