// The rating window: add, change, delete and the capacity parameter X.
#include "ratingwindow.h"
#include "settingsfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace ombx;

namespace {

struct RatingTest : SettingsFixture {
    std::unique_ptr<TFmrating> w;
    QComboBox* types = nullptr;
    QLineEdit *rating = nullptr, *constant = nullptr, *voltage = nullptr;
    QPlainTextEdit* memo = nullptr;
    QTableWidget* list = nullptr;

    RatingTest()
    {
        db.exec("insert into MtrType (Type_id, Mtr_Type, Mtr_spec) values (3, '单相', '5(20)A')");
        db.exec("insert into MtrType (Type_id, Mtr_Type, Mtr_spec) values (4, '三相', '1.5(6)A')");
    }
    void open()
    {
        w = std::make_unique<TFmrating>(ctx);
        w->show();
        types = w->findChild<QComboBox*>("typeList");
        rating = w->findChild<QLineEdit*>("ratingEdit");
        constant = w->findChild<QLineEdit*>("constantEdit");
        voltage = w->findChild<QLineEdit*>("voltageEdit");
        memo = w->findChild<QPlainTextEdit*>("memoEdit");
        list = w->findChild<QTableWidget*>("ratingList");
    }
    void fill(int type, const QString& r, const QString& c, const QString& v, const QString& m = {})
    {
        types->setCurrentIndex(type);
        rating->setText(r);
        constant->setText(c);
        voltage->setText(v);
        memo->setPlainText(m);
    }
    void clickLine(int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 2)).center());
    }
    QString addCaption() { return w->findChild<QPushButton*>("addButton")->text(); }
    QStringList line(int row)
    {
        QStringList out;
        for (int c = 0; c < list->columnCount(); ++c)
            out << (list->item(row, c) ? list->item(row, c)->text() : QString("<none>"));
        return out;
    }
};

} // namespace

TEST_F(RatingTest, AddStoresTheCapacityParameter)
{
    open();
    EXPECT_EQ(w->windowTitle(), QString("容量设置"));
    EXPECT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), QString("3 | 单相 | 5(20)A"));
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(w->selectedRatId(), QString("-1"));

    struct Case {
        const char *rating, *constant, *voltage;
        qint64 x;
    } cases[] = {{"5", "1600", "220", 10}, {"10", "1600", "220", 20}, {"10", "1800", "380", 22}, {"2.5", "3200", "220", 10}};
    for (const Case& c : cases) {
        click(*w, "添加");
        EXPECT_EQ(addCaption(), QString("添加确定"));
        fill(0, c.rating, c.constant, c.voltage, "it's");
        click(*w, "添加确定");
        EXPECT_EQ(addCaption(), QString("添加"));
        EXPECT_EQ(w->selectedRatId(), QString("-1"));
        EXPECT_EQ(rating->text(), QString(c.rating)); // the boxes keep what was added
        const Rows r = db.select("select X, V, Type_id, Memo from MtrRating order by Rat_id desc");
        EXPECT_EQ(r.integer(0, 0), c.x) << c.rating << "/" << c.constant;
        EXPECT_EQ(r.text(0, 1), QString(c.voltage));
    }
    EXPECT_EQ(list->rowCount(), 4);
    EXPECT_EQ(line(3).join(","), QString("4,单相,2.5,3200,220,10,it's"));
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.last().toStdString();
}

TEST_F(RatingTest, AddChecksItsBoxesAndKeepsAddingUntilStored)
{
    open();
    click(*w, "添加");
    struct Case {
        int type;
        const char *rating, *constant, *voltage;
        QString message;
    } cases[] = {
        {-1, "5", "1600", "220", "表型名称没有选择！"},
        {0, "5", "1600", " ", "数据输入不完整，请检查！"},
        {0, "", "1600", "220", "数据输入不完整，请检查！"},
        {0, "5", "1600.5", "220", "“1600.5”不是有效的整数（电表常数）"}, // the add reads a whole constant
        {0, "5A", "1600", "220", "“5A”不是有效的数字（容量）"},
        {0, "5", "1600", "abc", "“abc”不是有效的数字"},
    };
    for (const Case& c : cases) {
        fill(c.type, c.rating, c.constant, c.voltage);
        click(*w, "添加确定");
        EXPECT_EQ(prompter.last(), c.message);
        EXPECT_EQ(addCaption(), QString("添加确定"));
    }
    EXPECT_EQ(count("MtrRating"), 0);
}

TEST_F(RatingTest, ChangeReadsTheNumbersTheOtherWayRound)
{
    db.exec("insert into MtrRating (Type_id, rating, const, V, X, Memo) values (3, 5, 1600, 220, 10, '旧')");
    open();
    // Opening selects the first line and fills the boxes from it.
    EXPECT_EQ(w->selectedRatId(), QString("1"));
    EXPECT_EQ(types->currentIndex(), 0);
    EXPECT_EQ(rating->text() + "/" + constant->text() + "/" + voltage->text() + "/" + memo->toPlainText(),
              QString("5/1600/220/旧"));

    fill(1, "2.5", "3200", "220");
    click(*w, "确定");
    EXPECT_EQ(prompter.last(), QString("“2.5”不是有效的整数（容量）"));
    EXPECT_EQ(db.select("select rating from MtrRating").text(0, 0), QString("5"));

    fill(1, "10", "1600.5", "380", "新");
    click(*w, "确定");
    const Rows r = db.select("select Type_id, rating, const, V, X, Memo from MtrRating");
    EXPECT_EQ(QStringList({r.text(0, 0), r.text(0, 1), r.text(0, 2), r.text(0, 3), r.text(0, 4), r.text(0, 5)}).join(","),
              QString("4,10,1600.5,380,20,新"));
    EXPECT_EQ(line(0).join(","), QString("1,三相,10,1600.5,380,20,新"));

    // A voltage is only stored, but it must be a number.
    fill(1, "10", "1600", "abc");
    click(*w, "确定");
    EXPECT_TRUE(prompter.last().contains("abc"));
    EXPECT_EQ(db.select("select V from MtrRating").text(0, 0), QString("380"));

    // With no type chosen nothing is changed.
    fill(-1, "20", "1600", "220");
    click(*w, "确定");
    EXPECT_EQ(db.select("select rating from MtrRating").text(0, 0), QString("10"));
}

TEST_F(RatingTest, ALineClickAbandonsAnAddAndChangeWaitsForTheAdd)
{
    db.exec("insert into MtrRating (Type_id, rating, const, V, X) values (3, 5, 1600, 220, 10)");
    db.exec("insert into MtrRating (Type_id, rating, const, V, X) values (4, 10, 1800, 380, 22)");
    open();
    click(*w, "添加");
    EXPECT_EQ(w->selectedRatId(), QString("-1"));
    EXPECT_EQ(types->currentIndex(), -1);
    EXPECT_TRUE(rating->text().isEmpty());
    fill(0, "20", "1600", "220");
    click(*w, "确定");
    EXPECT_EQ(prompter.last(), QString("当前处于添加状态，请点击\"添加确定\""));

    clickLine(1);
    EXPECT_EQ(addCaption(), QString("添加"));
    EXPECT_EQ(w->selectedRatId(), QString("2"));
    EXPECT_EQ(types->currentIndex(), 1);
    EXPECT_EQ(rating->text() + "/" + constant->text(), QString("10/1800"));
    EXPECT_EQ(count("MtrRating"), 2);
}

TEST_F(RatingTest, DeleteAsksThenReselectsAndTheLastDeleteClearsTheBoxes)
{
    db.exec("insert into MtrRating (Type_id, rating, const, V, X) values (3, 5, 1600, 220, 10)");
    db.exec("insert into MtrRating (Type_id, rating, const, V, X) values (4, 10, 1800, 380, 22)");
    open();
    clickLine(1);
    rating->setText("99");
    prompter.answer({false});
    click(*w, "删除");
    EXPECT_EQ(prompter.last(), QString("确定删除此记录吗?"));
    EXPECT_EQ(count("MtrRating"), 2);
    EXPECT_EQ(rating->text(), QString("10")); // the line was selected again

    prompter.answer({true, true});
    click(*w, "删除");
    EXPECT_EQ(db.select("select Rat_id from MtrRating").text(0, 0), QString("1"));
    EXPECT_EQ(w->selectedRatId(), QString("1"));
    EXPECT_EQ(rating->text(), QString("5"));
    click(*w, "删除");
    EXPECT_EQ(count("MtrRating"), 0);
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(w->selectedRatId(), QString("-1"));
    EXPECT_TRUE(rating->text().isEmpty() && constant->text().isEmpty() && types->currentText().isEmpty());
}
