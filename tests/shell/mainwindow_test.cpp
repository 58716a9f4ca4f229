#include "errors.h"
#include "appcontext.h"
#include "mainwindow.h"
#include "prompter.h"

#include <QAction>
#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

QStringList entriesOf(const QStringList& visible, const QString& menu)
{
    QStringList out;
    for (const auto& e : visible)
        if (e.startsWith(menu + "/"))
            out << e.mid(menu.size() + 1);
    return out;
}

struct MainFixture {
    RecordingPrompter prompter;
    AppContext ctx;
    explicit MainFixture(int loginClass, const QString& account)
    {
        ctx.prompter = &prompter;
        ctx.loginClass = loginClass;
        ctx.account = account;
    }
};

} // namespace

TEST(MainWindow, OperatorSeesTheCounterCommands)
{
    MainFixture f(1, "op1");
    TFmmain w(f.ctx);
    const QStringList v = w.visibleMenuEntries();
    EXPECT_EQ(entriesOf(v, "文件"), (QStringList{"读卡", "回抄", "备份数据", "退出"}));
    EXPECT_EQ(entriesOf(v, "一表一卡操作"), (QStringList{"买电", "开户", "补卡", "换表", "改写电量", "清卡"}));
    EXPECT_TRUE(entriesOf(v, "特殊卡操作").isEmpty());
    EXPECT_TRUE(entriesOf(v, "系统设置").isEmpty());
    EXPECT_EQ(entriesOf(v, "用户信息"), (QStringList{"销户", "过户", "可疑查询"}));
    EXPECT_EQ(entriesOf(v, "其他"),
              (QStringList{"打开USB读写器", "修改操作员", "收款凭据设计", "用户购电报表设计", "重新登陆"}));
    EXPECT_EQ(entriesOf(v, "帮助"), QStringList{"关于"});
    EXPECT_EQ(w.visibleToolButtons(),
              (QStringList{"清卡", "读卡", "回抄", "买电", "开户", "补卡", "换表", "改写电量", "备份数据", "退出"}));
    EXPECT_EQ(w.statusTexts(), (QStringList{"操作员: op1", "USB接口读写器 ",
                                            "日期: " + QDate::currentDate().toString("yyyy-MM-dd")}));
}

TEST(MainWindow, AdministratorSeesTheSettingsButNotTheSales)
{
    MainFixture f(0, "admin");
    TFmmain w(f.ctx);
    const QStringList v = w.visibleMenuEntries();
    EXPECT_EQ(entriesOf(v, "文件"), (QStringList{"读卡", "回抄", "备份数据", "恢复数据", "退出"}));
    EXPECT_EQ(entriesOf(v, "一表一卡操作"), (QStringList{"退补电量", "清卡"}));
    EXPECT_EQ(entriesOf(v, "特殊卡操作"), (QStringList{"复位卡", "测试卡"}));
    EXPECT_EQ(entriesOf(v, "系统设置"), (QStringList{"设置电价", "设置表型"}));
    EXPECT_EQ(entriesOf(v, "用户信息"), (QStringList{"修改用户信息", "销户", "过户"}));
    EXPECT_FALSE(entriesOf(v, "信息查询").contains("操作记录"));
    EXPECT_EQ(w.visibleToolButtons(), (QStringList{"复位卡", "测试卡", "清卡", "读卡", "备份数据", "恢复数据", "退出"}));
    EXPECT_EQ(w.statusTexts().first(), QString("管理员: admin"));
    // The hidden entries keep their keys, but a hidden entry does not fire.
    EXPECT_EQ(w.menuAction("买电")->shortcut(), QKeySequence("F2"));
    EXPECT_FALSE(w.menuAction("买电")->isVisible());
}

TEST(MainWindow, CommandsRunInsideTheErrorBox)
{
    MainFixture f(0, "admin");
    TFmmain w(f.ctx);
    EXPECT_FALSE(w.menuAction("关于")->isEnabled()); // not wired: present but disabled
    bool ran = false;
    w.setCommand("关于", [&] {
        ran = true;
        throw DatabaseError("no such table: Nowhere");
    });
    w.menuAction("关于")->trigger();
    EXPECT_TRUE(ran);
    EXPECT_EQ(f.prompter.last(), QString("no such table: Nowhere"));
    EXPECT_EQ(f.prompter.entries.last().kind, RecordingPrompter::Entry::Error);
}

TEST(Program, StartsIntoTheLoginWindow)
{
    // The real program on an installed folder: it must come up and wait at
    // the login window (it only ends by itself on a setup fault).
    QTemporaryDir dir;
    const QString bin = qEnvironmentVariable("OMBX_BUILD_BIN");
    ASSERT_EQ(QProcess::execute(bin + "/ombx-initdb", {dir.filePath("DB")}), 0);
    ASSERT_TRUE(QFile::copy(bin + "/OMBX256", dir.filePath("OMBX256")));
    QFile::setPermissions(dir.filePath("OMBX256"), QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("OMBX_READER", dir.filePath("Reader"));
    program.setProcessEnvironment(env);
    program.start(dir.filePath("OMBX256"));
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_FALSE(program.waitForFinished(2000)) << program.readAllStandardError().toStdString();
    program.kill();
    program.waitForFinished();
}

TEST(MainWindow, AHiddenEntryDoesNotAnswerItsKey)
{
    // F2 belongs to "买电", which administrators do not see.
    for (int loginClass : {0, 1}) {
        MainFixture f(loginClass, "someone");
        TFmmain w(f.ctx);
        int sales = 0;
        w.setCommand("买电", [&] { ++sales; });
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_F2);
        EXPECT_EQ(sales, loginClass == 1 ? 1 : 0) << "class " << loginClass;
    }
}
