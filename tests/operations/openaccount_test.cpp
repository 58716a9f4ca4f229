#include "fixture.h"
#include "newusrwindow.h"
#include "openaccount.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace ombx;

namespace {

struct OpenAccount : CounterFixture {
    // Fills the window as the operator does for a single-phase meter.
    void fill(TFmNewUsr& w, const QString& meterType = "单相|5(20)A")
    {
        w.findChild<QLineEdit*>("nameEdit")->setText("张三");
        w.findChild<QLineEdit*>("addressEdit")->setText("幸福路1号");
        w.findChild<QComboBox*>("meterTypeCombo")->setCurrentText(meterType);
        w.findChild<QComboBox*>("priceTypeCombo")->setCurrentIndex(0);
    }
    QString number(TFmNewUsr& w) { return w.findChild<QLineEdit*>("numberEdit")->text(); }
};

} // namespace

TEST_F(OpenAccount, NextCustomerNumber)
{
    EXPECT_EQ(openaccount::nextCustomerNumber(db), 1);
    db.exec("insert into Usr (Usr_id) values (3), (57)");
    TFmNewUsr w(ctx);
    EXPECT_EQ(number(w), QString("58"));
}

TEST_F(OpenAccount, MeterTypeSetsAlarmsRatingsAndTheCtBoxes)
{
    TFmNewUsr w(ctx);
    auto* alarm = w.findChild<QComboBox*>("alarmCombo");
    auto* cutOff = w.findChild<QComboBox*>("cutOffCombo");
    auto* rating = w.findChild<QComboBox*>("ratingCombo");
    EXPECT_FALSE(alarm->isEnabled());
    fill(w);
    EXPECT_TRUE(alarm->isEnabled());
    EXPECT_EQ(alarm->currentText(), QString("20"));
    EXPECT_EQ(cutOff->currentText(), QString("10"));
    EXPECT_EQ(rating->currentText(), QString("5"));
    EXPECT_FALSE(w.findChild<QLineEdit*>("ctPrimaryEdit")->isVisibleTo(&w));

    fill(w, "三相|1.5(6)A"); // no ratings, empty alarm, cut-off 255
    EXPECT_TRUE(w.findChild<QLineEdit*>("ctPrimaryEdit")->isVisibleTo(&w));
    EXPECT_EQ(alarm->currentText(), QString("10"));
    EXPECT_EQ(cutOff->currentText(), QString("255"));
    EXPECT_EQ(rating->currentText(), QString("50"));
    EXPECT_EQ(openaccount::ratingsOf(db, "2").keys, QStringList{"8"});
}

TEST_F(OpenAccount, RefusalsWriteNothing)
{
    struct Case {
        const char* primary;
        const char* secondary;
        const char* meterType;
        const char* message;
    } cases[] = {
        {"0", "5", "三相|1.5(6)A", "电流互感器倍率（CT）不能为0！"},
        {"", "5", "三相|1.5(6)A", "电流互感器倍率（CT）有非法字符！"},
        {"100", "", "三相|1.5(6)A", "电流互感器倍率（CT）有非法字符！"},
        {"1", "1", "四相|typed", "电表类型“四相|typed”不在表型列表中，请从列表中选择电表类型！"},
    };
    for (const auto& c : cases) {
        TFmNewUsr w(ctx);
        fill(w, c.meterType);
        w.findChild<QLineEdit*>("ctPrimaryEdit")->setText(c.primary);
        w.findChild<QLineEdit*>("ctSecondaryEdit")->setText(c.secondary);
        w.onOpen();
        EXPECT_EQ(prompter.last(), QString(c.message)) << c.meterType;
        EXPECT_FALSE(w.opened());
    }
    EXPECT_EQ(count("select count(*) from Usr"), 0);
    EXPECT_EQ(reader.GetCardType(), 0);
}

TEST_F(OpenAccount, OpensTheCardThenTheCustomerRow)
{
    TFmNewUsr w(ctx);
    fill(w, "三相|1.5(6)A");
    w.findChild<QComboBox*>("alarmCombo")->setCurrentText("990");
    w.findChild<QLineEdit*>("ctPrimaryEdit")->setText("100");
    w.findChild<QLineEdit*>("ctSecondaryEdit")->setText("5");
    w.onOpen();
    EXPECT_EQ(prompter.last(), QString("开户成功！"));
    EXPECT_EQ(reader.GetCardType(), 1);
    EXPECT_EQ(reader.M_ReadType(), 2);
    EXPECT_EQ(reader.GetUserNo(), 1);
    EXPECT_EQ(reader.GetBurNo(), 1);
    EXPECT_EQ(reader.GetWarn1(), 99);
    EXPECT_EQ(reader.GetWarn2(), 255);
    const Rows u = db.select("select Usr_Name, BT, Alam_1, Alam_2, Mtr_id, Rat_id, Price_id, Card_T, Buy_T, Remain, Optr "
                             "from Usr where Usr_id=1");
    ASSERT_EQ(u.count(), 1);
    EXPECT_EQ(u.text(0, "BT"), QString("100:5"));
    EXPECT_EQ(u.text(0, "Alam_1"), QString("990"));
    EXPECT_EQ(u.text(0, "Rat_id"), QString("8"));
    EXPECT_EQ(u.text(0, "Card_T"), QString("0"));
    EXPECT_TRUE(u.isNull(0, "Remain"));
    EXPECT_EQ(u.text(0, "Optr"), QString("op1"));
    EXPECT_FALSE(w.findChild<QPushButton*>("BitBtn1")->isEnabled());
    EXPECT_TRUE(w.findChild<QPushButton*>("BitBtn2")->isEnabled());
    EXPECT_TRUE(w.findChild<QPushButton*>("BitBtn3")->isEnabled());

    w.onPrint();
    ASSERT_TRUE(printing.last.has_value());
    EXPECT_EQ(printing.last->titleLines, QStringList{"开户信息"});
    EXPECT_EQ(printing.last->headerValue("BT："), QString("100:5"));
}

TEST_F(OpenAccount, ACardWriteFailureLeavesNoCustomer)
{
    for (const char* function : {"WriteNewUser", "M_SetType"}) {
        reader.ClearCard();
        TFmNewUsr w(ctx);
        fill(w);
        reader.failNext(function);
        w.onOpen();
        EXPECT_EQ(prompter.last(), QString("写卡失败！")) << function;
        EXPECT_TRUE(w.findChild<QPushButton*>("BitBtn1")->isEnabled());
        EXPECT_EQ(count("select count(*) from Usr"), 0) << function;
    }
}
