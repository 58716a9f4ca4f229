#include "backup.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {
QStringList entries(const QString& dir) { return QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name); }
} // namespace

TEST(Backup, DatedFoldersAndAsideNames)
{
    TestProgramDir program;
    program.db().exec("insert into Bur (Bur_id) values (7)");
    QTemporaryDir target;
    const QDate day(2024, 3, 1);

    auto r = backup::backUp(program.path(), target.path(), day);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.message, QString("数据备份成功！"));
    r = backup::backUp(program.path(), target.path(), day);
    EXPECT_EQ(entries(target.path()), (QStringList{"2024-03-01", "2024-03-01(1)"}));
    EXPECT_TRUE(QFile::exists(QDir(target.path()).filePath("2024-03-01(1)/Bur.db")));

    // A folder DB already there is moved aside: DB~, then DB(2).
    QDir(target.path()).mkdir("DB");
    backup::backUp(program.path(), target.path(), day);
    QDir(target.path()).mkdir("DB");
    backup::backUp(program.path(), target.path(), day);
    EXPECT_EQ(entries(target.path()),
              (QStringList{"2024-03-01", "2024-03-01(1)", "2024-03-01(2)", "2024-03-01(3)", "DB(2)", "DB~"}));
    // The next dialog starts where the last backup went.
    EXPECT_EQ(backup::startDirectory(program.path()), QDir(target.path()).absolutePath());
}

TEST(Backup, RefusesTheProgramsOwnFolder)
{
    TestProgramDir program;
    const auto r = backup::backUp(program.path(), program.path(), QDate(2024, 3, 1));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QString("不能把数据备份到系统目录下，数据备份不成功！"));
    EXPECT_EQ(entries(program.path()), QStringList{"DB"});
    // Nor anywhere inside the database folder: the copy would copy itself.
    QDir(program.dbDir()).mkdir("backups");
    const auto inside = backup::backUp(program.path(), program.dbDir() + "/backups", QDate(2024, 3, 1));
    EXPECT_EQ(inside.message, QString("不能把数据备份到系统目录下，数据备份不成功！"));
    EXPECT_TRUE(entries(program.dbDir() + "/backups").isEmpty());
}

TEST(Restore, ReplacesTheDatabaseAndLeavesNoTrace)
{
    TestProgramDir program;
    QTemporaryDir target;
    program.db().exec("insert into Bur (Bur_id) values (7)");
    const auto saved = backup::backUp(program.path(), target.path(), QDate(2024, 3, 1));
    ASSERT_TRUE(saved.ok);
    program.db().exec("delete from Bur");

    const auto wrong = backup::restore(program.path(), target.path()); // the parent, not the backup
    EXPECT_EQ(wrong.message, QString("数据库文件选择不正确，注意数据库目录必须双击！"));

    // The program's open database reads the restored tables at once.
    const auto r = backup::restore(program.db(), program.path(), saved.folder);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.message, QString("数据库恢复成功！"));
    EXPECT_EQ(entries(program.path()), QStringList{"DB"});
    EXPECT_EQ(program.db().select("select Bur_id from Bur").integer(0, 0), 7);
}

TEST(Restore, AFailedCopyKeepsTheWorkingDatabase)
{
    TestProgramDir program;
    QTemporaryDir source;
    QFile adm(QDir(source.path()).filePath("adm.db"));
    ASSERT_TRUE(adm.open(QIODevice::WriteOnly));
    adm.close();
    // A file where the copy has to go makes the copy fail.
    QFile blocker(program.filePath("DB.restoring"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    program.closeDb();
    const auto r = backup::restore(program.path(), source.path());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QString("文件恢复失败！"));
    EXPECT_EQ(entries(program.path()), QStringList{"DB"});
    program.reopenDb();
    EXPECT_EQ(program.db().select("select ID from adm").text(0, 0), QString("admin"));
}

TEST(Restore, FromFoldersOfTheProgramItself)
{
    // The database folder itself and a "qz" left by an earlier run are
    // copied before anything is moved, so neither choice loses the data.
    TestProgramDir program;
    program.db().exec("insert into Bur (Bur_id) values (7)");
    ASSERT_TRUE(backup::copyTree(program.dbDir(), program.filePath("qz")));
    program.db().exec("update Bur set Bur_id = 8");
    for (const QString& chosen : {program.filePath("qz"), program.dbDir()}) {
        program.closeDb();
        const auto r = backup::restore(program.path(), chosen);
        program.reopenDb();
        EXPECT_EQ(r.message, QString("数据库恢复成功！")) << chosen.toStdString();
        EXPECT_EQ(entries(program.path()), QStringList{"DB"});
    }
    // The older copy from "qz" is in use, and restoring DB onto itself kept it.
    EXPECT_EQ(program.db().select("select Bur_id from Bur").integer(0, 0), 7);
}
