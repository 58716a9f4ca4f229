#include "commands.h"

#include "aboutdialog.h"
#include "appcontext.h"
#include "backup.h"
#include "buywindow.h"
#include "cardcommand.h"
#include "cardlibrary.h"
#include "database.h"
#include "designer.h"
#include "forms.h"
#include "mainwindow.h"
#include "newusrwindow.h"
#include "prompter.h"
#include "ratingwindow.h"
#include "reprintwindow.h"
#include "tableeditor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace ombx {
namespace {

// A command that opens a window modally, made for the command and destroyed after.
template <typename Window> TFmmain::Command openWindow(TFmmain& main, AppContext& ctx)
{
    return [&main, &ctx] {
        Window window(ctx, &main);
        window.exec();
    };
}

// The folder dialog of backup and restore: Qt's own, which can make a new folder.
QString chooseFolder(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title, start,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

// Backup and restore: the folder dialog at the start folder, the work under
// the busy cursor, then its message. Cancel does nothing.
void onChosenFolder(TFmmain& main, AppContext& ctx, const QString& title,
                    const std::function<backup::Result(const QString&)>& work)
{
    const QString chosen = chooseFolder(&main, title, backup::startDirectory(ctx.programDir));
    if (chosen.isEmpty())
        return;
    backup::Result r;
    {
        BusyCursor busy;
        r = work(chosen);
    }
    ctx.prompter->info(r.message);
}

void backUp(TFmmain& main, AppContext& ctx)
{
    onChosenFolder(main, ctx, QStringLiteral("备份数据"), [&ctx](const QString& chosen) {
        return backup::backUp(ctx.programDir, chosen, QDate::currentDate());
    });
}

void restore(TFmmain& main, AppContext& ctx)
{
    onChosenFolder(main, ctx, QStringLiteral("恢复数据"),
                   [&ctx](const QString& chosen) { return backup::restore(*ctx.db, ctx.programDir, chosen); });
}

} // namespace

void wireCommands(TFmmain& main, AppContext& ctx)
{
    main.setCommand(QStringLiteral("备份数据"), [&] { backUp(main, ctx); });
    main.setCommand(QStringLiteral("恢复数据"), [&] { restore(main, ctx); });
    main.setCommand(QStringLiteral("退出"), [&] {
        if (ctx.prompter->question(QStringLiteral("是否进行数据备份？")))
            backUp(main, ctx);
        main.close();
    });
    main.setCommand(QStringLiteral("打开USB读写器"), [&] {
        ctx.card->CloseUSB();
        ctx.prompter->info(ctx.card->OpenUSB() > 0 ? QStringLiteral("打开成功！") : QStringLiteral("打开失败！"));
    });
    main.setCommand(QStringLiteral("重新登陆"), [&] {
        if (ctx.prompter->question(QStringLiteral("是否关闭当前系统再重新登陆?"))) {
            main.requestRelogin();
            main.close();
        }
    });
    // Selling: the buy checks, then the buy window for the card's customer.
    const TFmmain::Command buy = afterCardChecks(ctx, checks::CardCommand::Buy, [&](const checks::Passed& p) {
        TFmBuy window(ctx, p.user, &main);
        window.exec();
    });
    main.setCommand(QStringLiteral("买电"), buy);
    // Opening an account; "转购电" then sells to the card on the reader as "买电" would.
    main.setCommand(QStringLiteral("开户"),
                    afterCardChecks(ctx, checks::CardCommand::OpenAccount, [&main, &ctx, buy](const checks::Passed&) {
                        bool buyNext = false;
                        {
                            TFmNewUsr window(ctx, &main);
                            window.exec();
                            buyNext = window.buyNext();
                        }
                        if (buyNext)
                            buy();
                    }));
    main.setCommand(QStringLiteral("票据补打"), openWindow<TFrmpjbd>(main, ctx));
    main.setCommand(QStringLiteral("设置电价"), openWindow<TFmPriceType>(main, ctx));
    main.setCommand(QStringLiteral("设置表型"), openWindow<TFmMtrType>(main, ctx));
    main.setCommand(QStringLiteral("设置容量"), openWindow<TFmrating>(main, ctx));
    // The report designer; when the database cannot give the template its
    // columns ("数据库打开失败！" has been shown) the program ends.
    for (const auto& [caption, which] : {std::pair{QStringLiteral("收款凭据设计"), DesignedReport::Receipt},
                                         std::pair{QStringLiteral("用户购电报表设计"), DesignedReport::PurchaseReport}}) {
        main.setCommand(caption, [&main, &ctx, which = which] {
            if (!openReportDesigner(which, ctx, &main))
                main.closeOnFailure();
        });
    }
    main.setCommand(QStringLiteral("关于"), [&] {
        AboutDialog about(&main);
        about.exec();
    });
    main.setCommand(QStringLiteral("帮助"), [&] {
        const QString help = QDir(ctx.programDir).filePath(QStringLiteral("help.chm"));
        if (QFileInfo::exists(help))
            QDesktopServices::openUrl(QUrl::fromLocalFile(help));
    });
}

} // namespace ombx
