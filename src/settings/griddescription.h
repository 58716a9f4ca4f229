#pragma once
#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace ombx {

// One column of a browse-and-edit grid: the table's field and its title.
struct GridColumn {
    QString field;            // the table's column; empty for the calculated column
    QString title;
    QStringList choices = {}; // non-empty: picked from this list only, typing refused
    bool readOnly = false;
};

// What a settings grid shows and checks. The grid edits one table file
// directly: inserts, changes and deletes go straight to the table when the
// row is stored.
struct GridDescription {
    QString objectName;                  // the window's name
    QString caption;
    QString table;
    QString orderBy;                     // rows are shown in the order of this column (the table's key)
    QList<GridColumn> columns;           // shown, in this order; other columns are hidden
    // The calculated column (the column without a field): its value for a row.
    std::function<QVariant(const QSqlRecord&)> calculate;
    // A warning shown before a row is stored; the row is stored all the same.
    std::function<QString(const QSqlRecord&)> warnBeforeStore;
    QStringList hints = {};              // lines under the grid
    bool insertAndDelete = true;         // the right-click menu "插入" / "删除"
};

} // namespace ombx
