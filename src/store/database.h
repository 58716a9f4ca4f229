#pragma once
#include "errors.h"
#include "schema.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace ombx {

// The rows a select returned, read completely. Columns by position (0 first,
// in the order of the select list) or by name without regard to case; a null
// reads as empty text, 0 or an invalid date-time. Reading past the rows also
// gives empty values, as an empty query does.
class Rows {
public:
    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int columnCount() const { return m_names.size(); }
    const QStringList& columnNames() const { return m_names; }
    int columnIndex(const QString& name) const; // -1 when absent

    QVariant value(int row, int col) const;
    QVariant value(int row, const QString& name) const;
    bool isNull(int row, int col) const { return value(row, col).isNull(); }
    bool isNull(int row, const QString& name) const { return value(row, name).isNull(); }
    QString text(int row, int col) const;
    QString text(int row, const QString& name) const;
    qint64 integer(int row, int col) const;   // throws ConversionError on a non-number
    qint64 integer(int row, const QString& name) const;
    double number(int row, int col) const;    // throws ConversionError on a non-number
    double number(int row, const QString& name) const;
    QDateTime dateTime(int row, int col) const;
    QDateTime dateTime(int row, const QString& name) const;

    // Shorthands for the first row.
    QString text(const QString& name) const { return text(0, name); }
    QString text(int col) const { return text(0, col); }

    // Building (used by Database)
    void setColumns(const QStringList& names) { m_names = names; }
    void addRow(std::vector<QVariant>&& row) { m_rows.push_back(std::move(row)); }

private:
    int nameIndex(const QString& name) const; // throws when absent
    QStringList m_names;
    std::vector<std::vector<QVariant>> m_rows;
};

// One column value to append, given as text: "0.00", "2024-03-01 08:05:09",
// an empty text for null.
using Values = QList<QPair<QString, QString>>;

// The office database: the folder DB with one SQLite file per table. Tables
// are attached to the one connection on demand, so statements name them as
// the office always has ("UsrBuy", "usrbuy"). Not thread-safe; one per thread.
class Database {
public:
    // Opens the database folder; throws DatabaseError when it holds no
    // installed database (adm.db is missing). Never creates a table.
    explicit Database(const QString& dir);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString dir() const { return m_dir; }

    // Runs a select and returns its rows.
    Rows select(const QString& sql);
    // Runs insert, update or delete; returns the number of rows changed.
    int exec(const QString& sql);
    // Appends one row to a table (name or file name), converting each text by
    // the column's type. Returns the new row's rowid (the auto-number where
    // the table has one). Throws ConversionError and stores nothing when a
    // value does not fit its column.
    qint64 append(const QString& table, const Values& values);

    // Closes the connection (and every attached table file), e.g. before the
    // folder is replaced by a restore; reopen() opens it again.
    void close();
    void reopen();
    bool isOpen() const;

    // The Qt connection (for grid models over attached tables). Make sure the
    // table is attached first with attach().
    QSqlDatabase connection() const;
    void attach(const QString& table);
    QStringList attachedTables() const; // most recently used last

private:
    friend class Transaction;
    void open();
    void prepareTables(const QString& sql);
    void ensureAttached(const QString& table, const QStringList& keep);
    void touch(const QString& table);
    template <typename F> auto run(const QString& sql, F&& body);

    QString m_dir;
    QString m_connectionName;
    QString m_mainTable;          // the table whose file is the main database
    QStringList m_attached;       // schema names in order of use, oldest first
    QStringList m_pinned;         // tables a running transaction holds
    bool m_inTransaction = false;
};

// All or nothing for writes that belong together. Names the tables it will
// touch (attached before it begins); rolls back unless commit() was reached,
// also when an exception passes.
class Transaction {
public:
    Transaction(Database& db, const QStringList& tables);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& m_db;
    bool m_done = false;
};

// Opens one table file on its own connection (with the date-time collation),
// for a browse-and-edit grid that keeps the table open while its window
// lives. The caller removes the connection with QSqlDatabase::removeDatabase.
QSqlDatabase openTableConnection(const QString& dir, const QString& table, const QString& connectionName);

} // namespace ombx
