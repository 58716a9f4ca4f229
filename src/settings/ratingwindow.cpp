#include "ratingwindow.h"

#include "appcontext.h"
#include "database.h"
#include "forms.h"
#include "prompter.h"
#include "ratings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ombx {
namespace {

const QString kAdd = QStringLiteral("添加");
const QString kConfirmAdd = QStringLiteral("添加确定");

enum RatingColumn { RatId, TypeName, Rating, Constant, Voltage, Capacity, Memo, ColumnCount };

// The rating list: a line is chosen by clicking it or by moving onto it
// with the keys.
class RatingList : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    std::function<void(int)> lineChosen;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const int before = currentRow();
        QTableWidget::keyPressEvent(event);
        if (currentRow() != before && currentRow() >= 0 && lineChosen)
            lineChosen(currentRow());
    }
};

} // namespace

TFmrating::TFmrating(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TFmrating"));
    setWindowTitle(QStringLiteral("容量设置"));

    m_typeList = new QComboBox(this); // not editable: a type can only be picked
    m_typeList->setObjectName(QStringLiteral("typeList"));
    m_ratingEdit = new QLineEdit(this);
    m_ratingEdit->setObjectName(QStringLiteral("ratingEdit"));
    m_constantEdit = new QLineEdit(this);
    m_constantEdit->setObjectName(QStringLiteral("constantEdit"));
    m_voltageEdit = new QLineEdit(this);
    m_voltageEdit->setObjectName(QStringLiteral("voltageEdit"));
    m_memoEdit = new QPlainTextEdit(this);
    m_memoEdit->setObjectName(QStringLiteral("memoEdit"));
    m_memoEdit->setTabChangesFocus(true);
    m_memoEdit->setFixedHeight(56);

    auto* group = new QGroupBox(QStringLiteral("容量设置："), this);
    auto* form = new QFormLayout(group);
    addRow(form, QStringLiteral("表型名称："), m_typeList);
    addRow(form, QStringLiteral("容量："), m_ratingEdit, QStringLiteral("（A）"));
    addRow(form, QStringLiteral("电表常数："), m_constantEdit, QStringLiteral("（imp/kWh)"));
    addRow(form, QStringLiteral("电压："), m_voltageEdit, QStringLiteral("（V）"));
    addRow(form, QStringLiteral("备注："), m_memoEdit);

    m_addButton = makeButton(kAdd, QStringLiteral("addButton"), {}, this);
    auto* del = makeButton(QStringLiteral("删除"), QStringLiteral("deleteButton"), {}, this);
    auto* ok = makeButton(QStringLiteral("确定"), QStringLiteral("okButton"), {}, this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("exitButton"), {}, this);
    connect(m_addButton, &QPushButton::clicked, this, [this] { guarded([this] { onAddClicked(); }); });
    connect(del, &QPushButton::clicked, this, [this] { guarded([this] { onDeleteClicked(); }); });
    connect(ok, &QPushButton::clicked, this, [this] { guarded([this] { onChangeClicked(); }); });
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_addButton, del, ok, quit}) {
        b->setAutoDefault(false); // Enter in a box must not add or change anything
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto* list = new RatingList(this);
    list->setObjectName(QStringLiteral("ratingList"));
    list->setColumnCount(ColumnCount);
    list->setHorizontalHeaderLabels({QStringLiteral("容量代码"), QStringLiteral("电表类型"), QStringLiteral("容量"),
                                     QStringLiteral("常数"), QStringLiteral("电压"), QStringLiteral("容量参数"),
                                     QStringLiteral("备注")});
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setDefaultSectionSize(92);
    list->horizontalHeader()->setStretchLastSection(true);
    list->lineChosen = [this](int row) { guarded([this, row] { selectLine(row); }); };
    connect(list, &QTableWidget::cellClicked, this, [list](int row, int) { list->lineChosen(row); });
    m_ratingList = list;

    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_ratingList, 1);
    for (const char* hint : {"添加容量：点击“添加”，再选择表型名称，然后输入容量、电压、电表常数再点",
                             "击“添加确定”，就完成新的容量设置。",
                             "修改容量：在表格中点击要修改的表型和容量，再在每个编辑框中修改各个参数，",
                             "再按”确定“实现此容量修改。"})
        layout->addWidget(new QLabel(QString::fromUtf8(hint), this));
    resize(720, 600);

    clearBoxes();
    m_typeList->addItems(ratings::typeEntries(*ctx.db));
    m_typeList->setCurrentIndex(-1);
    reload();
    m_ratId = QStringLiteral("-1");
    if (m_ratingList->rowCount() > 0)
        selectLine(0);
}

bool TFmrating::adding() const { return m_addButton->text() == kConfirmAdd; }

void TFmrating::guarded(const std::function<void()>& handler) { runGuarded(*m_ctx.prompter, handler); }

void TFmrating::clearBoxes()
{
    m_voltageEdit->clear();
    m_ratingEdit->clear();
    m_constantEdit->clear();
    m_memoEdit->clear();
}

void TFmrating::reload()
{
    const Rows rows = ratings::list(*m_ctx.db);
    m_ratingList->setRowCount(rows.count());
    for (int r = 0; r < rows.count(); ++r)
        for (int c = 0; c < ColumnCount; ++c)
            m_ratingList->setItem(r, c, new QTableWidgetItem(rows.text(r, c)));
}

void TFmrating::selectLine(int row)
{
    if (adding())
        m_addButton->setText(kAdd); // choosing a line abandons an add
    const QTableWidgetItem* code = m_ratingList->item(row, RatId);
    if (!code || code->text().trimmed().isEmpty())
        return;
    m_ratingList->selectRow(row);
    const QString type = ratings::typeOf(*m_ctx.db, code->text().trimmed());
    int found = -1;
    for (int i = 0; i < m_typeList->count() && found < 0; ++i)
        if (ratings::typeCode(m_typeList->itemText(i)).trimmed() == type)
            found = i;
    m_typeList->setCurrentIndex(found);
    m_ratId = code->text().trimmed();
    const auto cell = [&](int column) { return m_ratingList->item(row, column)->text(); };
    m_constantEdit->setText(cell(Constant));
    m_ratingEdit->setText(cell(Rating));
    m_voltageEdit->setText(cell(Voltage));
    m_memoEdit->setPlainText(cell(Memo));
}

void TFmrating::onAddClicked()
{
    if (!adding()) {
        m_typeList->setCurrentIndex(-1);
        clearBoxes();
        m_addButton->setText(kConfirmAdd);
        m_ratId = QStringLiteral("-1");
        return;
    }
    const QString message = ratings::add(*m_ctx.db, {m_typeList->currentText(), m_ratingEdit->text(),
                                                     m_constantEdit->text(), m_voltageEdit->text(),
                                                     m_memoEdit->toPlainText()});
    if (!message.isEmpty()) {
        m_ctx.prompter->info(message);
        return;
    }
    m_addButton->setText(kAdd);
    reload();
}

void TFmrating::onChangeClicked()
{
    if (adding()) {
        m_ctx.prompter->info(QStringLiteral("当前处于添加状态，请点击\"") + kConfirmAdd + QStringLiteral("\""));
        return;
    }
    if (ratings::change(*m_ctx.db, {m_typeList->currentText(), m_ratingEdit->text(), m_constantEdit->text(),
                                    m_voltageEdit->text(), m_memoEdit->toPlainText()},
                        m_ratId))
        reload();
}

void TFmrating::onDeleteClicked()
{
    int row = m_ratingList->currentRow();
    if (m_ctx.prompter->question(QStringLiteral("确定删除此记录吗?"))) {
        ratings::remove(*m_ctx.db, m_ratId);
        reload();
    }
    row = std::min(std::max(row, 0), m_ratingList->rowCount() - 1);
    if (row < 0) {
        // The last rating is gone: nothing is selected any more.
        if (adding())
            m_addButton->setText(kAdd);
        m_typeList->setCurrentIndex(-1);
        clearBoxes();
        m_ratId = QStringLiteral("-1");
        return;
    }
    m_ratingList->setCurrentCell(row, 0);
    selectLine(row);
}

} // namespace ombx
