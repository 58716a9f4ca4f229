#include "tableeditormodel.h"

#include "cellvalue.h"
#include "errors.h"
#include "schema.h"

#include <QBrush>

namespace ombx {
namespace {

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    bool okA = false, okB = false;
    const double da = a.toDouble(&okA), db = b.toDouble(&okB);
    if (okA && okB && a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString)
        return da == db;
    return a.toString() == b.toString();
}

QVariant shownText(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return generalNumber(v.toDouble());
    return v.toString();
}

} // namespace

TableEditorModel::TableEditorModel(const GridDescription& desc, const Table& table, QSqlDatabase db)
    : QSqlTableModel(nullptr, db), m_desc(desc)
{
    setEditStrategy(OnManualSubmit);
    setTable(table.name);
    const QSqlRecord rec = QSqlTableModel::record();
    for (int i = 0; i < rec.count(); ++i)
        m_columns << table.column(rec.fieldName(i));
    for (const GridColumn& c : desc.columns)
        if (!c.field.isEmpty())
            m_described.insert(rec.indexOf(c.field), c);
    m_calculated = desc.calculate ? rec.count() : -1;
    if (!desc.orderBy.isEmpty())
        setSort(rec.indexOf(desc.orderBy), Qt::AscendingOrder);
}

bool TableEditorModel::select()
{
    m_refused.clear();
    if (!QSqlTableModel::select())
        return false;
    // Read every row now, so that no statement stays open on the table file.
    while (canFetchMore())
        fetchMore();
    return true;
}

int TableEditorModel::columnCount(const QModelIndex& parent) const
{
    return QSqlTableModel::columnCount(parent) + (m_calculated >= 0 ? 1 : 0);
}

// Only what is shown is dressed up: the edit role stays the stored value,
// because the model reads its rows (and the keys of its updates) through it.
QVariant TableEditorModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.column() == m_calculated)
        return calculatedData(index, role);
    if (role == Qt::ForegroundRole && refusedAt(index))
        return QBrush(Qt::red);
    if (role == Qt::TextAlignmentRole && isNumber(index.column()))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QSqlTableModel::data(index, role);
    if (const Refused* r = refusedAt(index))
        return r->text;
    return shownText(QSqlTableModel::data(index, Qt::EditRole));
}

QVariant TableEditorModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section == m_calculated)
            return titleOf(-1);
        if (m_described.contains(section))
            return m_described.value(section).title;
    }
    return QSqlTableModel::headerData(section, o, role);
}

Qt::ItemFlags TableEditorModel::flags(const QModelIndex& index) const
{
    if (index.column() == m_calculated || m_described.value(index.column()).readOnly)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QSqlTableModel::flags(index);
}

bool TableEditorModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole)
        return QSqlTableModel::setData(index, value, role);
    if (!index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const Column* col = columnAt(index.column());
    QVariant v;
    try {
        v = col ? cellValue(*col, value.toString(), titleOf(index.column())) : value;
    } catch (const ConversionError& e) {
        keepRefused(index, value.toString(), e.text());
        if (refused)
            refused(e.text());
        return false;
    }
    const bool wasRefused = forgetRefused(index);
    // Leaving a cell as it was does not make its row a changed row.
    if (!sameValue(v, QSqlTableModel::data(index, Qt::EditRole)) || isDirty(index))
        if (!QSqlTableModel::setData(index, v, role))
            return false;
    if (wasRefused)
        emit dataChanged(index, index);
    calculatedChanged(index.row());
    return true;
}

bool TableEditorModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (!QSqlTableModel::insertRows(row, count, parent))
        return false;
    for (int r = row; r < row + count; ++r)
        m_newRows << QPersistentModelIndex(index(r, 0));
    return true;
}

void TableEditorModel::revertRow(int row)
{
    m_refused.removeIf([row](const Refused& r) { return !r.index.isValid() || r.index.row() == row; });
    QSqlTableModel::revertRow(row);
}

bool TableEditorModel::isNewRow(int row) const
{
    for (const QPersistentModelIndex& i : m_newRows)
        if (i.isValid() && i.row() == row)
            return true;
    return false;
}

bool TableEditorModel::rowChanged(int row) const
{
    if (isNewRow(row) || rowHasRefused(row))
        return true;
    for (int c = 0; c < QSqlTableModel::columnCount(); ++c)
        if (isDirty(index(row, c)))
            return true;
    return false;
}

void TableEditorModel::dropUntouchedNewRows()
{
    for (int row = rowCount() - 1; row >= 0; --row) {
        if (!isNewRow(row) || rowHasRefused(row))
            continue;
        // A field nobody set is not generated; one typed and emptied again is null.
        const QSqlRecord rec = record(row);
        bool empty = true;
        for (int c = 0; c < rec.count() && empty; ++c)
            empty = !rec.isGenerated(c) || rec.isNull(c);
        if (empty)
            revertRow(row);
    }
}

QModelIndex TableEditorModel::firstRefused(QString* message) const
{
    for (const Refused& r : m_refused)
        if (r.index.isValid()) {
            *message = r.message;
            return r.index;
        }
    return {};
}

bool TableEditorModel::insertRowIntoTable(const QSqlRecord& values)
{
    warnBefore(values);
    return QSqlTableModel::insertRowIntoTable(values);
}

bool TableEditorModel::updateRowInTable(int row, const QSqlRecord& values)
{
    warnBefore(values);
    return QSqlTableModel::updateRowInTable(row, values);
}

bool TableEditorModel::isNumber(int column) const
{
    const Column* col = columnAt(column);
    return col && col->type != ColumnType::Text && col->type != ColumnType::DateTime;
}

const Column* TableEditorModel::columnAt(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column] : nullptr;
}

QString TableEditorModel::titleOf(int column) const
{
    if (column < 0) {
        for (const GridColumn& c : m_desc.columns)
            if (c.field.isEmpty())
                return c.title;
        return {};
    }
    return m_described.contains(column) ? m_described.value(column).title : QSqlTableModel::record().fieldName(column);
}

QVariant TableEditorModel::calculatedData(const QModelIndex& index, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || rowHasRefused(index.row()))
        return {}; // not known while a cell of the row holds a refused text
    try {
        const QVariant v = m_desc.calculate(record(index.row()));
        return v.typeId() == QMetaType::Double ? QVariant(generalNumber(v.toDouble())) : v;
    } catch (const DatabaseError&) {
        return {};
    }
}

const TableEditorModel::Refused* TableEditorModel::refusedAt(const QModelIndex& index) const
{
    for (const Refused& r : m_refused)
        if (r.index.isValid() && r.index == index)
            return &r;
    return nullptr;
}

bool TableEditorModel::rowHasRefused(int row) const
{
    for (const Refused& r : m_refused)
        if (r.index.isValid() && r.index.row() == row)
            return true;
    return false;
}

void TableEditorModel::keepRefused(const QModelIndex& index, const QString& text, const QString& message)
{
    forgetRefused(index);
    m_refused.append({QPersistentModelIndex(index), text, message});
    emit dataChanged(index, index);
    calculatedChanged(index.row());
}

bool TableEditorModel::forgetRefused(const QModelIndex& index)
{
    return m_refused.removeIf([&](const Refused& r) { return !r.index.isValid() || r.index == index; }) > 0;
}

void TableEditorModel::calculatedChanged(int row)
{
    if (m_calculated < 0)
        return;
    const QModelIndex calc = index(row, m_calculated);
    emit dataChanged(calc, calc);
}

void TableEditorModel::warnBefore(const QSqlRecord& values)
{
    if (!m_desc.warnBeforeStore || !warn)
        return;
    const QString message = m_desc.warnBeforeStore(values);
    if (!message.isEmpty())
        warn(message);
}

} // namespace ombx
