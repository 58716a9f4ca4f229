#include "database.h"
#include "sale.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace ombx;
using namespace ombx::sale;

TEST(SaleFigures, ByQuantity)
{
    struct Case {
        qint64 kwh;
        const char* ct;
        double price, balance;
        const char *fee, *due, *newBalance;
    } cases[] = {
        {100, "1:1", 0.535, 0, "53.50", "53.50", "0"},
        {10, "1:1", 0.5, 10.00, "5.00", "0", "5.00"},
        {10, "100:5", 0.5, 0, "100.00", "100.00", "0"},
        {10, "1", 0.5, 5.00, "5.00", "0.00", "0"}, // fee equal to the balance uses it all
        {0, "1:1", 0.5, 2.5, "0.00", "0", "2.50"},
    };
    for (const auto& c : cases) {
        const Quote q = byQuantity(c.kwh, parseCtRatio(c.ct), c.price, c.balance);
        EXPECT_EQ(q.feeText, QString(c.fee)) << c.kwh << " " << c.ct;
        EXPECT_EQ(q.dueText, QString(c.due)) << c.kwh << " " << c.ct;
        EXPECT_EQ(q.newBalance, QString(c.newBalance)) << c.kwh << " " << c.ct;
    }
}

TEST(SaleFigures, ByAmountKeepsWhatBuysNoWholeKwhAsBalance)
{
    const Quote q = byAmount(100, 0.30, parseCtRatio("1:1"), 0.535);
    EXPECT_EQ(q.quantity, 187);
    EXPECT_EQ(q.feeText, QString("100.05"));
    EXPECT_EQ(q.newBalance, QString("0.25"));

    const Quote ct = byAmount(100, 0, parseCtRatio("100:5"), 0.5);
    EXPECT_EQ(ct.quantity, 10);
    EXPECT_EQ(ct.feeText, QString("100.00"));
    EXPECT_EQ(ct.newBalance, QString("0.00"));
}

TEST(SaleFigures, CtRatioAndMoneyText)
{
    EXPECT_DOUBLE_EQ(parseCtRatio("100:5").primary / parseCtRatio("100:5").secondary, 20.0);
    EXPECT_DOUBLE_EQ(parseCtRatio("7").primary / parseCtRatio("7").secondary, 1.0);
    for (const char* bad : {"a:5", "100:", "", "0:5", "5:0"})
        EXPECT_THROW(parseCtRatio(bad), ConversionError) << bad;
    EXPECT_EQ(money(0.125), QString("0.13"));
    EXPECT_EQ(money(-0.001), QString("0.00"));
}

TEST(SaleFigures, InvoiceNumberKeepsTheLastFourDigits)
{
    const QDate d(2026, 12, 11);
    EXPECT_EQ(invoiceNumber(d, 0), QString("202612110001"));
    EXPECT_EQ(invoiceNumber(d, 2), QString("202612110003"));
    EXPECT_EQ(invoiceNumber(d, 9999), QString("202612110000"));
    EXPECT_EQ(invoiceNumber(d, 10000), QString("202612110001"));
}

TEST(SaleRecord, RecordsCountersBalanceAndRowInOneTransaction)
{
    TestProgramDir p;
    auto& db = p.db();
    db.exec("insert into Usr (Usr_id, Usr_Name, Card_T, Buy_T) values (5, '张三', 3, 4)");
    db.append("UsrBuy", {{"Usr_id", "9"}, {"Dat_Buy", "2026-12-11 08:00:00"}});
    db.append("UsrBuy", {{"Usr_id", "9"}, {"Dat_Buy", "2026-12-10 23:59:59"}});

    Record r;
    r.user = 5;
    r.name = "张三";
    r.address = "幸福路1号";
    r.quantity = 100;
    r.cardCount = 3;
    r.buyCount = 4;
    r.unitPrice = 0.535;
    r.feeText = "53.50";
    r.paidText = "53.50";
    r.newBalance = "0";
    r.account = "op1";
    r.when = QDateTime(QDate(2026, 12, 11), QTime(9, 30, 0));
    EXPECT_EQ(recordSale(db, r), QString("202612110002"));

    const Rows u = db.select("select Card_T, Buy_T, Remain from Usr where Usr_id='5'");
    EXPECT_EQ(u.integer(0, 0), 4);
    EXPECT_EQ(u.integer(0, 1), 5);
    EXPECT_DOUBLE_EQ(u.number(0, 2), 0.0);
    const Rows b = db.select("select Buy_q, Card_T, Buy_T, Price, PMoney, Invoice, Optr, Memo, Dat_Buy from UsrBuy "
                             "where Usr_id=5");
    ASSERT_EQ(b.count(), 1);
    EXPECT_EQ(b.text(0, "Price"), QString("0.535"));
    EXPECT_EQ(b.text(0, "Invoice"), QString("202612110002"));
    EXPECT_TRUE(b.isNull(0, "Memo"));
    EXPECT_EQ(b.text(0, "Dat_Buy"), QString("2026-12-11 09:30:00"));

    // A failure at the append leaves the customer row as it was.
    r.feeText = "not money";
    EXPECT_THROW(recordSale(db, r), ConversionError);
    EXPECT_EQ(db.select("select Buy_T from Usr where Usr_id='5'").integer(0, 0), 5);
    EXPECT_EQ(db.select("select count(*) from UsrBuy where Usr_id=5").integer(0, 0), 1);
}
