#include "tableeditor.h"

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
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUuid>
#include <QVBoxLayout>

namespace ombx {

// The table model of a grid: refuses a cell value its column cannot take,
// shows numbers in general format and adds the calculated column.
class EditModel : public QSqlTableModel {
public:
    EditModel(AppContext& ctx, const GridDescription& desc, QSqlDatabase db)
        : QSqlTableModel(nullptr, db), m_ctx(ctx), m_desc(desc), m_table(findTable(desc.table))
    {
    }

    int calculatedColumn() const { return m_desc.calculate ? QSqlTableModel::columnCount() : -1; }

    int columnCount(const QModelIndex& parent = {}) const override
    {
        return QSqlTableModel::columnCount(parent) + (m_desc.calculate ? 1 : 0);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.column() == calculatedColumn() && calculatedColumn() >= 0) {
            if (role != Qt::DisplayRole)
                return {};
            try {
                const QVariant v = m_desc.calculate(record(index.row()));
                return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15) : v;
            } catch (const DatabaseError&) {
                return {};
            }
        }
        const QVariant v = QSqlTableModel::data(index, role);
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && v.typeId() == QMetaType::Double)
            return QString::number(v.toDouble(), 'g', 15);
        return v;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o == Qt::Horizontal && section == calculatedColumn() && role == Qt::DisplayRole)
            return m_desc.calculatedTitle;
        return QSqlTableModel::headerData(section, o, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (index.column() == calculatedColumn())
            return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return QSqlTableModel::flags(index);
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (index.column() == calculatedColumn())
            return false;
        QVariant v = value;
        const QString text = value.toString().trimmed();
        const Column* col = m_table ? m_table->column(record().fieldName(index.column())) : nullptr;
        if (col && col->type != ColumnType::Text && col->type != ColumnType::DateTime) {
            static const QRegularExpression integer(QStringLiteral(R"(^[-+]?\d+$)"));
            static const QRegularExpression number(QStringLiteral(R"(^[-+]?(\d+(\.\d*)?|\.\d+)([eE][-+]?\d+)?$)"));
            const bool whole = col->type == ColumnType::Integer || col->type == ColumnType::AutoNumber;
            if (text.isEmpty()) {
                v = QVariant();
            } else if (!(whole ? integer : number).match(text).hasMatch()) {
                m_ctx.prompter->error(QStringLiteral("“%1”不是有效的%2").arg(value.toString(),
                                                                         whole ? QStringLiteral("整数")
                                                                               : QStringLiteral("数字")));
                return false;
            } else {
                v = whole ? QVariant(text.toLongLong()) : QVariant(text.toDouble());
            }
        }
        if (!QSqlTableModel::setData(index, v, role))
            return false;
        if (calculatedColumn() >= 0) {
            const QModelIndex calc = this->index(index.row(), calculatedColumn());
            emit dataChanged(calc, calc);
        }
        return true;
    }

private:
    AppContext& m_ctx;
    const GridDescription& m_desc;
    const Table* m_table;
};

namespace {

// Pick-only cells: a list to choose from; every key press is swallowed.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    ChoiceDelegate(QStringList choices, QObject* parent) : QStyledItemDelegate(parent), m_choices(std::move(choices)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* box = new QComboBox(parent);
        box->addItems(m_choices);
        box->installEventFilter(const_cast<ChoiceDelegate*>(this));
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QComboBox*>(editor)->setCurrentIndex(m_choices.indexOf(index.data(Qt::EditRole).toString()));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const auto* box = static_cast<QComboBox*>(editor);
        if (box->currentIndex() >= 0)
            model->setData(index, box->currentText());
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Keys that close the list still work; anything typed is dropped.
            if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape && key != Qt::Key_Tab)
                return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    QStringList m_choices;
};

// The grid: typing into a pick-only column does nothing.
class GridView : public QTableView {
public:
    using QTableView::QTableView;
    QList<int> pickOnly;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (pickOnly.contains(currentIndex().column()) && !event->text().isEmpty() && event->text()[0].isPrint())
            return;
        QTableView::keyPressEvent(event);
    }
};

} // namespace

TableEditor::TableEditor(AppContext& ctx, GridDescription description, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_desc(std::move(description))
{
    setObjectName(m_desc.objectName);
    setWindowTitle(m_desc.caption);
    m_connection = QStringLiteral("ombx-grid-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = openTableConnection(ctx.dbDir(), m_desc.table, m_connection);
    m_model = new EditModel(ctx, m_desc, db);
    m_model->setParent(this);
    m_model->setEditStrategy(QSqlTableModel::OnManualSubmit);
    m_model->setTable(findTable(m_desc.table)->name);
    if (!m_model->select())
        throw DatabaseError(m_model->lastError().text());

    auto* view = new GridView(this);
    view->setObjectName(QStringLiteral("DBGrid1"));
    view->setModel(m_model);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->verticalHeader()->setDefaultSectionSize(22);
    m_view = view;

    // Show the described columns in their order; the calculated one goes
    // before the last described column (the remark).
    QList<int> order;
    const QSqlRecord rec = m_model->record();
    for (int i = 0; i < rec.count(); ++i)
        view->setColumnHidden(i, true);
    for (const GridColumn& c : m_desc.columns) {
        const int col = rec.indexOf(c.field);
        Q_ASSERT(col >= 0);
        m_model->setHeaderData(col, Qt::Horizontal, c.title);
        view->setColumnHidden(col, false);
        order << col;
        if (!c.choices.isEmpty()) {
            view->setItemDelegateForColumn(col, new ChoiceDelegate(c.choices, view));
            view->pickOnly << col;
        }
    }
    if (m_model->calculatedColumn() >= 0)
        order.insert(std::max<qsizetype>(0, order.size() - 1), m_model->calculatedColumn());
    for (int visual = 0; visual < order.size(); ++visual)
        view->horizontalHeader()->moveSection(view->horizontalHeader()->visualIndex(order[visual]), visual);

    connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("插入"), this, &TableEditor::insertRow);
        menu.addAction(QStringLiteral("删除"), this, &TableEditor::deleteRow);
        menu.exec(m_view->viewport()->mapToGlobal(at));
    });
    connect(qApp, &QApplication::focusChanged, this, &TableEditor::onFocusChanged);

    auto* hint = new QLabel(QStringLiteral("把光标点击到表格里，再点击“右键”，可以实现添加(插入）和删除。"), this);
    auto* ok = makeButton(QStringLiteral("确定"), QStringLiteral("BitBtn1"), {}, this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("BitBtn2"), {}, this);
    connect(ok, &QPushButton::clicked, this, &TableEditor::store);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hint, 1);
    buttons->addWidget(ok);
    buttons->addWidget(quit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);
    resize(760, 420);
}

TableEditor::~TableEditor()
{
    disconnect(qApp, nullptr, this, nullptr);
    delete m_model;
    m_model = nullptr;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlTableModel* TableEditor::model() const { return m_model; }

int TableEditor::columnOf(const QString& fieldOrTitle) const
{
    if (fieldOrTitle == m_desc.calculatedTitle)
        return m_model->calculatedColumn();
    return m_model->record().indexOf(fieldOrTitle);
}

bool TableEditor::store()
{
    if (!m_model->isDirty())
        return true;
    if (m_desc.beforeStore)
        for (int r = 0; r < m_model->rowCount(); ++r)
            if (m_model->isDirty(m_model->index(r, 0)))
                m_desc.beforeStore(m_model->record(r), m_ctx);
    if (!m_model->submitAll()) {
        m_ctx.prompter->error(m_model->lastError().text());
        return false;
    }
    return true;
}

void TableEditor::insertRow()
{
    const int row = std::max(0, m_view->currentIndex().row());
    m_model->insertRow(row);
    m_view->setCurrentIndex(m_model->index(row, m_model->record().indexOf(m_desc.columns.first().field)));
}

void TableEditor::deleteRow()
{
    const int row = m_view->currentIndex().row();
    if (row < 0 || !m_ctx.prompter->question(QStringLiteral("确定删除当前记录吗？")))
        return;
    m_model->removeRow(row);
    if (!m_model->submitAll()) {
        m_ctx.prompter->error(m_model->lastError().text());
        m_model->revertAll();
    }
}

void TableEditor::onFocusChanged(QWidget* old, QWidget* now)
{
    // Leaving the grid (for any control outside it, the buttons included) stores the row.
    const auto inGrid = [this](QWidget* w) { return w && (w == m_view || m_view->isAncestorOf(w)); };
    if (inGrid(old) && !inGrid(now) && isAncestorOf(now))
        store();
}

QStringList alarmChoices()
{
    QStringList out;
    for (int v = 10; v <= 990; v += 10)
        out << QString::number(v);
    return out;
}

QStringList cutOffChoices()
{
    QStringList out;
    for (int v = 1; v <= 10; ++v)
        out << QString::number(v);
    for (int v = 20; v <= 250; v += 10)
        out << QString::number(v);
    out << QStringLiteral("255");
    return out;
}

TFmPriceType::TFmPriceType(AppContext& ctx, QWidget* parent)
    : TableEditor(ctx,
                  {QStringLiteral("TFmPriceType"),
                   QStringLiteral("电价设置"),
                   QStringLiteral("PriceType"),
                   {{"Price_type", "电价名称", {}},
                    {"Base_P", "基本电价", {}},
                    {"Addon_p", "附加费", {}},
                    {"Plus_p", "线路损耗费", {}},
                    {"City_p", "城建费", {}},
                    {"Sanxia_p", "三峡费", {}},
                    {"Memo", "备注", {}}},
                   QStringLiteral("合计"),
                   [](const QSqlRecord& r) {
                       return QVariant(unitPrice(r.value("Base_P"), r.value("Addon_p"), r.value("Plus_p"),
                                                 r.value("City_p"), r.value("Sanxia_p")));
                   },
                   {}},
                  parent)
{
}

TFmMtrType::TFmMtrType(AppContext& ctx, QWidget* parent)
    : TableEditor(ctx,
                  {QStringLiteral("TFmMtrType"),
                   QStringLiteral("表型设置"),
                   QStringLiteral("MtrType"),
                   {{"Type_id", "表型代码", {}},
                    {"Mtr_Type", "表型名称", {}},
                    {"Mtr_spec", "规格", {}},
                    {"Max_qant", "最大购电量", {}},
                    {"Alam_1", "报警电量", alarmChoices()},
                    {"Alam_2", "拉闸电量", cutOffChoices()},
                    {"Memo", "备注", {}}},
                   {},
                   {},
                   [](const QSqlRecord& r, AppContext& c) {
                       if (r.value("Max_qant").toLongLong() >= 10000)
                           c.prompter->info(QStringLiteral("最大购电量不超过9999，请检查数据！"));
                   }},
                  parent)
{
}

} // namespace ombx
