#include "database.h"
#include "sqltext.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

void buy(Database& db, int user, int buyT, const QString& when, int kwh = 10)
{
    db.append("UsrBuy", {{"Usr_id", QString::number(user)},
                         {"Buy_T", QString::number(buyT)},
                         {"Buy_q", QString::number(kwh)},
                         {"Dat_Buy", when},
                         {"PMoney", "5.35"}});
}

int count(Database& db, const QString& sql) { return int(db.select(sql).integer(0, 0)); }

} // namespace

TEST(Store, QuotedNumeralFindsIntegerAndEmptyMaxIsEmpty)
{
    TestProgramDir p;
    auto& db = p.db();
    db.exec("Insert into Bur (Bur_id,Bur_name) values (5,'本局')");
    const Rows bur = db.select("Select * from bur where Bur_id='5'");
    ASSERT_EQ(bur.count(), 1);
    EXPECT_EQ(bur.integer(0, "Bur_id"), 5);
    EXPECT_EQ(bur.text(0, "BUR_NAME"), QString("本局"));

    const Rows max = db.select("Select Max(Usr_id) from Usr");
    ASSERT_EQ(max.count(), 1);
    EXPECT_TRUE(max.isNull(0, 0));
    EXPECT_EQ(max.text(0), QString());

    const Rows none = db.select("Select Usr_Name from Usr where Usr_id='1'");
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(none.text(0), QString());
}

TEST(Store, DayAndMonthRangesCompareAsDates)
{
    TestProgramDir p;
    auto& db = p.db();
    buy(db, 1, 1, "2024-03-01 23:59:59");
    buy(db, 1, 2, "2024-05-20 10:00:00");
    buy(db, 1, 3, "2024-10-02 08:00:00"); // as text '2024-10' sorts before '2024-5'

    const QString day = "Select count(*) from UsrBuy where Dat_Buy>='%1 00:00:00' and Dat_Buy<='%1 23:59:59'";
    EXPECT_EQ(count(db, day.arg("2024-03-01")), 1);
    EXPECT_EQ(count(db, day.arg("2024-03-02")), 0);

    EXPECT_EQ(count(db, "select count(*) from usrbuy where Dat_Buy>='2024-5-01 00:00:00' and "
                        "Dat_Buy<'2024-6-01 00:00:00'"),
              1);
    EXPECT_EQ(count(db, "select count(*) from usrbuy where Dat_Buy>='2024-9-01 00:00:00'"), 1);
    // Ordering by the column is by moment too.
    const Rows ordered = db.select("select Buy_T from UsrBuy order by Dat_Buy desc");
    EXPECT_EQ(ordered.integer(0, 0), 3);
}

TEST(Store, AppendConvertsTextByColumnType)
{
    TestProgramDir p;
    auto& db = p.db();
    db.append("Admrec.db", {{"ID", "admin"}, {"Class", "管理员"}, {"BeginDat", "2024-03-01 08:05:09"},
                            {"EndDat", ""}, {"Memo", "非正常退出！"}});
    const Rows r = db.select("select BeginDat, EndDat, Memo from admrec");
    ASSERT_EQ(r.count(), 1);
    EXPECT_EQ(r.dateTime(0, 0), QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
    EXPECT_EQ(r.text(0, 0), QString("2024-03-01 08:05:09"));
    EXPECT_TRUE(r.isNull(0, "EndDat"));

    db.append("UsrBuy", {{"Usr_id", "7"}, {"PMoney", "53.50"}, {"Memo", ""}, {"Dat_Buy", "2024-3-1 8:05:09"}});
    const Rows b = db.select("select Usr_id, PMoney, Memo, Dat_Buy from UsrBuy");
    EXPECT_EQ(b.integer(0, 0), 7);
    EXPECT_DOUBLE_EQ(b.number(0, 1), 53.5);
    EXPECT_TRUE(b.isNull(0, 2));
    EXPECT_EQ(b.text(0, 3), QString("2024-03-01 08:05:09"));
}

TEST(Store, AppendRefusesValuesTheColumnCannotTake)
{
    TestProgramDir p;
    auto& db = p.db();
    const Values bad[] = {
        {{"Usr_id", "1"}, {"Card_T", "abc"}},
        {{"Usr_id", "1"}, {"Card_T", "1.5"}},
        {{"Usr_id", "1"}, {"Remain", "5元"}},
        {{"Usr_id", "1"}, {"Dat", "2024-02-30 00:00:00"}},
        {{"Usr_id", "1"}, {"Per_iden", QString(31, '1')}},
    };
    for (const auto& v : bad)
        EXPECT_THROW(db.append("Usr", v), ConversionError) << v[1].first.toStdString();
    EXPECT_THROW(db.append("Usr", {{"NoSuchColumn", "1"}}), DatabaseError);
    EXPECT_EQ(count(db, "select count(*) from Usr"), 0);

    // Auto-numbers increase and are never supplied.
    EXPECT_EQ(db.append("PriceType", {{"Price_type", "居民"}}), 1);
    EXPECT_EQ(db.append("pricetype.DB", {{"Price_type", "商业"}}), 2);
    EXPECT_THROW(db.append("PriceType", {{"Price_id", "9"}}), DatabaseError);
}

TEST(Store, TableNamesIgnoreCaseAndQuotesNeverChangeAStatement)
{
    TestProgramDir p;
    auto& db = p.db();
    buy(db, 3, 1, "2024-01-01 00:00:00");
    EXPECT_EQ(count(db, "select count(*) from UsrBuy"), 1);
    EXPECT_EQ(count(db, "select count(*) from usrbuy"), 1);
    EXPECT_EQ(count(db, "select count(*) from USRBUY"), 1);

    const QString typed = "O'Brien' or '1'='1";
    db.exec("Insert into Usr (Usr_id, Usr_Name) values (1, " + sqlQuote(typed) + ")");
    db.exec("Insert into Usr (Usr_id, Usr_Name) values (2, '张三')");
    const Rows r = db.select("select Usr_id from Usr where Usr_Name=" + sqlQuote(typed));
    ASSERT_EQ(r.count(), 1);
    EXPECT_EQ(r.integer(0, 0), 1);
    EXPECT_EQ(db.select("select Usr_Name from Usr where Usr_id=1").text(0), typed);

    EXPECT_EQ(sqlNumber(" 42 "), QString("42"));
    EXPECT_THROW(sqlNumber("1 or 1=1"), ConversionError);
}

TEST(Store, MoreThanTenTablesInSequenceStayReachable)
{
    TestProgramDir p;
    auto& db = p.db();
    for (int round = 0; round < 2; ++round)
        for (const auto& t : tables()) {
            db.exec("delete from " + t.name + " where 1=0");
            EXPECT_LE(db.attachedTables().size(), 10);
        }
    // A join over several tables after the churn.
    db.exec("Insert into Usr (Usr_id, Usr_Name, Price_id) values (1, '甲', 1)");
    db.append("PriceType", {{"Price_type", "居民"}, {"Base_P", "0.5"}});
    const Rows r = db.select("select u.Usr_Name, p.Base_P from Usr u, PriceType p, adm a where u.Price_id=p.Price_id "
                             "and a.ID='admin'");
    ASSERT_EQ(r.count(), 1);
    EXPECT_DOUBLE_EQ(r.number(0, 1), 0.5);
}

TEST(Store, FailedTransactionLeavesEveryTableUnchanged)
{
    TestProgramDir p;
    auto& db = p.db();
    db.exec("Insert into Usr (Usr_id, Buy_T, Remain) values (1, 0, 0)");
    try {
        Transaction tx(db, {"Usr", "UsrBuy"});
        db.exec("Update Usr set Buy_T=1, Remain=5 where Usr_id='1'");
        buy(db, 1, 1, "2024-01-01 10:00:00");
        db.append("UsrBuy", {{"Usr_id", "x"}}); // fails half way
        tx.commit();
        FAIL() << "the append should have failed";
    } catch (const ConversionError&) {
    }
    EXPECT_EQ(count(db, "select Buy_T from Usr"), 0);
    EXPECT_EQ(count(db, "select count(*) from UsrBuy"), 0);

    {
        Transaction tx(db, {"Usr", "UsrBuy"});
        db.exec("Update Usr set Buy_T=1 where Usr_id='1'");
        buy(db, 1, 1, "2024-01-01 10:00:00");
        tx.commit();
    }
    // What was committed survives a fresh connection.
    p.reopenDb();
    EXPECT_EQ(count(p.db(), "select Buy_T from Usr"), 1);
    EXPECT_EQ(count(p.db(), "select count(*) from UsrBuy"), 1);
}

TEST(Store, DatabaseErrorsCarryTheEngineText)
{
    TestProgramDir p;
    try {
        p.db().select("select Nonsense from Usr");
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("no such column")) << e.text().toStdString();
    }
    EXPECT_THROW(p.db().select("select * from NoSuchTable"), DatabaseError);
    EXPECT_THROW(Database(p.filePath("nowhere")), DatabaseError);
    EXPECT_FALSE(QDir(p.filePath("nowhere")).exists());
}

TEST(Store, MovingTheProgramFolderKeepsEverything)
{
    TestProgramDir p;
    buy(p.db(), 9, 1, "2024-01-01 10:00:00");
    p.closeDb();
    QTemporaryDir elsewhere;
    const QString moved = QDir(elsewhere.path()).filePath("moved");
    ASSERT_TRUE(QDir().rename(p.path(), moved));
    {
        Database db(QDir(moved).filePath("DB"));
        EXPECT_EQ(count(db, "select count(*) from UsrBuy where Usr_id='9'"), 1);
        buy(db, 9, 2, "2024-01-02 10:00:00");
    }
    ASSERT_TRUE(QDir().rename(moved, p.path()));
    p.reopenDb();
    EXPECT_EQ(count(p.db(), "select count(*) from UsrBuy"), 2);
}
