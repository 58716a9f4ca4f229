#include "tableeditor.h"

#include "tableeditormodel.h"

#include "appcontext.h"
#include "database.h"
#include "forms.h"
#include "prompter.h"
#include "schema.h"
#include "unitprice.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUuid>
#include <QVBoxLayout>

namespace ombx {

// The grid's own connection to its table file, removed when the window goes
// (after the model that uses it).
class TableEditor::Connection {
public:
    Connection(const QString& dir, const Table& table)
        : m_name(QStringLiteral("ombx-grid-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        openTableConnection(dir, table.name, m_name);
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

namespace {

// Keys that close an editor or move on; every other key that types something
// is swallowed in a pick-only column.
bool typesIntoCell(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        return !e->text().isEmpty();
    }
}

// Every other cell is edited as the text it shows (a number in general
// format, a refused text as it was typed) and hands back what was typed.
class TextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        return edit;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::DisplayRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }
};

// Pick-only cells: a list to choose from, nothing can be typed.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    ChoiceDelegate(QStringList choices, QObject* parent) : QStyledItemDelegate(parent), m_choices(std::move(choices))
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* box = new QComboBox(parent);
        box->addItems(m_choices);
        box->setMaxVisibleItems(20);
        box->installEventFilter(const_cast<ChoiceDelegate*>(this));
        // A value picked from the list goes into the cell at once.
        connect(box, &QComboBox::activated, this, [this, box] {
            auto* self = const_cast<ChoiceDelegate*>(this);
            emit self->commitData(box);
            emit self->closeEditor(box);
        });
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QComboBox*>(editor)->setCurrentIndex(m_choices.indexOf(index.data(Qt::DisplayRole).toString()));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const auto* box = static_cast<QComboBox*>(editor);
        if (box->currentIndex() >= 0)
            model->setData(index, box->currentText(), Qt::EditRole);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && typesIntoCell(static_cast<QKeyEvent*>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    QStringList m_choices;
};

// The grid: nothing can be typed into a pick-only column; Esc abandons the
// changes of the current row (and closes the window only when there are none).
class GridView : public QTableView {
public:
    using QTableView::QTableView;
    QList<int> pickOnly;
    std::function<bool()> revertCurrentRow;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (pickOnly.contains(currentIndex().column()) && typesIntoCell(event)) {
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Escape && state() != EditingState && revertCurrentRow && revertCurrentRow()) {
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
    }
};

} // namespace

TableEditor::TableEditor(AppContext& ctx, GridDescription description, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_desc(std::move(description))
{
    setObjectName(m_desc.objectName);
    setWindowTitle(m_desc.caption);

    const Table* table = findTable(m_desc.table);
    if (!table)
        throw DatabaseError(QStringLiteral("no such table: %1").arg(m_desc.table));
    m_connection = std::make_unique<Connection>(ctx.dbDir(), *table);
    m_model = std::make_unique<TableEditorModel>(m_desc, *table, m_connection->db());
    if (!m_model->select())
        throw DatabaseError(m_model->lastError().text());
    m_model->refused = [this](const QString& message) { onRefused(message); };
    m_model->warn = [this](const QString& message) { m_ctx.prompter->info(message); };

    auto* view = new GridView(this);
    view->setObjectName(QStringLiteral("grid"));
    view->setModel(m_model.get());
    view->setItemDelegate(new TextDelegate(view));
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->setDefaultSectionSize(24);
    view->horizontalHeader()->setStretchLastSection(true);
    view->revertCurrentRow = [this] {
        const int row = m_view->currentIndex().row();
        if (row < 0 || !m_model->rowChanged(row))
            return false;
        revertCurrentRow();
        return true;
    };
    m_view = view;

    // The described columns in their order; every other column is hidden.
    const QSqlRecord rec = m_model->record();
    for (int i = 0; i < m_model->columnCount(); ++i)
        view->setColumnHidden(i, true);
    int visual = 0;
    for (const GridColumn& c : m_desc.columns) {
        const int col = c.field.isEmpty() ? m_model->calculatedColumn() : rec.indexOf(c.field);
        Q_ASSERT(col >= 0);
        view->setColumnHidden(col, false);
        view->horizontalHeader()->moveSection(view->horizontalHeader()->visualIndex(col), visual++);
        if (!c.choices.isEmpty()) {
            view->setItemDelegateForColumn(col, new ChoiceDelegate(c.choices, view));
            view->pickOnly << col;
        }
    }
    view->resizeColumnsToContents();
    for (int i = 0; i < m_model->columnCount(); ++i)
        view->setColumnWidth(i, std::max(view->columnWidth(i), 90));

    if (m_desc.insertAndDelete) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            QMenu menu(this);
            menu.addAction(QStringLiteral("插入"), this, &TableEditor::insertRow);
            menu.addAction(QStringLiteral("删除"), this, &TableEditor::deleteRow);
            menu.exec(m_view->viewport()->mapToGlobal(at));
        });
    }
    connect(qApp, &QApplication::focusChanged, this, &TableEditor::onFocusChanged);

    auto* ok = makeButton(QStringLiteral("确定"), QStringLiteral("okButton"), {}, this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("exitButton"), {}, this);
    for (QPushButton* b : {ok, quit})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TableEditor::store);
    connect(quit, &QPushButton::clicked, this, &TableEditor::reject);

    auto* hints = new QVBoxLayout;
    for (const QString& line : m_desc.hints)
        hints->addWidget(new QLabel(line, this));
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(hints, 1);
    bottom->addWidget(ok);
    bottom->addWidget(quit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view, 1);
    layout->addLayout(bottom);
    resize(860, 420);
}

TableEditor::~TableEditor()
{
    disconnect(qApp, nullptr, this, nullptr);
    m_view->setModel(nullptr);
    m_model.reset(); // before the connection it uses
}

QSqlTableModel* TableEditor::model() const { return m_model.get(); }

int TableEditor::columnOf(const QString& fieldOrTitle) const
{
    for (const GridColumn& c : m_desc.columns)
        if (c.field.isEmpty() && c.title == fieldOrTitle)
            return m_model->calculatedColumn();
    return m_model->record().indexOf(fieldOrTitle);
}

bool TableEditor::store()
{
    m_model->dropUntouchedNewRows();
    QString refusal;
    const QModelIndex refused = m_model->firstRefused(&refusal);
    if (refused.isValid()) {
        m_view->setCurrentIndex(refused);
        m_ctx.prompter->error(refusal);
        return false;
    }
    if (!m_model->isDirty())
        return true;
    const QModelIndex current = m_view->currentIndex();
    if (!m_model->submitAll()) {
        m_ctx.prompter->error(m_model->lastError().text());
        return false;
    }
    // Storing reads the table again; stay on the same cell.
    if (current.isValid() && m_model->rowCount() > 0)
        m_view->setCurrentIndex(m_model->index(std::min(current.row(), m_model->rowCount() - 1), current.column()));
    return true;
}

void TableEditor::insertRow()
{
    if (!store())
        return;
    const int row = std::max(0, m_view->currentIndex().row());
    m_model->insertRow(row);
    int first = m_view->horizontalHeader()->logicalIndex(0);
    for (int v = 0; v < m_model->columnCount(); ++v) {
        const int col = m_view->horizontalHeader()->logicalIndex(v);
        if (!m_view->isColumnHidden(col) && (m_model->flags(m_model->index(row, col)) & Qt::ItemIsEditable)) {
            first = col;
            break;
        }
    }
    m_view->setCurrentIndex(m_model->index(row, first));
    m_view->setFocus();
}

void TableEditor::deleteRow()
{
    const int row = m_view->currentIndex().row();
    if (row < 0 || !m_ctx.prompter->question(QStringLiteral("确定删除当前记录吗？")))
        return;
    const bool stored = !m_model->isNewRow(row);
    m_model->revertRow(row); // its unstored changes go with it; a new row is gone now
    if (!stored)
        return;
    QString refusal;
    if (m_model->firstRefused(&refusal).isValid()) {
        m_ctx.prompter->error(refusal);
        return;
    }
    const int column = m_view->currentIndex().column();
    m_model->removeRow(row);
    if (!m_model->submitAll()) {
        m_ctx.prompter->error(m_model->lastError().text());
        m_model->revertRow(row);
        return;
    }
    if (m_model->rowCount() > 0)
        m_view->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1), column));
}

void TableEditor::revertCurrentRow()
{
    const int row = m_view->currentIndex().row();
    if (row >= 0)
        m_model->revertRow(row);
}

void TableEditor::reject()
{
    if (!store()) {
        m_view->setFocus();
        return;
    }
    QDialog::reject();
}

bool TableEditor::inGrid(QWidget* w) const { return w && (w == m_view || m_view->isAncestorOf(w)); }

void TableEditor::onFocusChanged(QWidget* old, QWidget* now)
{
    // Leaving the grid for another control of this window (the buttons
    // included) stores the rows. It runs once the focus change is complete,
    // so that a message box never opens in the middle of it.
    if (!inGrid(old) || inGrid(now) || !now || !isAncestorOf(now) || m_leaveQueued)
        return;
    m_leaveQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_leaveQueued = false;
            if (inGrid(QApplication::focusWidget()) || !isVisible())
                return;
            if (!store())
                m_view->setFocus();
        },
        Qt::QueuedConnection);
}

void TableEditor::onRefused(const QString& message)
{
    // While the operator stays in the grid the refusal is told at once; when
    // the grid is being left, the store that follows tells it.
    if (inGrid(QApplication::focusWidget()))
        m_ctx.prompter->error(message);
}

TFmPriceType::TFmPriceType(AppContext& ctx, QWidget* parent)
    : TableEditor(ctx,
                  {QStringLiteral("TFmPriceType"),
                   QStringLiteral("电价设置"),
                   QStringLiteral("PriceType"),
                   QStringLiteral("Price_id"),
                   {{"Price_type", "电价名称"},
                    {"Base_P", "基本电价"},
                    {"Addon_p", "附加费"},
                    {"Plus_p", "线路损耗费"},
                    {"City_p", "城建费"},
                    {"Sanxia_p", "三峡费"},
                    {"", "合计"},
                    {"Memo", "备注"}},
                   [](const QSqlRecord& r) { return QVariant(unitPrice(r)); },
                   {},
                   {QStringLiteral("把光标点击到表格里，再点击“右键”，可以实现添加(插入）和删除。")}},
                  parent)
{
}

TFmMtrType::TFmMtrType(AppContext& ctx, QWidget* parent)
    : TableEditor(ctx,
                  {QStringLiteral("TFmMtrType"),
                   QStringLiteral("表型设置"),
                   QStringLiteral("MtrType"),
                   QStringLiteral("Type_id"),
                   {{"Type_id", "表型代码"},
                    {"Mtr_Type", "表型名称"},
                    {"Mtr_spec", "规格"},
                    {"Max_qant", "最大购电量"},
                    {"Alam_1", "报警电量", alarmChoices()},
                    {"Alam_2", "拉闸电量", cutOffChoices()},
                    {"Memo", "备注"}},
                   {},
                   [](const QSqlRecord& r) { return largestPurchaseWarning(r.value(QStringLiteral("Max_qant"))); },
                   {QStringLiteral("把光标点击到表格里，再点击“右键”，可以实现添加(插入）和删除。")}},
                  parent)
{
}

} // namespace ombx
