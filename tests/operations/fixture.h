#pragma once
#include "appcontext.h"
#include "printing.h"
#include "prompter.h"
#include "testsupport.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ombx {

// An office as the counter finds it: bureau 1, a price type of 0.535 per
// kWh, a single-phase meter type (largest purchase 500 kWh, alarm 20, cut-off
// 10) with one rating, a current-transformer type without ratings, the
// templates beside the program, and a blank card on the reader.
struct CounterFixture : ::testing::Test {
    TestProgramDir program;
    QTemporaryDir readerDir;
    VirtualCardReader reader{readerDir.path()};
    RecordingPrompter prompter;
    RecordingPrinting printing;
    AppContext ctx;
    Database& db = program.db();

    void SetUp() override
    {
        ASSERT_TRUE(reader.setup(2));
        ASSERT_EQ(reader.OpenUSB(), 1);
        db.exec("insert into Bur (Bur_id, Bur_name) values (1, '城关供电所')");
        db.append("PriceType", {{"Price_type", "居民生活"}, {"Base_P", "0.5"}, {"Addon_p", "0.02"}, {"Plus_p", "0.01"},
                                {"City_p", "0.005"}, {"Sanxia_p", "0"}});
        db.exec("insert into MtrType (Type_id, Mtr_Type, Mtr_spec, Max_qant, Alam_1, Alam_2) values "
                "(1, '单相', '5(20)A', 500, 20, 10), (2, '三相', '1.5(6)A', 9999, NULL, 255)");
        db.append("MtrRating", {{"Type_id", "1"}, {"rating", "5"}, {"const", "1600"}, {"V", "220"}, {"X", "10"}});
        const QString reports = QDir(program.path()).filePath("Report");
        QDir().mkpath(reports);
        const QDir shipped(QDir(qEnvironmentVariable("OMBX_BUILD_BIN")).filePath("Report"));
        for (const QString& f : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(f), QDir(reports).filePath(f));
        ctx.programDir = program.path();
        ctx.db = &db;
        ctx.card = &reader;
        ctx.prompter = &prompter;
        ctx.printing = &printing;
        ctx.account = "op1";
        ctx.loginClass = 1;
        ctx.bureau = 1;
    }

    // Makes the next append to a table fail inside the database, as a full
    // disk or a broken file would.
    void breakAppendsTo(const QString& table)
    {
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "breaker");
            raw.setDatabaseName(QDir(program.dbDir()).filePath(table + ".db"));
            ASSERT_TRUE(raw.open());
            QSqlQuery(raw).exec(QString("CREATE TRIGGER broken BEFORE INSERT ON %1 BEGIN "
                                        "SELECT RAISE(ABORT, 'disk I/O error'); END")
                                    .arg(table));
            raw.close();
        }
        QSqlDatabase::removeDatabase("breaker");
        program.reopenDb();
        ctx.db = &program.db();
    }

    int count(const QString& sql) { return int(ctx.db->select(sql).integer(0, 0)); }
};

} // namespace ombx
