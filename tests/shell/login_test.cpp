#include "appcontext.h"
#include "login.h"
#include "loginwindow.h"
#include "prompter.h"
#include "testsupport.h"
#include "virtualreader.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

struct LoginFixture : ::testing::Test {
    TestProgramDir program;
    QTemporaryDir readerDir;
    VirtualCardReader reader{readerDir.path()};
    RecordingPrompter prompter;
    AppContext ctx;

    void SetUp() override
    {
        reader.setup(1);
        program.db().exec("insert into adm (ID, Pwd, Name, Class) values ('op1', 'pw', '王五', 1)");
        ctx.programDir = program.path();
        ctx.db = &program.db();
        ctx.card = &reader;
        ctx.prompter = &prompter;
    }
    // Types into the login window and presses "登陆".
    void attempt(TFmlogin& w, const QString& account, const QString& password, int classPosition)
    {
        w.findChild<QComboBox*>("ComboBox2")->setEditText(account);
        w.findChild<QLineEdit*>("Edit2")->setText(password);
        w.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(classPosition);
        w.attempt();
    }
    int loginRecords() { return int(program.db().select("select count(*) from Admrec").integer(0, 0)); }
};

} // namespace

TEST_F(LoginFixture, ThreeFailuresOfAnyKindEndTheLogin)
{
    TFmlogin w(ctx);
    w.show();
    EXPECT_EQ(w.findChild<QComboBox*>("ComboBox2")->count(), 2); // admin, op1
    attempt(w, "nobody", "x", 0);
    attempt(w, "op1", "wrong", 0);
    EXPECT_TRUE(w.isVisible());
    attempt(w, "op1", "pw", 1); // an operator's password as 管理员
    EXPECT_EQ(prompter.texts(), (QStringList{"用户帐号不存在，请重新输入！", "用户密码输入错误，请重新输入！",
                                             "用户类别输入错误！", "登陆超过3次，请退出！"}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.succeeded());
    EXPECT_EQ(loginRecords(), 0);
}

TEST_F(LoginFixture, SuccessSetsTheLoginValuesAndRecordsTheLogin)
{
    TFmlogin w(ctx);
    w.show();
    attempt(w, "op1", "wrong", 0);
    attempt(w, "op1", "pw", 0);
    EXPECT_TRUE(w.succeeded());
    EXPECT_EQ(ctx.account, QString("op1"));
    EXPECT_EQ(ctx.loginClass, 1);
    EXPECT_EQ(ctx.bureau, 0); // no bureau set yet
    const Rows rec = program.db().select("select ID, Name, Class, BeginDat, EndDat, Memo from Admrec");
    ASSERT_EQ(rec.count(), 1);
    EXPECT_EQ(rec.text(0, "Name"), QString("王五"));
    EXPECT_EQ(rec.text(0, "Class"), QString("操作员"));
    EXPECT_TRUE(rec.isNull(0, "EndDat"));
    EXPECT_EQ(rec.text(0, "Memo"), QString("非正常退出！"));

    // A normal exit completes the record.
    login::recordExit(program.db(), w.loginRecord());
    const Rows done = program.db().select("select EndDat, Memo from Admrec");
    EXPECT_FALSE(done.isNull(0, 0));
    EXPECT_EQ(done.text(0, 1), QString("正常退出"));
}

TEST_F(LoginFixture, ReaderFailureEndsTheLoginAfterRecordingIt)
{
    program.db().exec("insert into Bur (Bur_id, Bur_name) values (12, '本局')");
    reader.failNext("OpenUSB");
    TFmlogin w(ctx);
    w.show();
    attempt(w, "admin", "admin", 1);
    EXPECT_EQ(prompter.last(), QString("读写器设备打开失败，请检查设备再登陆！"));
    EXPECT_FALSE(w.succeeded());
    EXPECT_EQ(loginRecords(), 1);
    EXPECT_EQ(ctx.bureau, 12);
}

TEST_F(LoginFixture, TypedQuotesAreJustWrongAccounts)
{
    EXPECT_EQ(login::check(program.db(), "admin' --", "x", 1).outcome, login::Attempt::NoAccount);
    EXPECT_EQ(login::check(program.db(), "admin", "' or '1'='1", 1).outcome, login::Attempt::WrongPassword);
}

TEST_F(LoginFixture, ADatabaseErrorEndsTheLoginSilently)
{
    ASSERT_TRUE(QFile::remove(program.dbDir() + "/Admrec.db")); // the login record cannot be written
    TFmlogin w(ctx);
    w.show();
    attempt(w, "admin", "admin", 1);
    EXPECT_FALSE(w.succeeded());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(prompter.texts().isEmpty());
}
