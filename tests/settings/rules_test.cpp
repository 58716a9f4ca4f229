// The plain rules of the settings: unit price, capacity parameter, cell values.
#include "cellvalue.h"
#include "errors.h"
#include "metertypes.h"
#include "ratings.h"
#include "schema.h"
#include "unitprice.h"

#include <gtest/gtest.h>

using namespace ombx;

TEST(UnitPrice, AddsTheFiveComponentsInExtendedPrecisionNullAsZero)
{
    const QVariant null;
    struct Case {
        QVariant base, addon, plus, city, sanxia;
        QString shown;
    } cases[] = {
        {0.5, 0.02, 0.01, 0.005, 0.0, "0.535"},
        {0.5, null, 0.01, 0.005, 0.0, "0.515"},      // empty surcharge counts as 0
        {null, null, null, null, null, "0"},
        {QString("0.5"), QString(" "), 0.01, 0.005, -0.1, "0.415"}, // texts, blank, a negative fund
        // Added in extended precision this is the double 0.31; added in double it is 0.31000000000000005.
        {0.1, 0.1, 0.1, 0.01, 0.0, "0.31"},
    };
    for (const Case& c : cases) {
        const double price = unitPrice(c.base, c.addon, c.plus, c.city, c.sanxia);
        EXPECT_EQ(price, c.shown.toDouble()) << QString::number(price, 'g', 17).toStdString();
        EXPECT_EQ(generalNumber(price), c.shown);
    }
    EXPECT_THROW(unitPrice(QString("二角"), 0, 0, 0, 0), ConversionError);
}

TEST(Ratings, CapacityParameterIsThePulsesIn20SecondsRoundedUp)
{
    struct Case {
        long double rating, constant;
        qint64 x;
    } cases[] = {{5, 1600, 10}, {10, 1600, 20}, {10, 1800, 22}, {2.5, 3200, 10}, {0, 1600, 0}, {1, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ratings::capacityParameter(c.rating, c.constant), c.x)
            << double(c.rating) << "/" << double(c.constant);
    // A result no Integer column can hold is refused rather than wrapped.
    EXPECT_THROW(ratings::capacityParameter(1e30L, 1e30L), ConversionError);
    EXPECT_EQ(ratings::typeCode("3 | 单相 | 5(20)A"), QString("3 "));
    EXPECT_EQ(ratings::typeCode("7"), QString("7"));
}

TEST(CellValue, ConvertsByTheColumnTypeAndNamesTheRefusedText)
{
    const Table& price = *findTable("PriceType");
    const Column& money = *price.column("Base_P");
    const Column& name = *price.column("Price_type"); // Text(30)
    const Column& whole = *findTable("MtrType")->column("Max_qant");

    EXPECT_EQ(cellValue(money, " 0.535 ", "基本电价"), QVariant(0.535));
    EXPECT_EQ(cellValue(whole, "9999", "最大购电量"), QVariant(qint64(9999)));
    EXPECT_TRUE(cellValue(money, "", "基本电价").isNull());
    EXPECT_TRUE(cellValue(name, "", "电价名称").isNull());
    EXPECT_EQ(cellValue(name, QString(15, QChar(u'电')), "电价名称").toString().size(), 15); // 30 GBK bytes

    struct Refused {
        const Column& column;
        QString text;
    } refused[] = {{money, "abc"}, {money, "0.5元"}, {whole, "10000.5"}, {whole, "99999999999999999999"},
                   {name, QString(16, QChar(u'电'))}};
    for (const Refused& r : refused) {
        try {
            cellValue(r.column, r.text, "标题");
            ADD_FAILURE() << "accepted " << r.text.toStdString();
        } catch (const ConversionError& e) {
            EXPECT_TRUE(e.text().contains(r.text) && e.text().contains("标题")) << e.text().toStdString();
        }
    }
}

TEST(MeterTypes, AlarmListsAndTheLargestPurchaseWarning)
{
    EXPECT_EQ(alarmChoices().size(), 99);
    EXPECT_EQ(alarmChoices().first() + "," + alarmChoices().last(), QString("10,990"));
    const QStringList cutOff = cutOffChoices();
    EXPECT_EQ(cutOff.size(), 35);
    EXPECT_EQ(cutOff.mid(8, 4).join(","), QString("9,10,20,30"));
    EXPECT_EQ(cutOff.last(), QString("255"));

    EXPECT_EQ(largestPurchaseWarning(qint64(10000)), QString("最大购电量不超过9999，请检查数据！"));
    EXPECT_TRUE(largestPurchaseWarning(qint64(9999)).isEmpty());
    EXPECT_TRUE(largestPurchaseWarning(QVariant()).isEmpty());
}
