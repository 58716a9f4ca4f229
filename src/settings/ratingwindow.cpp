#include "ratingwindow.h"

#include "appcontext.h"
#include "database.h"
#include "forms.h"
#include "prompter.h"
#include "ratings.h"
#include "sqltext.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ombx {

TFmrating::TFmrating(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TFmrating"));
    setWindowTitle(QStringLiteral("容量设置"));

    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("ComboBox1"));
    m_rating = new QLineEdit(this);
    m_rating->setObjectName(QStringLiteral("Edit1"));
    m_constant = new QLineEdit(this);
    m_constant->setObjectName(QStringLiteral("Edit2"));
    m_voltage = new QLineEdit(this);
    m_voltage->setObjectName(QStringLiteral("Edit3"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setMaximumHeight(60);

    auto* group = new QGroupBox(QStringLiteral("容量设置："), this);
    auto* form = new QFormLayout(group);
    addRow(form, QStringLiteral("表型名称："), m_type);
    addRow(form, QStringLiteral("容量："), m_rating, QStringLiteral("（A）"));
    addRow(form, QStringLiteral("电表常数："), m_constant, QStringLiteral("（imp/kWh)"));
    addRow(form, QStringLiteral("电压："), m_voltage, QStringLiteral("（V）"));
    addRow(form, QStringLiteral("备注："), m_memo);

    m_add = makeButton(QStringLiteral("添加"), QStringLiteral("BitBtn1"), {}, this);
    auto* del = makeButton(QStringLiteral("删除"), QStringLiteral("BitBtn2"), {}, this);
    auto* ok = makeButton(QStringLiteral("确定"), QStringLiteral("BitBtn3"), {}, this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("BitBtn4"), {}, this);
    const auto guarded = [this](void (TFmrating::*f)()) {
        return [this, f] {
            try {
                (this->*f)();
            } catch (const DatabaseError& e) {
                m_ctx.prompter->error(e.text());
            }
        };
    };
    connect(m_add, &QPushButton::clicked, this, guarded(&TFmrating::onAdd));
    connect(del, &QPushButton::clicked, this, guarded(&TFmrating::onDelete));
    connect(ok, &QPushButton::clicked, this, guarded(&TFmrating::onChange));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    m_list = new QTableWidget(this);
    m_list->setObjectName(QStringLiteral("StringGrid1"));
    m_list->setColumnCount(7);
    m_list->setHorizontalHeaderLabels({QStringLiteral("容量代码"), QStringLiteral("电表类型"), QStringLiteral("容量"),
                                       QStringLiteral("常数"), QStringLiteral("电压"), QStringLiteral("容量参数"),
                                       QStringLiteral("备注")});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) { selectLine(row); });

    auto* buttons = new QHBoxLayout;
    for (auto* b : {m_add, del, ok, quit})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    for (const char* hint : {"添加容量：点击“添加”，再选择表型名称，然后输入容量、电压、电表常数再点",
                             "击“添加确定”，就完成新的容量设置。",
                             "修改容量：在表格中点击要修改的表型和容量，再在每个编辑框中修改各个参数，",
                             "再按”确定“实现此容量修改。"})
        layout->addWidget(new QLabel(QString::fromUtf8(hint), this));
    resize(640, 560);

    m_type->addItems(ratings::typeEntries(*ctx.db));
    m_type->setCurrentIndex(-1);
    reload();
    m_ratId = QStringLiteral("-1");
    if (m_list->rowCount() > 0 && m_list->item(0, 0))
        selectLine(0);
}

bool TFmrating::adding() const { return m_add->text() == QStringLiteral("添加确定"); }

void TFmrating::reload()
{
    const Rows rows = ratings::list(*m_ctx.db);
    m_list->setRowCount(rows.count());
    for (int r = 0; r < rows.count(); ++r)
        for (int c = 0; c < 7; ++c)
            m_list->setItem(r, c, new QTableWidgetItem(rows.text(r, c)));
}

void TFmrating::selectLine(int row)
{
    if (adding())
        m_add->setText(QStringLiteral("添加"));
    if (row < 0 || row >= m_list->rowCount() || !m_list->item(row, 0)) {
        // No rating left: the boxes are cleared.
        m_rating->clear();
        m_constant->clear();
        m_voltage->clear();
        m_memo->clear();
        m_type->setCurrentIndex(-1);
        m_ratId = QStringLiteral("-1");
        return;
    }
    const QString code = m_list->item(row, 0)->text().trimmed();
    if (code.isEmpty())
        return;
    m_list->selectRow(row);
    const QString type =
        m_ctx.db->select(QStringLiteral("Select type_id from mtrRating where rat_id =") + sqlQuote(code)).text(0, 0);
    int found = -1;
    for (int i = 0; i < m_type->count() && found < 0; ++i)
        if (ratings::typeCode(m_type->itemText(i)).trimmed() == type)
            found = i;
    m_type->setCurrentIndex(found);
    m_ratId = code;
    m_constant->setText(m_list->item(row, 3)->text());
    m_rating->setText(m_list->item(row, 2)->text());
    m_voltage->setText(m_list->item(row, 4)->text());
    m_memo->setPlainText(m_list->item(row, 6)->text());
}

void TFmrating::onAdd()
{
    if (!adding()) {
        m_type->setCurrentIndex(-1);
        m_voltage->clear();
        m_rating->clear();
        m_constant->clear();
        m_memo->clear();
        m_add->setText(QStringLiteral("添加确定"));
        m_ratId = QStringLiteral("-1");
        return;
    }
    const QString message = ratings::add(*m_ctx.db, {m_type->currentText(), m_rating->text(), m_constant->text(),
                                                     m_voltage->text(), m_memo->toPlainText()});
    if (!message.isEmpty()) {
        m_ctx.prompter->info(message);
        return;
    }
    m_add->setText(QStringLiteral("添加"));
    reload();
}

void TFmrating::onChange()
{
    if (adding()) {
        m_ctx.prompter->info(QStringLiteral("当前处于添加状态，请点击\"添加确定\""));
        return;
    }
    ratings::change(*m_ctx.db, {m_type->currentText(), m_rating->text(), m_constant->text(), m_voltage->text(),
                                m_memo->toPlainText()},
                    m_ratId);
    reload();
}

void TFmrating::onDelete()
{
    if (m_ctx.prompter->question(QStringLiteral("确定删除此记录吗?"))) {
        ratings::remove(*m_ctx.db, m_ratId);
        reload();
    }
    selectLine(std::max(0, std::min(m_list->currentRow(), m_list->rowCount() - 1)));
}

} // namespace ombx
