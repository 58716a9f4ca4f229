#include "newusrwindow.h"

#include "appcontext.h"
#include "database.h"
#include "dates.h"
#include "digitedit.h"
#include "forms.h"
#include "printing.h"
#include "report.h"
#include "prompter.h"
#include "metertypes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ombx {

TFmNewUsr::TFmNewUsr(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TFmNewUsr"));
    setWindowTitle(QStringLiteral("用户卡开户（建议使用电能表配套的专用电能卡）"));
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    const auto combo = [this](const char* name, bool editable) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(editable);
        return c;
    };
    m_number = edit("numberEdit");
    m_number->setReadOnly(true);
    m_number->setToolTip(QStringLiteral("由系统自动生成，不可修改"));
    m_name = edit("nameEdit");
    m_phone = edit("phoneEdit");
    m_identity = edit("identityEdit");
    m_meterNumber = edit("meterNumberEdit");
    m_address = edit("addressEdit");
    m_meterType = combo("meterTypeCombo", true);
    m_priceType = combo("priceTypeCombo", false);
    m_alarm = combo("alarmCombo", false);
    m_alarm->addItems(alarmChoices());
    m_cutOff = combo("cutOffCombo", false);
    m_cutOff->addItems(cutOffChoices());
    m_rating = combo("ratingCombo", false);
    m_village = combo("villageCombo", false);
    m_ctPrimary = new DigitEdit(this);
    m_ctPrimary->setObjectName(QStringLiteral("ctPrimaryEdit"));
    m_ctSecondary = new DigitEdit(this);
    m_ctSecondary->setObjectName(QStringLiteral("ctSecondaryEdit"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("memoEdit"));
    m_memo->setMaximumHeight(60);

    auto* form = new QFormLayout;
    addRow(form, QStringLiteral("用户号："), m_number);
    addRow(form, QStringLiteral("用户名："), m_name);
    addRow(form, QStringLiteral("电话："), m_phone);
    addRow(form, QStringLiteral("身份证号："), m_identity);
    addRow(form, QStringLiteral("表号："), m_meterNumber);
    addRow(form, QStringLiteral("地址："), m_address);
    addRow(form, QStringLiteral("电表类型："), m_meterType, QStringLiteral("注：确定用户表是单相还是三相表。"));
    addRow(form, QStringLiteral("用户类型："), m_priceType);
    addRow(form, QStringLiteral("报警电量："), m_alarm, QStringLiteral("kWh"));
    addRow(form, QStringLiteral("拉闸电量："), m_cutOff, QStringLiteral("kWh"));
    m_ctGroup = new QWidget(this);
    auto* ct = new QHBoxLayout(m_ctGroup);
    ct->setContentsMargins(0, 0, 0, 0);
    ct->addWidget(m_ctPrimary);
    ct->addWidget(new QLabel(QStringLiteral(":"), m_ctGroup));
    ct->addWidget(m_ctSecondary);
    ct->addWidget(new QLabel(QStringLiteral("外接电流互感器变比 初级：次级"), m_ctGroup));
    m_ctCaption = addRow(form, QStringLiteral("倍率（CT）："), m_ctGroup);
    m_ctPrimary->setAccessibleName(QStringLiteral("倍率（CT）初级"));
    m_ctSecondary->setAccessibleName(QStringLiteral("倍率（CT）次级"));
    m_ratingCaption = addRow(form, QStringLiteral("容量："), m_rating);
    addRow(form, QStringLiteral("备注："), m_memo);
    m_villageCaption = addRow(form, QStringLiteral("小区简称："), m_village);

    m_notes = new QLabel(QStringLiteral("注意：\n1.开户前，必须对电能\n卡做清卡操作，否则电\n表不认电能卡！\n2.售电系统安装后，必\n"
                                        "须进入管理员界面，进\n行局号、电价类型等参\n数设置，且局号不可公\n开。"),
                         this);
    m_notes->setObjectName(QStringLiteral("notesPanel"));
    m_notes->setFrameShape(QFrame::Box);
    m_notes->hide();

    m_open = makeButton(QStringLiteral("开户"), QStringLiteral("BitBtn1"), QStringLiteral("写信息到卡里，并人工把用户号写到卡上"), this);
    m_print = makeButton(QStringLiteral("打印"), QStringLiteral("BitBtn2"), {}, this);
    m_toBuy = makeButton(QStringLiteral("转购电"), QStringLiteral("BitBtn3"), QStringLiteral("进入购电界面"), this);
    auto* quit = makeButton(QStringLiteral("退出"), QStringLiteral("BitBtn4"), {}, this);
    auto* notes = makeButton(QStringLiteral("开户须知"), QStringLiteral("BitBtn5"), QStringLiteral("开户时注意事项"), this);
    m_fee = makeButton(QStringLiteral("开户费"), QStringLiteral("BitBtn6"), {}, this);
    m_fee->hide(); // the fee windows are not offered
    m_print->setEnabled(false);
    m_toBuy->setEnabled(false);
    const auto guard = [this](void (TFmNewUsr::*f)()) { return guarded(*m_ctx.prompter, [this, f] { (this->*f)(); }); };
    connect(m_open, &QPushButton::clicked, this, guard(&TFmNewUsr::onOpen));
    connect(m_print, &QPushButton::clicked, this, guard(&TFmNewUsr::onPrint));
    connect(m_toBuy, &QPushButton::clicked, this, &TFmNewUsr::onBuyNext);
    connect(notes, &QPushButton::clicked, this, &TFmNewUsr::toggleNotes);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_meterType, &QComboBox::currentTextChanged, this, guard(&TFmNewUsr::onMeterTypeChanged));

    auto* buttons = new QHBoxLayout;
    for (auto* b : {m_open, m_print, m_toBuy, quit, notes, m_fee})
        buttons->addWidget(b);
    auto* top = new QHBoxLayout;
    top->addLayout(form, 1);
    top->addWidget(m_notes, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    // Loading.
    m_meterTypes = openaccount::meterTypes(*ctx.db);
    m_priceTypes = openaccount::priceTypes(*ctx.db);
    {
        const QSignalBlocker block(m_meterType);
        m_meterType->addItems(m_meterTypes.entries);
        m_meterType->setCurrentIndex(-1);
        m_meterType->setEditText(QString());
    }
    m_priceType->addItems(m_priceTypes.entries);
    m_priceType->setCurrentIndex(-1);
    if (kVillageSupport) {
        m_villages = openaccount::villages(*ctx.db);
        m_village->addItems(m_villages.entries);
    }
    m_village->setVisible(kVillageSupport);
    m_villageCaption->setVisible(kVillageSupport);
    m_number->setText(QString::number(openaccount::nextCustomerNumber(*ctx.db)));
    m_alarm->setEnabled(false);
    m_alarm->setCurrentIndex(-1);
    m_cutOff->setEnabled(false);
    m_cutOff->setCurrentIndex(-1);
    m_ctGroup->hide();
    m_ctCaption->hide();
    m_ctPrimary->setText(QStringLiteral("1"));
    m_ctSecondary->setText(QStringLiteral("1"));
    m_rating->hide();
    m_ratingCaption->hide();
}

openaccount::Form TFmNewUsr::form() const
{
    openaccount::Form f;
    f.customerNumber = m_number->text();
    f.name = m_name->text();
    f.phone = m_phone->text();
    f.identity = m_identity->text();
    f.meterNumber = m_meterNumber->text();
    f.address = m_address->text();
    f.memo = m_memo->toPlainText();
    f.meterTypeText = m_meterType->currentText();
    const int typeIndex = m_meterType->findText(f.meterTypeText);
    f.meterTypeKey = m_meterTypes.keyOf(typeIndex);
    f.priceTypeText = m_priceType->currentText();
    f.priceTypeKey = m_priceTypes.keyOf(m_priceType->currentIndex());
    f.ratingText = m_rating->currentText();
    f.ratingKey = m_ratings.keyOf(m_rating->currentIndex());
    f.alarm = m_alarm->currentText();
    f.cutOff = m_cutOff->currentText();
    f.ctPrimary = m_ctPrimary->text();
    f.ctSecondary = m_ctSecondary->text();
    if (kVillageSupport)
        f.villageKey = m_villages.keyOf(m_village->currentIndex());
    return f;
}

void TFmNewUsr::onMeterTypeChanged()
{
    const QString text = m_meterType->currentText();
    const bool ct = openaccount::usesCurrentTransformer(text);
    m_ctGroup->setVisible(ct);
    m_ctCaption->setVisible(ct);
    if (!ct) {
        m_ctPrimary->setText(QStringLiteral("1"));
        m_ctSecondary->setText(QStringLiteral("1"));
    }
    m_alarm->setEnabled(true);
    m_cutOff->setEnabled(true);
    const QString key = m_meterTypes.keyOf(m_meterType->findText(text));
    const QStringList alarms = openaccount::defaultAlarms(*m_ctx.db, key);
    m_alarm->setCurrentIndex(alarms[0].isEmpty() ? 0 : m_alarm->findText(alarms[0]));
    m_cutOff->setCurrentIndex(alarms[1].isEmpty() ? 0 : m_cutOff->findText(alarms[1]));
    if (text.trimmed().isEmpty()) {
        m_ctx.prompter->info(QStringLiteral("电表类型没有选择，请先选择电表类型！"));
        return;
    }
    m_ratings = openaccount::ratingsOf(*m_ctx.db, key);
    m_rating->clear();
    m_rating->addItems(m_ratings.entries);
    m_rating->setCurrentIndex(m_ratings.entries.size() - 1);
}

void TFmNewUsr::onOpen()
{
    if (m_opened)
        return;
    const openaccount::Result r = openaccount::open(*m_ctx.db, *m_ctx.card, form(), m_ctx.account);
    m_ctx.prompter->info(r.message);
    if (!r.opened)
        return;
    m_opened = true;
    m_open->setEnabled(false);
    m_print->setEnabled(true);
    m_toBuy->setEnabled(true);
    m_fee->setEnabled(true);
}

Report TFmNewUsr::sheet() const
{
    Report r;
    r.kind = Report::Kind::Sheet;
    r.page.paper = Paper::A5;
    r.titleLines = {QStringLiteral("开户信息")};
    r.addHeader(QStringLiteral("打印日期："), dateText(QDate::currentDate()));
    r.addHeader(QStringLiteral("用户号："), m_number->text());
    r.addHeader(QStringLiteral("用户名："), m_name->text());
    r.addHeader(QStringLiteral("表号："), m_meterNumber->text());
    r.addHeader(QStringLiteral("表型号："), m_meterType->currentText());
    r.addHeader(QStringLiteral("容量："), m_rating->currentText());
    r.addHeader(QStringLiteral("用户类型："), m_priceType->currentText());
    r.addHeader(QStringLiteral("电话："), m_phone->text());
    r.addHeader(QStringLiteral("开户日期："), dateText(QDate::currentDate()));
    r.addHeader(QStringLiteral("BT："), m_ctPrimary->text() + QLatin1Char(':') + m_ctSecondary->text());
    r.addHeader(QStringLiteral("身份证："), m_identity->text());
    r.addHeader(QStringLiteral("地址："), m_address->text());
    return r;
}

void TFmNewUsr::onPrint()
{
    if (!m_ctx.printing->hasPrinter()) {
        m_ctx.prompter->info(QStringLiteral("当前默认打印机不能打印或者没有装打印机！"));
        return;
    }
    m_ctx.printing->preview(sheet());
}

void TFmNewUsr::onBuyNext()
{
    m_buyNext = true;
    accept();
}

void TFmNewUsr::toggleNotes() { m_notes->setVisible(!m_notes->isVisible()); }

} // namespace ombx
