#include "startup.h"

#include "appcontext.h"
#include "commands.h"
#include "database.h"
#include "login.h"
#include "loginwindow.h"
#include "mainwindow.h"
#include "printing.h"
#include "qtprompter.h"
#include "singleinstance.h"
#include "virtualreader.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>

#include <cstdio>
#include <memory>

namespace ombx {

int runProgram(const StartOptions& options)
{
    SingleInstance instance(options.instanceName);
    if (instance.findRunningCopy()) {
        QMessageBox::information(nullptr, QApplication::applicationDisplayName(),
                                 QStringLiteral("程序已经运行，被强行退出！"));
        instance.sendStartupMessage();
        return 0;
    }
    instance.listen();

    // Busy from here until the login window stands ready for the account.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AppContext ctx;
    ctx.programDir = options.programDir;
    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(ctx.dbDir());
    } catch (const DatabaseError& e) {
        // No installed database beside the program: say so rather than vanish.
        QApplication::restoreOverrideCursor();
        std::fprintf(stderr, "OMBX256: %s\n", e.text().toLocal8Bit().constData());
        QMessageBox::information(nullptr, QApplication::applicationDisplayName(), QStringLiteral("数据库打开失败！"));
        return 1;
    }
    VirtualCardReader reader(VirtualCardReader::defaultFolder(ctx.programDir));
    QtPrompter prompter;
    QtPrinting printing;
    ctx.db = db.get();
    ctx.card = &reader;
    ctx.prompter = &prompter;
    ctx.printing = &printing;

    qint64 loginRecord = -1;
    {
        TFmlogin loginWindow(ctx);
        const auto front = QObject::connect(&instance, &SingleInstance::startupMessage, &loginWindow, [&] {
            loginWindow.showNormal();
            loginWindow.raise();
            loginWindow.activateWindow();
        });
        QApplication::restoreOverrideCursor();
        loginWindow.exec();
        QObject::disconnect(front);
        if (!loginWindow.succeeded())
            return 0;
        loginRecord = loginWindow.loginRecord();
    }

    TFmmain mainWindow(ctx);
    prompter.setParent(&mainWindow);
    wireCommands(mainWindow, ctx);
    QObject::connect(&instance, &SingleInstance::startupMessage, &mainWindow, &TFmmain::bringToFront);
    mainWindow.showMaximized();
    const int code = QApplication::exec();

    // A normal end completes the login record; an end forced by an error
    // leaves it marked "非正常退出！".
    if (mainWindow.closedOnFailure())
        return 1;
    if (code == 0) {
        try {
            login::recordExit(*ctx.db, loginRecord);
        } catch (const DatabaseError& e) {
            std::fprintf(stderr, "OMBX256: %s\n", e.text().toLocal8Bit().constData());
        }
    }
    if (mainWindow.reloginRequested()) {
        // Let go of the socket first, so that the new copy does not find this one.
        instance.release();
        QProcess::startDetached(QApplication::applicationFilePath(), {});
    }
    return code;
}

} // namespace ombx
