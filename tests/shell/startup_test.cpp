#include "mainwindow.h"
#include "singleinstance.h"
#include "startup.h"
#include "testsupport.h"
#include "virtualreader.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

using namespace ombx;

namespace {
QString uniqueName(const char* what)
{
    return QStringLiteral("ombx-test-%1-%2").arg(QLatin1String(what)).arg(QCoreApplication::applicationPid());
}
template <typename W> W* shown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<W*>(w); t && t->isVisible())
            return t;
    return nullptr;
}
} // namespace

// The whole program in this process: the login window comes up, the
// administrator of a new database logs in, the main window shows, a second
// copy brings the minimised main window back, and closing it ends the program
// with a completed login record.
TEST(Program, LogsInShowsTheMainWindowAndEndsCleanly)
{
    TestProgramDir program;
    ASSERT_TRUE(VirtualCardReader(program.filePath("Reader")).setup(1));
    const QString name = uniqueName("program");

    bool loginSeen = false, broughtBack = false;
    QStringList status, tools;
    enum { Login, Main, Minimised } stage = Login;
    QElapsedTimer clock;
    clock.start();
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (clock.elapsed() > 20000) { // something waits for an answer nobody gives
            for (QWidget* w : QApplication::topLevelWidgets())
                w->close();
            QCoreApplication::exit(2);
            return;
        }
        if (stage == Login) {
            if (QWidget* login = QApplication::activeModalWidget(); login && login->objectName() == "TFmlogin") {
                loginSeen = true;
                login->findChild<QComboBox*>("ComboBox2")->setEditText("admin");
                login->findChild<QLineEdit*>("Edit2")->setText("admin");
                login->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1); // 管理员
                stage = Main;
                login->findChild<QPushButton*>("BitBtn1")->click();
            }
        } else if (stage == Main) {
            if (auto* main = shown<TFmmain>()) {
                status = main->statusTexts();
                tools = main->visibleToolButtons();
                if (const QString shot = qEnvironmentVariable("OMBX_SCREENSHOT"); !shot.isEmpty())
                    main->grab().save(shot);
                main->showMinimized();
                EXPECT_TRUE(main->isMinimized());
                SingleInstance second(name);
                ASSERT_TRUE(second.findRunningCopy());
                second.sendStartupMessage();
                stage = Minimised;
            }
        } else if (auto* main = shown<TFmmain>(); main && !main->isMinimized()) {
            broughtBack = true;
            main->close();
        }
    });
    driver.start(50);
    const int code = runProgram({program.path(), name});
    driver.stop();

    ASSERT_EQ(code, 0);
    EXPECT_TRUE(loginSeen);
    EXPECT_TRUE(broughtBack);
    EXPECT_EQ(status, (QStringList{"管理员: admin", "USB接口读写器 ", "日期: " + QDate::currentDate().toString("yyyy-MM-dd")}));
    EXPECT_EQ(tools, (QStringList{"复位卡", "测试卡", "清卡", "读卡", "备份数据", "恢复数据", "退出"}));
    const Rows rec = program.db().select("select ID, Class, EndDat, Memo from Admrec");
    ASSERT_EQ(rec.count(), 1);
    EXPECT_EQ(rec.text(0, "Class"), QString("管理员"));
    EXPECT_FALSE(rec.isNull(0, "EndDat"));
    EXPECT_EQ(rec.text(0, "Memo"), QString("正常退出"));
}

TEST(SingleInstance, FindsTheRunningCopyAndIgnoresAStaleSocket)
{
    const QString name = uniqueName("instance");
    {
        // A socket file left by a copy that crashed: nobody answers there,
        // and the next copy takes the name over.
        QFile stale(QDir::temp().filePath(name));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance first(name);
    EXPECT_FALSE(first.findRunningCopy());
    ASSERT_TRUE(first.listen());
    QSignalSpy spy(&first, &SingleInstance::startupMessage);

    SingleInstance second(name);
    ASSERT_TRUE(second.findRunningCopy());
    second.sendStartupMessage();
    EXPECT_TRUE(spy.wait(3000));
    EXPECT_EQ(spy.count(), 1);

    first.release();
    EXPECT_FALSE(SingleInstance(name).findRunningCopy());
}
