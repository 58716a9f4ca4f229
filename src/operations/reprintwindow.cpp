#include "reprintwindow.h"

#include "appcontext.h"
#include "forms.h"
#include "prompter.h"
#include "receipt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ombx {

TFrmpjbd::TFrmpjbd(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TFrmpjbd"));
    setWindowTitle(QStringLiteral("票据补打"));
    const auto edit = [this](const char* name, bool readOnly) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        return e;
    };
    m_user = edit("userEdit", false);
    m_name = edit("nameEdit", true);
    m_meterNumber = edit("meterNumberEdit", true);
    m_address = edit("addressEdit", true);
    auto* find = makeButton(QStringLiteral("查找"), QStringLiteral("BitBtn1"), {}, this);
    m_print = makeButton(QStringLiteral("打印"), QStringLiteral("BitBtn2"), {}, this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("BitBtn3"), {}, this);
    m_print->setEnabled(false);

    auto* form = new QFormLayout;
    addRow(form, QStringLiteral("用户号："), m_user);
    addRow(form, QStringLiteral("用户名："), m_name);
    addRow(form, QStringLiteral(" 表号："), m_meterNumber);
    addRow(form, QStringLiteral("地址："), m_address);

    m_list = new QTableWidget(0, 8, this);
    m_list->setObjectName(QStringLiteral("StringGrid1"));
    const QStringList titles = {"次数", "购电量", "购电金额", "电价", "购电时间", "打印次数", "备注", "操作员"};
    const int widths[] = {30, 60, 60, 60, 120, 60, 50, 50};
    m_list->setHorizontalHeaderLabels(titles);
    for (int c = 0; c < 8; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();

    const auto guard = [this](void (TFrmpjbd::*f)()) { return guarded(*m_ctx.prompter, [this, f] { (this->*f)(); }); };
    connect(find, &QPushButton::clicked, this, guard(&TFrmpjbd::onFind));
    connect(m_print, &QPushButton::clicked, this, guard(&TFrmpjbd::onReprint));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_user, &QLineEdit::textChanged, this, &TFrmpjbd::clearFound);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* b : {find, m_print, quit})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 420);
}

void TFrmpjbd::clearFound()
{
    m_name->clear();
    m_meterNumber->clear();
    m_address->clear();
    m_list->setRowCount(0);
    m_print->setEnabled(false);
}

void TFrmpjbd::onFind()
{
    m_print->setEnabled(false);
    const QString user = m_user->text().trimmed();
    const Rows c = receipt::customer(*m_ctx.db, user);
    m_name->setText(c.text(0, 0));
    m_meterNumber->setText(c.text(0, 1));
    m_address->setText(c.text(0, 2));
    const Rows p = receipt::purchases(*m_ctx.db, user);
    m_list->setRowCount(p.count());
    for (int r = 0; r < p.count(); ++r)
        for (int col = 0; col < 8; ++col)
            m_list->setItem(r, col, new QTableWidgetItem(p.text(r, col)));
    if (p.count() > 0) {
        m_list->selectRow(0);
        m_print->setEnabled(true);
    }
}

void TFrmpjbd::onReprint()
{
    const int row = m_list->currentRow();
    if (row < 0 || !m_list->item(row, 0))
        return; // an emptied list: a new search comes first
    if (receipt::reprint(m_ctx, m_user->text(), m_list->item(row, 0)->text(), m_list->item(row, 5)->text())) {
        m_list->setRowCount(0);
        m_print->setEnabled(false);
    }
}

} // namespace ombx
