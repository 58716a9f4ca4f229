// The installer tool and the sqlite3 shell extension, run as an administrator would.
#include "database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {
QString bin(const QString& name) { return QDir(qEnvironmentVariable("OMBX_BUILD_BIN")).filePath(name); }

int run(const QString& program, const QStringList& args, QString* out = nullptr, const QByteArray& input = {})
{
    QProcess proc;
    proc.start(program, args);
    proc.write(input);
    proc.closeWriteChannel();
    proc.waitForFinished(30000);
    if (out)
        *out = QString::fromUtf8(proc.readAllStandardOutput() + proc.readAllStandardError());
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}
} // namespace

TEST(InitDb, InstallsSixteenTablesOnceAndRefusesASecondTime)
{
    QTemporaryDir tmp;
    const QString dir = QDir(tmp.path()).filePath("DB");
    QString out;
    ASSERT_EQ(run(bin("ombx-initdb"), {dir, "--account", "boss", "--password", "s3cret"}, &out), 0)
        << out.toStdString();
    EXPECT_EQ(QDir(dir).entryList({"*.db"}, QDir::Files).size(), 16);
    {
        Database db(dir);
        const Rows adm = db.select("select ID, Pwd, Class from adm");
        ASSERT_EQ(adm.count(), 1);
        EXPECT_EQ(adm.text(0, "ID"), QString("boss"));
        EXPECT_EQ(adm.text(0, "Pwd"), QString("s3cret"));
        EXPECT_EQ(adm.integer(0, "Class"), 0);
        db.exec("insert into Bur (Bur_id) values (1)");
    }
    const QByteArray before = [&] { QFile f(QDir(dir).filePath("Bur.db")); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    EXPECT_EQ(run(bin("ombx-initdb"), {dir}, &out), 1);
    EXPECT_TRUE(out.contains("Bur.db") || out.contains(".db")) << out.toStdString();
    QFile f(QDir(dir).filePath("Bur.db"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST(InitDb, Sqlite3ShellQueriesDatesWithTheExtension)
{
    const QString shell = QStandardPaths::findExecutable("sqlite3");
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlite3 shell is not installed";
    QTemporaryDir tmp;
    const QString dir = QDir(tmp.path()).filePath("DB");
    ASSERT_EQ(run(bin("ombx-initdb"), {dir}), 0);
    {
        Database db(dir);
        db.append("UsrBuy", {{"Usr_id", "1"}, {"Dat_Buy", "2024-05-20 10:00:00"}});
    }
    QString out;
    const QByteArray script = ".load " + bin("libombx_datetime").toUtf8() +
                              "\nselect count(*) from UsrBuy where Dat_Buy >= '2024-5-01 00:00:00';\n";
    EXPECT_EQ(run(shell, {QDir(dir).filePath("UsrBuy.db")}, &out, script), 0) << out.toStdString();
    EXPECT_EQ(out.trimmed(), QString("1"));
}
