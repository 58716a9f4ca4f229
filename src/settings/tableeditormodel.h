#pragma once
#include "griddescription.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QSqlTableModel>

namespace ombx {

struct Column;
struct Table;

// The table model of a settings grid: converts what is typed by the column's
// type and keeps a refused text in its cell, shows numbers in general format,
// adds the calculated column, and warns before a row is stored.
class TableEditorModel : public QSqlTableModel {
public:
    TableEditorModel(const GridDescription& desc, const Table& table, QSqlDatabase db);

    std::function<void(const QString&)> refused; // a cell refused what was typed
    std::function<void(const QString&)> warn;    // a warning before a row is stored

    int calculatedColumn() const { return m_calculated; }

    bool select() override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    void revertRow(int row) override;

    // A row added by "插入" and not stored yet.
    bool isNewRow(int row) const;
    // The row is new, changed, or holds a refused text.
    bool rowChanged(int row) const;
    // New rows nobody typed anything into are dropped rather than stored.
    void dropUntouchedNewRows();
    // The first cell still holding a refused text (invalid when none), and its message.
    QModelIndex firstRefused(QString* message) const;

protected:
    bool insertRowIntoTable(const QSqlRecord& values) override;
    bool updateRowInTable(int row, const QSqlRecord& values) override;

private:
    struct Refused {
        QPersistentModelIndex index;
        QString text;
        QString message;
    };

    bool isNumber(int column) const;
    const Column* columnAt(int column) const;
    QString titleOf(int column) const; // -1: the calculated column
    QVariant calculatedData(const QModelIndex& index, int role) const;
    const Refused* refusedAt(const QModelIndex& index) const;
    bool rowHasRefused(int row) const;
    void keepRefused(const QModelIndex& index, const QString& text, const QString& message);
    bool forgetRefused(const QModelIndex& index);
    void calculatedChanged(int row);
    void warnBefore(const QSqlRecord& values);

    const GridDescription& m_desc;
    QList<const Column*> m_columns; // the schema's column of each field
    QHash<int, GridColumn> m_described;
    int m_calculated = -1;
    QList<Refused> m_refused;
    QList<QPersistentModelIndex> m_newRows;
};

} // namespace ombx
