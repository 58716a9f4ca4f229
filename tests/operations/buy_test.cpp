#include "buywindow.h"
#include "cardchecks.h"
#include "fixture.h"
#include "meter.h"
#include "openaccount.h"
#include "receipt.h"
#include "reprintwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace ombx;

namespace {

struct Buy : CounterFixture {
    // Opens customer 1 on the card on the reader (CT as given).
    void openCustomer(const QString& ct = "1:1")
    {
        openaccount::Form f;
        f.customerNumber = "1";
        f.name = "张三";
        f.address = "幸福路1号";
        f.meterTypeText = "单相|5(20)A";
        f.meterTypeKey = "1";
        f.priceTypeText = "居民生活";
        f.priceTypeKey = "1";
        f.ratingText = "5";
        f.ratingKey = "1";
        f.alarm = "20";
        f.cutOff = "10";
        f.ctPrimary = ct.section(':', 0, 0);
        f.ctSecondary = ct.section(':', 1, 1);
        ASSERT_TRUE(openaccount::open(db, reader, f, "op1").opened);
    }
    static QLineEdit* edit(TFmBuy& w, const char* name) { return w.findChild<QLineEdit*>(name); }
    // Sells by quantity in a fresh window; returns the window's last message.
    QString sell(TFmBuy& w, const QString& kwh)
    {
        edit(w, "quantityEdit")->setText(kwh);
        w.onBuy();
        return prompter.last();
    }
    Rows customer() { return ctx.db->select("select Card_T, Buy_T, Remain from Usr where Usr_id=1"); }
};

} // namespace

TEST_F(Buy, SellsByQuantityAndRecordsTheSale)
{
    openCustomer();
    TFmBuy w(ctx, 1);
    EXPECT_EQ(edit(w, "balanceEdit")->text(), QString("0.0"));
    EXPECT_EQ(edit(w, "meterTypeEdit")->text(), QString("单相|5(20)A"));
    edit(w, "quantityEdit")->setText("100");
    ASSERT_TRUE(w.onQuantityLeft());
    EXPECT_EQ(edit(w, "feeEdit")->text(), QString("53.50"));
    EXPECT_EQ(edit(w, "dueEdit")->text(), QString("53.50"));
    EXPECT_EQ(sell(w, "100"), QString("买电成功！"));
    EXPECT_TRUE(w.sold());
    EXPECT_FALSE(w.findChild<QPushButton*>("BitBtn1")->isEnabled());
    EXPECT_TRUE(w.findChild<QPushButton*>("BitBtn2")->isEnabled());
    EXPECT_EQ(edit(w, "invoiceEdit")->text(), QDate::currentDate().toString("yyyyMMdd") + "0001");
    EXPECT_EQ(reader.GetKWH(), 100);
    EXPECT_EQ(reader.GetValiFlag(), 0);
    EXPECT_EQ(customer().integer(0, "Card_T"), 1);
    EXPECT_EQ(customer().integer(0, "Buy_T"), 1);

    // The window sells once.
    w.onBuy();
    EXPECT_EQ(count("select count(*) from UsrBuy"), 1);

    // The receipt: the sale's row, 53.50 and its capitals; PrintNo 1 after each print.
    for (int press = 0; press < 2; ++press) {
        w.onPrint();
        ASSERT_TRUE(printing.last.has_value());
        EXPECT_EQ(printing.last->variable("totalcurr"), QString("53.50"));
        EXPECT_EQ(printing.last->variable("BigNum"), QString("伍拾叁元伍角"));
        EXPECT_EQ(count("select PrintNo from UsrBuy where Usr_id=1 and Buy_T=1"), 1);
    }
}

TEST_F(Buy, ByAmountKeepsTheChangeAsBalance)
{
    openCustomer();
    db.exec("update Usr set Remain=0.30 where Usr_id=1");
    TFmBuy w(ctx, 1);
    w.selectByAmount();
    edit(w, "amountEdit")->setText("100");
    w.onBuy();
    EXPECT_EQ(prompter.last(), QString("买电成功！"));
    EXPECT_EQ(edit(w, "amountQuantityEdit")->text(), QString("187"));
    EXPECT_EQ(edit(w, "amountFeeEdit")->text(), QString("100.05"));
    const Rows b = db.select("select Buy_q, PMoney, Pay, Remain from UsrBuy");
    EXPECT_EQ(b.integer(0, "Buy_q"), 187);
    EXPECT_DOUBLE_EQ(b.number(0, "Pay"), 100);
    EXPECT_DOUBLE_EQ(b.number(0, "Remain"), 0.25);
    EXPECT_DOUBLE_EQ(customer().number(0, "Remain"), 0.25);
}

TEST_F(Buy, RefusalsBeforeTheCardWrite)
{
    openCustomer();
    TFmBuy w(ctx, 1);
    EXPECT_EQ(sell(w, "501"), QString("最大购电量为500,请重新修改电量！"));
    EXPECT_EQ(sell(w, "0"), QString("电量为0，不能购电！"));
    EXPECT_EQ(sell(w, ""), QString("电量值输入不是整数！"));
    EXPECT_EQ(reader.GetValiFlag(), 255);
    EXPECT_EQ(sell(w, "500"), QString("买电成功！")); // exactly the maximum sells
}

TEST_F(Buy, CardFailuresWriteNothingToTheDatabase)
{
    openCustomer();
    TFmBuy w(ctx, 1);
    reader.failNext("WriteUserKWH");
    EXPECT_EQ(sell(w, "100"), QString("买电失败！"));
    EXPECT_FALSE(w.sold()); // the operator may try again
    reader.failNext("GetKWH");
    EXPECT_EQ(sell(w, "100"), sale::verifyFailedMessage());
    EXPECT_TRUE(sale::verifyFailedMessage().contains("\r"));
    EXPECT_FALSE(w.sold());
    EXPECT_EQ(count("select count(*) from UsrBuy"), 0);
    EXPECT_EQ(customer().integer(0, "Card_T"), 0);
    EXPECT_EQ(sell(w, "100"), QString("买电成功！"));
}

TEST_F(Buy, ADatabaseFailureAfterTheCardStillEndsSoldWithNoHalfSale)
{
    openCustomer();
    breakAppendsTo("UsrBuy");
    TFmBuy w(ctx, 1);
    EXPECT_EQ(sell(w, "100"), QString("买电成功，但数据库异常，请马上联系本公司技术人员修复数据库！"));
    EXPECT_TRUE(w.sold());
    EXPECT_TRUE(w.findChild<QPushButton*>("BitBtn2")->isEnabled());
    EXPECT_EQ(reader.GetKWH(), 100); // the card keeps the purchase
    EXPECT_EQ(customer().integer(0, "Card_T"), 0); // and the customer row was not half updated
    EXPECT_EQ(count("select count(*) from UsrBuy"), 0);
}

TEST_F(Buy, ReprintCountsEveryPrint)
{
    openCustomer();
    {
        TFmBuy w(ctx, 1);
        sell(w, "100");
    }
    TFrmpjbd w(ctx);
    auto* user = w.findChild<QLineEdit*>("userEdit");
    auto* list = w.findChild<QTableWidget*>("StringGrid1");
    for (int expected : {1, 2}) {
        user->setText("  1 ");
        w.onFind();
        ASSERT_EQ(list->rowCount(), 1);
        EXPECT_EQ(w.findChild<QLineEdit*>("nameEdit")->text(), QString("张三"));
        w.onReprint();
        EXPECT_EQ(count("select PrintNo from UsrBuy"), expected);
        EXPECT_EQ(list->rowCount(), 0);
        EXPECT_EQ(printing.last->variable("totalcurr"), QString("53.50"));
    }
    printing.printerInstalled = false;
    w.onFind();
    w.onReprint();
    EXPECT_EQ(prompter.last(), QString("请先安装打印机！"));
    EXPECT_EQ(count("select PrintNo from UsrBuy"), 2);
}

TEST_F(Buy, EndToEndBlankCardToSecondSale)
{
    // Blank card → open account → buy → the meter takes it → buy again.
    EXPECT_TRUE(checks::forOpenAccount(reader, prompter).ok);
    openCustomer();
    ASSERT_TRUE(checks::forBuy(reader, db, prompter).ok) << prompter.last().toStdString();
    {
        TFmBuy w(ctx, 1);
        ASSERT_EQ(sell(w, "100"), QString("买电成功！"));
    }
    // The purchase is still on the card: no second sale before the meter takes it.
    prompter.clear();
    EXPECT_FALSE(checks::forBuy(reader, db, prompter).ok);
    EXPECT_EQ(prompter.last(), QString("电量有效,请退出！"));

    const Meter::Result taken = Meter(reader).insertCard(reader.cardOnReader(), Meter::Use{30});
    ASSERT_TRUE(taken.tookPurchase) << taken.message.toStdString();
    EXPECT_EQ(reader.GetValiFlag(), 255);

    const checks::Passed again = checks::forBuy(reader, db, prompter);
    ASSERT_TRUE(again.ok) << prompter.last().toStdString();
    {
        TFmBuy w(ctx, again.user);
        ASSERT_EQ(sell(w, "50"), QString("买电成功！"));
    }
    EXPECT_EQ(customer().integer(0, "Card_T"), 2);
    EXPECT_EQ(customer().integer(0, "Buy_T"), 2);
    const Rows rows = db.select("select Buy_q, Card_T, Buy_T, Invoice from UsrBuy order by Buy_T");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.integer(1, "Buy_q"), 50);
    EXPECT_TRUE(rows.text(1, "Invoice").endsWith("0002"));
    EXPECT_TRUE(Meter(reader).insertCard(reader.cardOnReader()).tookPurchase);
    EXPECT_DOUBLE_EQ(reader.SanReadAckkwh(), 120);
}
