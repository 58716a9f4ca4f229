#include "buywindow.h"

#include "appcontext.h"
#include "database.h"
#include "digitedit.h"
#include "forms.h"
#include "prompter.h"
#include "receipt.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ombx {

QLineEdit* TFmBuy::field(const QString& objectName, bool readOnly)
{
    auto* e = readOnly ? new QLineEdit(this) : new DigitEdit(this);
    e->setObjectName(objectName);
    e->setReadOnly(readOnly);
    return e;
}

TFmBuy::TFmBuy(AppContext& ctx, qint64 user, QWidget* parent) : QDialog(parent), m_ctx(ctx), m_user(user)
{
    setObjectName(QStringLiteral("TFmBuy"));
    setWindowTitle(QStringLiteral("用户买电（建议电能卡使用2年后更换新卡）"));

    // Customer information, read-only.
    auto* info = new QGroupBox(QStringLiteral("用户信息："), this);
    info->setToolTip(QStringLiteral("显示用户信息，此处不可以修改"));
    auto* grid = new QGridLayout(info);
    const struct {
        QLineEdit** target;
        const char* name;
        const char* caption;
        const char* unit;
    } rows[] = {
        {&m_userEdit, "userEdit", "用户号：", ""},       {&m_name, "nameEdit", "用户名：", ""},
        {&m_priceType, "priceTypeEdit", "用户类型：", ""}, {&m_meterNumber, "meterNumberEdit", "表号：", ""},
        {&m_ct, "ctEdit", "电表倍率：", ""},             {&m_cardCount, "cardCountEdit", "用卡次数：", ""},
        {&m_meterType, "meterTypeEdit", "电表类型：", ""}, {&m_buyCount, "buyCountEdit", "买电次数：", ""},
        {&m_phone, "phoneEdit", "电话：", ""},           {&m_address, "addressEdit", "地址：", ""},
        {&m_balance, "balanceEdit", "余额：", "元"},      {&m_rating, "ratingEdit", "电表容量：", ""},
        {&m_village, "villageEdit", "小区简称：", ""},
    };
    int i = 0;
    for (const auto& r : rows) {
        *r.target = field(QString::fromLatin1(r.name));
        QLabel* caption = captionFor(*r.target, QString::fromUtf8(r.caption), info);
        grid->addWidget(caption, i / 2, (i % 2) * 3);
        grid->addWidget(*r.target, i / 2, (i % 2) * 3 + 1);
        if (*r.unit)
            grid->addWidget(new QLabel(QString::fromUtf8(r.unit), info), i / 2, (i % 2) * 3 + 2);
        if (*r.target == m_rating || *r.target == m_village) {
            const bool shown = *r.target == m_village && kVillageSupport;
            caption->setVisible(shown);
            (*r.target)->setVisible(shown);
        }
        ++i;
    }

    // Purchase entry.
    auto* buyBox = new QGroupBox(QStringLiteral("购电信息："), this);
    m_byQuantity = new QRadioButton(QStringLiteral("按电量计算"), buyBox);
    m_byQuantity->setObjectName(QStringLiteral("byQuantityRadio"));
    m_byAmount = new QRadioButton(QStringLiteral("按金额计算"), buyBox);
    m_byAmount->setObjectName(QStringLiteral("byAmountRadio"));
    m_quantityGroup = new QGroupBox(buyBox);
    m_amountGroup = new QGroupBox(buyBox);
    m_quantity = field(QStringLiteral("quantityEdit"), false);
    m_fee = field(QStringLiteral("feeEdit"));
    m_due = field(QStringLiteral("dueEdit"));
    m_amount = field(QStringLiteral("amountEdit"), false);
    m_amountQuantity = field(QStringLiteral("amountQuantityEdit"));
    m_amountFee = field(QStringLiteral("amountFeeEdit"));
    auto* q = new QFormLayout(m_quantityGroup);
    addRow(q, QStringLiteral("电量："), m_quantity, QStringLiteral("kWh"));
    addRow(q, QStringLiteral("费用："), m_fee, QStringLiteral("元"));
    addRow(q, QStringLiteral("应缴："), m_due, QStringLiteral("元"));
    auto* a = new QFormLayout(m_amountGroup);
    addRow(a, QStringLiteral("金额："), m_amount, QStringLiteral("元"));
    addRow(a, QStringLiteral("电量："), m_amountQuantity, QStringLiteral("kWh"));
    addRow(a, QStringLiteral("费用："), m_amountFee, QStringLiteral("元"));
    m_invoice = field(QStringLiteral("invoiceEdit"));
    m_newBalance = field(QStringLiteral("newBalanceEdit"));
    m_date = field(QStringLiteral("dateEdit"));
    m_date->setEnabled(false);
    auto* rest = new QFormLayout;
    addRow(rest, QStringLiteral("发票号："), m_invoice);
    addRow(rest, QStringLiteral("本次余额："), m_newBalance, QStringLiteral("元"));
    addRow(rest, QStringLiteral("日期："), m_date);
    auto* modes = new QHBoxLayout;
    modes->addWidget(new QLabel(QStringLiteral("计算方式："), buyBox));
    modes->addWidget(m_byQuantity);
    modes->addWidget(m_byAmount);
    modes->addStretch();
    auto* buyLayout = new QVBoxLayout(buyBox);
    buyLayout->addLayout(modes);
    buyLayout->addWidget(m_quantityGroup);
    buyLayout->addWidget(m_amountGroup);
    buyLayout->addLayout(rest);

    m_buy = makeButton(QStringLiteral("购电"), QStringLiteral("BitBtn1"), QStringLiteral("写电量到卡里"), this);
    m_print = makeButton(QStringLiteral("打印"), QStringLiteral("BitBtn2"), {}, this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("BitBtn3"), {}, this);
    m_print->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* b : {m_buy, m_print, quit})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(buyBox);
    layout->addLayout(buttons);

    connect(m_byQuantity, &QRadioButton::clicked, this, &TFmBuy::selectByQuantity);
    connect(m_byAmount, &QRadioButton::clicked, this, &TFmBuy::selectByAmount);
    connect(m_quantity, &QLineEdit::editingFinished, this, [this] { runGuarded(*m_ctx.prompter, [this] { onQuantityLeft(); }); });
    connect(m_amount, &QLineEdit::editingFinished, this, [this] { runGuarded(*m_ctx.prompter, [this] { onAmountLeft(); }); });
    connect(m_buy, &QPushButton::clicked, this, [this] { runGuarded(*m_ctx.prompter, [this] { onBuy(); }); });
    connect(m_print, &QPushButton::clicked, this, [this] { runGuarded(*m_ctx.prompter, [this] { onPrint(); }); });
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    // Loading.
    bool failed = false;
    m_customer = sale::loadCustomer(*ctx.db, user, &failed);
    if (failed)
        ctx.prompter->info(QStringLiteral("数据库打开失败！"));
    m_userEdit->setText(QString::number(user));
    m_name->setText(m_customer.name);
    m_priceType->setText(m_customer.priceType);
    m_meterNumber->setText(m_customer.meterNumber);
    m_ct->setText(m_customer.ct);
    m_cardCount->setText(m_customer.cardCount);
    m_meterType->setText(m_customer.meterType);
    m_buyCount->setText(m_customer.buyCount);
    m_phone->setText(m_customer.phone);
    m_address->setText(m_customer.address);
    m_balance->setText(m_customer.balance);
    m_rating->setText(m_customer.rating);
    m_village->setText(m_customer.village);
    m_date->setText(QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日")));
    m_byQuantity->setChecked(true);
    selectByQuantity();
    for (QLineEdit* e : {m_quantity, m_fee, m_due, m_amountQuantity, m_amount, m_amountFee, m_newBalance})
        e->setText(QStringLiteral("0"));
    m_invoice->clear();
}


void TFmBuy::selectByQuantity()
{
    m_byQuantity->setChecked(true);
    m_quantityGroup->show();
    m_amountGroup->hide();
    for (QLineEdit* e : {m_amount, m_amountQuantity, m_amountFee, m_newBalance})
        e->clear();
}

void TFmBuy::selectByAmount()
{
    m_byAmount->setChecked(true);
    m_amountGroup->show();
    m_quantityGroup->hide();
    for (QLineEdit* e : {m_quantity, m_fee, m_due, m_newBalance})
        e->clear();
}

bool TFmBuy::onQuantityLeft()
{
    bool ok = false;
    const qint64 q = m_quantity->text().trimmed().toLongLong(&ok);
    if (!ok) {
        m_ctx.prompter->info(QStringLiteral("电量值输入不是整数！"));
        return false;
    }
    const sale::Quote quote =
        sale::byQuantity(q, sale::parseCtRatio(m_ct->text()), m_customer.unitPrice, m_balance->text().toDouble());
    m_fee->setText(quote.feeText);
    m_due->setText(quote.dueText);
    m_newBalance->setText(quote.newBalance);
    return true;
}

bool TFmBuy::onAmountLeft()
{
    bool paidOk = false, balanceOk = false;
    const double paid = m_amount->text().trimmed().toDouble(&paidOk);
    const double balance = m_balance->text().trimmed().toDouble(&balanceOk);
    if (!paidOk || !balanceOk) {
        m_ctx.prompter->info(QStringLiteral("金额值输入不正确！"));
        return false;
    }
    const sale::Quote quote = sale::byAmount(paid, balance, sale::parseCtRatio(m_ct->text()), m_customer.unitPrice);
    m_amountQuantity->setText(QString::number(quote.quantity));
    m_amountFee->setText(quote.feeText);
    m_newBalance->setText(quote.newBalance);
    return true;
}

void TFmBuy::onBuy()
{
    if (m_sold)
        return;
    // The figures of the entry just made (leaving the field computes them).
    const bool byQuantity = m_byQuantity->isChecked();
    if (!(byQuantity ? onQuantityLeft() : onAmountLeft()))
        return;
    const QString quantityText = byQuantity ? m_quantity->text() : m_amountQuantity->text();
    const QString feeText = byQuantity ? m_fee->text() : m_amountFee->text();
    const QString paidText = byQuantity ? m_due->text() : m_amount->text();
    bool ok = false;
    const qint64 q = quantityText.trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(quantityText));
    if (q > m_customer.maxPurchase) {
        m_ctx.prompter->info(QStringLiteral("最大购电量为") + QString::number(m_customer.maxPurchase) +
                             QStringLiteral(",请重新修改电量！"));
        return;
    }
    if (q == 0) {
        m_ctx.prompter->info(QStringLiteral("电量为0，不能购电！"));
        return;
    }
    sale::Record r;
    r.cardCount = m_cardCount->text().trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(m_cardCount->text()));
    r.buyCount = m_buyCount->text().trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(m_buyCount->text()));
    r.user = m_user;

    switch (sale::writePurchase(*m_ctx.card, q, r.cardCount, r.user)) {
    case sale::CardWrite::WriteFailed:
        m_ctx.prompter->info(QStringLiteral("买电失败！"));
        return;
    case sale::CardWrite::NotVerified:
        m_ctx.prompter->info(sale::verifyFailedMessage());
        return;
    case sale::CardWrite::Ok:
        break;
    }

    r.name = m_name->text();
    r.address = m_address->text();
    r.quantity = q;
    r.unitPrice = m_customer.unitPrice;
    r.feeText = feeText;
    r.paidText = paidText;
    r.newBalance = m_newBalance->text();
    r.account = m_ctx.account;
    r.when = QDateTime::currentDateTime();
    try {
        m_invoice->setText(sale::recordSale(*m_ctx.db, r));
        m_ctx.prompter->info(QStringLiteral("买电成功！"));
    } catch (const DatabaseError&) {
        m_ctx.prompter->info(QStringLiteral("买电成功，但数据库异常，请马上联系本公司技术人员修复数据库！"));
    }
    // Sold, whatever the database did: the same card is never written twice.
    m_sold = true;
    m_buy->setEnabled(false);
    m_print->setEnabled(true);
}

void TFmBuy::onPrint()
{
    const QString paid = m_byQuantity->isChecked() ? m_due->text() : m_amount->text();
    receipt::printAfterSale(m_ctx, m_user, m_balance->text(), paid);
}

} // namespace ombx
