// The browse-and-edit grids: price types and meter types.
#include "settingsfixture.h"
#include "tableeditor.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

using namespace ombx;

namespace {

struct GridTest : SettingsFixture {
    // Types a value into a cell of `row`, as the grid's editor hands it over.
    static bool type(TableEditor& w, int row, const QString& field, const QString& text)
    {
        return w.model()->setData(w.model()->index(row, w.columnOf(field)), text, Qt::EditRole);
    }
    static QString shown(TableEditor& w, int row, const QString& fieldOrTitle)
    {
        return w.model()->index(row, w.columnOf(fieldOrTitle)).data().toString();
    }
    static QStringList titles(TableEditor& w)
    {
        QStringList out;
        QHeaderView* h = w.grid()->horizontalHeader();
        for (int v = 0; v < h->count(); ++v)
            if (!h->isSectionHidden(h->logicalIndex(v)))
                out << w.model()->headerData(h->logicalIndex(v), Qt::Horizontal).toString();
        return out;
    }
    static void showActive(QWidget& w)
    {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
};

} // namespace

TEST_F(GridTest, PriceTypesShowTheirTotalAndGetNewIdsWhenStored)
{
    TFmPriceType w(ctx);
    EXPECT_EQ(w.windowTitle(), QString("电价设置"));
    EXPECT_EQ(titles(w).join(","), QString("电价名称,基本电价,附加费,线路损耗费,城建费,三峡费,合计,备注"));

    w.insertRow();
    type(w, 0, "Price_type", "居民生活");
    for (auto [field, value] : {std::pair{"Base_P", "0.5"}, {"Addon_p", "0.02"}, {"Plus_p", "0.01"},
                                {"City_p", "0.005"}, {"Sanxia_p", "0.0"}})
        EXPECT_TRUE(type(w, 0, field, value)) << field;
    EXPECT_EQ(shown(w, 0, "合计"), QString("0.535"));
    click(w, "确定");
    EXPECT_EQ(db.select("select Price_id, Price_type from PriceType").text(0, 0), QString("1"));

    // A second type whose surcharge is left empty: the total is the other four.
    w.grid()->setCurrentIndex(w.model()->index(0, 0));
    w.insertRow();
    type(w, 0, "Price_type", "商业");
    for (auto [field, value] : {std::pair{"Base_P", "0.8"}, {"Plus_p", "0.01"}, {"City_p", "0.005"},
                                {"Sanxia_p", "0.007"}})
        type(w, 0, field, value);
    EXPECT_EQ(shown(w, 0, "合计"), QString("0.822"));
    ASSERT_TRUE(w.store());
    const Rows rows = db.select("select Price_id, Addon_p from PriceType where Price_type='商业'");
    EXPECT_EQ(rows.integer(0, 0), 2);
    EXPECT_TRUE(rows.isNull(0, 1));
    // Shown in key order; the empty surcharge stays empty, not 0.
    EXPECT_EQ(shown(w, 1, "Price_type"), QString("商业"));
    EXPECT_EQ(shown(w, 1, "Addon_p"), QString());
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.last().toStdString();
}

TEST_F(GridTest, ACellRefusesWhatItsColumnCannotHoldAndTheRowWaits)
{
    TFmPriceType w(ctx);
    w.insertRow();
    type(w, 0, "Price_type", "农业");
    type(w, 0, "Base_P", "0.4");
    EXPECT_FALSE(type(w, 0, "Addon_p", "二分"));
    EXPECT_EQ(shown(w, 0, "Addon_p"), QString("二分")); // the refused text stays in its cell
    EXPECT_EQ(shown(w, 0, "合计"), QString());

    EXPECT_FALSE(w.store());
    EXPECT_TRUE(prompter.last().contains("二分") && prompter.last().contains("附加费")) << prompter.last().toStdString();
    EXPECT_EQ(count("PriceType"), 0);
    EXPECT_EQ(w.grid()->currentIndex().column(), w.columnOf("Addon_p"));

    // A name longer than its column is refused the same way.
    EXPECT_FALSE(type(w, 0, "Price_type", QString(31, QChar('x'))));
    EXPECT_FALSE(w.store());
    type(w, 0, "Price_type", "农业");

    EXPECT_TRUE(type(w, 0, "Addon_p", "")); // emptied: the row can go, the surcharge null
    EXPECT_TRUE(w.store());
    EXPECT_EQ(db.select("select Price_type, Base_P, Addon_p from PriceType").text(0, 0), QString("农业"));
    EXPECT_TRUE(db.select("select Addon_p from PriceType").isNull(0, 0));
}

TEST_F(GridTest, DeleteAsksAndCancelKeepsTheRow)
{
    db.exec("insert into PriceType (Price_type, Base_P) values ('甲', 0.5)");
    db.exec("insert into PriceType (Price_type, Base_P) values ('乙', 0.6)");
    TFmPriceType w(ctx);
    w.grid()->setCurrentIndex(w.model()->index(0, w.columnOf("Price_type")));
    prompter.answer({false, true});
    w.deleteRow();
    EXPECT_EQ(prompter.last(), QString("确定删除当前记录吗？"));
    EXPECT_EQ(count("PriceType"), 2);
    w.deleteRow();
    EXPECT_EQ(db.select("select Price_type from PriceType").text(0, 0), QString("乙"));
    EXPECT_EQ(w.model()->rowCount(), 1);

    // A new row not stored yet is simply dropped, with any refused text in it.
    w.insertRow();
    type(w, 0, "Base_P", "abc");
    w.deleteRow();
    EXPECT_EQ(w.model()->rowCount(), 1);
    EXPECT_TRUE(w.store());
    EXPECT_EQ(count("PriceType"), 1);
}

TEST_F(GridTest, LeavingTheGridStoresAndAnUntouchedNewRowIsDropped)
{
    TFmPriceType w(ctx);
    showActive(w);
    auto* ok = w.findChild<QWidget*>("okButton");

    w.insertRow(); // nothing typed: leaving the grid stores no empty price type
    ASSERT_TRUE(w.grid()->hasFocus());
    ok->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(w.model()->rowCount(), 0);

    w.grid()->setFocus();
    w.insertRow();
    type(w, 0, "Price_type", "路灯");
    ok->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(count("PriceType"), 1);
}

TEST_F(GridTest, ExitKeepsTheWindowWhileARowCannotBeStoredAndEscAbandonsIt)
{
    TFmPriceType w(ctx);
    showActive(w);
    w.insertRow();
    type(w, 0, "Base_P", "abc");
    click(w, "退出");
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(prompter.last().contains("abc"));

    w.grid()->setFocus();
    QTest::keyClick(w.grid(), Qt::Key_Escape);
    EXPECT_EQ(w.model()->rowCount(), 0);
    EXPECT_TRUE(w.isVisible()); // that Esc only abandoned the row
    click(w, "退出");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(count("PriceType"), 0);
}

TEST_F(GridTest, LargestPurchaseFrom10000WarnsButIsStored)
{
    TFmMtrType w(ctx);
    EXPECT_EQ(w.windowTitle(), QString("表型设置"));
    EXPECT_EQ(titles(w).join(","), QString("表型代码,表型名称,规格,最大购电量,报警电量,拉闸电量,备注"));
    const QString warning = "最大购电量不超过9999，请检查数据！";

    struct Step {
        const char* what;
        std::function<void()> edit;
        bool warns;
    } steps[] = {
        {"new row of 10000", [&] { w.insertRow(); type(w, 0, "Type_id", "1"); type(w, 0, "Max_qant", "10000"); }, true},
        {"new row of 9999", [&] { w.insertRow(); type(w, 0, "Type_id", "2"); type(w, 0, "Max_qant", "9999"); }, false},
        {"stored 9999 changed to 10001", [&] { type(w, 1, "Max_qant", "10001"); }, true},
        {"cell of a 10000 row left as it was", [&] { type(w, 0, "Max_qant", "10000"); }, false},
    };
    for (Step& s : steps) {
        prompter.clear();
        s.edit();
        ASSERT_TRUE(w.store()) << s.what;
        EXPECT_EQ(prompter.texts().contains(warning), s.warns) << s.what;
    }
    EXPECT_EQ(db.select("select Max_qant from MtrType order by Type_id").text(0, 0), QString("10000"));
    EXPECT_EQ(db.select("select Max_qant from MtrType order by Type_id").text(1, 0), QString("10001"));
}

TEST_F(GridTest, AlarmLevelsArePickedFromTheirListsOnly)
{
    db.exec("insert into MtrType (Type_id, Mtr_Type, Max_qant, Alam_1, Alam_2) values (1, '单相', 9999, 20, 5)");
    TFmMtrType w(ctx);
    showActive(w);
    QTableView* grid = w.grid();
    grid->setFocus();

    // A digit typed into the alarm column does nothing; in the purchase column it starts an edit.
    grid->setCurrentIndex(w.model()->index(0, w.columnOf("Alam_1")));
    const auto editor = [&] { return grid->viewport()->findChild<QWidget*>(); };
    QTest::keyClick(grid, Qt::Key_5);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(w.model()->isDirty());
    grid->setCurrentIndex(w.model()->index(0, w.columnOf("Max_qant")));
    QTest::keyClick(grid, Qt::Key_5);
    ASSERT_NE(qobject_cast<QLineEdit*>(editor()), nullptr);
    EXPECT_EQ(qobject_cast<QLineEdit*>(editor())->text(), QString("5"));
    QTest::keyClick(editor(), Qt::Key_Escape);
    QApplication::processEvents(); // the closed editor is deleted later

    // The cut-off list: typing into it is swallowed, picking 255 stores 255.
    const QModelIndex cutOff = w.model()->index(0, w.columnOf("Alam_2"));
    grid->setCurrentIndex(cutOff);
    grid->edit(cutOff);
    auto* list = grid->viewport()->findChild<QComboBox*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentText(), QString("5"));
    QTest::keyClick(list, Qt::Key_2);
    EXPECT_EQ(list->currentText(), QString("5"));
    list->setCurrentIndex(list->findText("255"));
    emit list->activated(list->currentIndex());
    click(w, "确定");
    EXPECT_EQ(db.select("select Alam_2 from MtrType").integer(0, 0), 255);
}
