#include "appcontext.h"
#include "prompter.h"
#include "ratings.h"
#include "ratingwindow.h"
#include "tableeditor.h"
#include "testsupport.h"
#include "unitprice.h"

#include <QLineEdit>
#include <QComboBox>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

struct SettingsFixture : ::testing::Test {
    TestProgramDir program;
    RecordingPrompter prompter;
    AppContext ctx;
    Database& db = program.db();
    void SetUp() override
    {
        ctx.programDir = program.path();
        ctx.db = &db;
        ctx.prompter = &prompter;
    }
    // Types a value into a grid cell, as the operator does.
    static bool type(TableEditor& w, int row, const QString& field, const QString& text)
    {
        return w.model()->setData(w.model()->index(row, w.columnOf(field)), text, Qt::EditRole);
    }
};

} // namespace

TEST(UnitPrice, AddsTheFiveComponentsNullAsZero)
{
    EXPECT_DOUBLE_EQ(unitPrice(0.5, 0.02, 0.01, 0.005, 0.0), 0.535);
    EXPECT_EQ(QString::number(unitPrice(0.5, 0.02, 0.01, 0.005, 0.0), 'g', 15), QString("0.535"));
    EXPECT_DOUBLE_EQ(unitPrice(0.5, QVariant(), 0.01, 0.005, 0.0), 0.515);
    EXPECT_DOUBLE_EQ(unitPrice(QVariant(), QVariant(), QVariant(), QVariant(), QVariant()), 0.0);
}

TEST_F(SettingsFixture, PriceTypeGridStoresRowsWithTheirTotal)
{
    TFmPriceType w(ctx);
    w.insertRow();
    EXPECT_TRUE(type(w, 0, "Price_type", "居民生活"));
    for (auto [field, value] : {std::pair{"Base_P", "0.5"}, {"Addon_p", "0.02"}, {"Plus_p", "0.01"},
                                {"City_p", "0.005"}, {"Sanxia_p", "0"}})
        EXPECT_TRUE(type(w, 0, field, value));
    EXPECT_EQ(w.model()->index(0, w.columnOf("合计")).data().toString(), QString("0.535"));
    // A component that is not a number is refused and the row keeps its value.
    EXPECT_FALSE(type(w, 0, "Addon_p", "二分"));
    EXPECT_TRUE(prompter.last().contains("二分"));
    EXPECT_TRUE(type(w, 0, "Addon_p", "")); // emptied: counts as 0
    EXPECT_EQ(w.model()->index(0, w.columnOf("合计")).data().toString(), QString("0.515"));
    ASSERT_TRUE(w.store());
    const Rows r = db.select("select Price_id, Price_type, Addon_p from PriceType");
    ASSERT_EQ(r.count(), 1);
    EXPECT_EQ(r.integer(0, 0), 1);
    EXPECT_TRUE(r.isNull(0, "Addon_p"));

    w.insertRow();
    type(w, 0, "Price_type", "商业");
    w.store();
    EXPECT_EQ(db.select("select max(Price_id) from PriceType").integer(0, 0), 2);

    // Cancel at the question keeps the row; OK deletes it.
    w.grid()->setCurrentIndex(w.model()->index(0, w.columnOf("Price_type")));
    prompter.answer({false, true});
    w.deleteRow();
    EXPECT_EQ(db.select("select count(*) from PriceType").integer(0, 0), 2);
    w.deleteRow();
    EXPECT_EQ(db.select("select count(*) from PriceType").integer(0, 0), 1);
}

TEST_F(SettingsFixture, MeterTypeWarnsAboveTheLargestPurchaseButStores)
{
    TFmMtrType w(ctx);
    for (const char* max : {"10000", "9999"}) {
        prompter.clear();
        w.insertRow();
        type(w, 0, "Type_id", QString(max).left(1));
        type(w, 0, "Max_qant", max);
        type(w, 0, "Alam_2", "255");
        ASSERT_TRUE(w.store());
        EXPECT_EQ(prompter.texts().contains("最大购电量不超过9999，请检查数据！"), QString(max) == "10000") << max;
    }
    EXPECT_EQ(db.select("select count(*) from MtrType where Max_qant=10000 and Alam_2=255").integer(0, 0), 1);
    EXPECT_EQ(cutOffChoices().size(), 35);
    EXPECT_EQ(cutOffChoices().last(), QString("255"));
    EXPECT_EQ(alarmChoices().size(), 99);
}

TEST(Ratings, CapacityParameterRoundsUp)
{
    struct Case {
        double rating, constant;
        qint64 x;
    } cases[] = {{5, 1600, 10}, {10, 1600, 20}, {10, 1800, 22}, {2.5, 3200, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(ratings::capacityParameter(c.rating, c.constant), c.x) << c.rating << "/" << c.constant;
    EXPECT_EQ(ratings::typeCode("3 | 单相 | 5(20)A"), QString("3 "));
}

TEST_F(SettingsFixture, RatingWindowAddsChangesAndDeletes)
{
    db.exec("insert into MtrType (Type_id, Mtr_Type, Mtr_spec) values (3, '单相', '5(20)A')");
    TFmrating w(ctx);
    EXPECT_EQ(w.selectedRatId(), QString("-1"));
    auto* type = w.findChild<QComboBox*>("ComboBox1");
    auto* rating = w.findChild<QLineEdit*>("Edit1");
    auto* constant = w.findChild<QLineEdit*>("Edit2");
    auto* voltage = w.findChild<QLineEdit*>("Edit3");
    auto* list = w.findChild<QTableWidget*>("StringGrid1");

    w.onAdd();
    EXPECT_TRUE(w.adding());
    w.onAdd();
    EXPECT_EQ(prompter.last(), QString("表型名称没有选择！"));
    type->setCurrentIndex(0);
    rating->setText("2.5");
    constant->setText("1600.5");
    voltage->setText("380");
    EXPECT_THROW(w.onAdd(), ConversionError); // the constant of an add is a whole number
    constant->setText("3200");
    w.onAdd();
    EXPECT_FALSE(w.adding());
    EXPECT_EQ(db.select("select X, V from MtrRating").integer(0, 0), 10);
    EXPECT_EQ(w.selectedRatId(), QString("-1"));
    ASSERT_EQ(list->rowCount(), 1);

    // A change reads the rating as a whole number and the constant as a decimal.
    w.selectLine(0);
    EXPECT_EQ(w.selectedRatId(), QString("1"));
    EXPECT_THROW(w.onChange(), ConversionError); // rating 2.5
    rating->setText("10");
    constant->setText("1800");
    w.onChange();
    EXPECT_EQ(db.select("select X from MtrRating").integer(0, 0), 22);
    constant->setText("1600.5");
    EXPECT_NO_THROW(w.onChange());

    // "添加" then a click on a line returns to browsing and stores nothing.
    w.onAdd();
    w.selectLine(0);
    EXPECT_FALSE(w.adding());
    EXPECT_EQ(db.select("select count(*) from MtrRating").integer(0, 0), 1);

    prompter.answer({true});
    w.onDelete();
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_TRUE(rating->text().isEmpty());
}
