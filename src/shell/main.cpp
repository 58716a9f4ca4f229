// OMBX256: the sales program of the electricity supply office.
#include "appcontext.h"
#include "commands.h"
#include "database.h"
#include "login.h"
#include "loginwindow.h"
#include "mainwindow.h"
#include "qtprompter.h"
#include "singleinstance.h"
#include "virtualreader.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    using namespace ombx;
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("预付费卡表售电管理系统（通用）"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslations);

    SingleInstance instance;
    if (instance.notifyRunningCopy()) {
        QMessageBox::information(nullptr, QApplication::applicationDisplayName(),
                                 QStringLiteral("程序已经运行，被强行退出！"));
        return 0;
    }
    instance.listen();

    AppContext ctx;
    ctx.programDir = QApplication::applicationDirPath();
    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(ctx.dbDir());
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "OMBX256: %s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    VirtualCardReader reader(VirtualCardReader::defaultFolder(ctx.programDir));
    QtPrompter prompter;
    ctx.db = db.get();
    ctx.card = &reader;
    ctx.prompter = &prompter;

    qint64 loginRecord = -1;
    {
        TFmlogin loginWindow(ctx);
        loginWindow.exec();
        if (!loginWindow.succeeded())
            return 0;
        loginRecord = loginWindow.loginRecord();
    }

    TFmmain mainWindow(ctx);
    prompter.setParent(&mainWindow);
    wireCommands(mainWindow, ctx);
    QObject::connect(&instance, &SingleInstance::startupMessage, &mainWindow, &TFmmain::bringToFront);
    mainWindow.showMaximized();
    const int code = app.exec();

    try {
        login::recordExit(*ctx.db, loginRecord);
    } catch (const DatabaseError&) {
        // The record then keeps "非正常退出！": the exit was not a clean one.
    }
    if (mainWindow.reloginRequested()) {
        instance.release();
        QProcess::startDetached(QApplication::applicationFilePath(), {});
    }
    return code;
}
