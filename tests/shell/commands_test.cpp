#include "appcontext.h"
#include "cardcommand.h"
#include "commands.h"
#include "mainwindow.h"
#include "prompter.h"
#include "testsupport.h"
#include "virtualreader.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

// A main window with every command wired, on a temporary program folder and
// a reader holding one blank card.
struct CommandsFixture : ::testing::Test {
    TestProgramDir program;
    QTemporaryDir readerDir;
    VirtualCardReader reader{readerDir.path()};
    RecordingPrompter prompter;
    AppContext ctx;
    std::unique_ptr<TFmmain> main;

    void SetUp() override
    {
        reader.setup(1);
        reader.OpenUSB();
        ctx.programDir = program.path();
        ctx.db = &program.db();
        ctx.card = &reader;
        ctx.prompter = &prompter;
        ctx.account = "admin";
        main = std::make_unique<TFmmain>(ctx);
        wireCommands(*main, ctx);
        main->show();
    }
    void choose(const QString& caption) { main->menuAction(caption)->trigger(); }
};

} // namespace

TEST_F(CommandsFixture, ExitAndReloginAskFirst)
{
    prompter.answer({false});
    choose("重新登陆");
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->reloginRequested());

    // Declining the backup still ends the program.
    prompter.answer({false});
    choose("退出");
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(prompter.texts(), (QStringList{"是否关闭当前系统再重新登陆?", "是否进行数据备份？"}));

    main->show();
    prompter.answer({true});
    choose("重新登陆");
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(main->reloginRequested());
}

TEST_F(CommandsFixture, ReopeningTheReaderReportsTheResult)
{
    choose("打开USB读写器");
    reader.failNext("OpenUSB");
    choose("打开USB读写器");
    EXPECT_EQ(prompter.texts(), (QStringList{"打开成功！", "打开失败！"}));
}

TEST_F(CommandsFixture, ACardWindowOpensOnlyForACardThatPassesItsChecks)
{
    QList<checks::CardCommand> opened;
    const auto command = [&](checks::CardCommand c) {
        return afterCardChecks(ctx, c, [&opened, c](const checks::Passed&) { opened << c; });
    };
    // The blank card on the reader: no sale, but an account may be opened on it.
    main->run(command(checks::CardCommand::Buy));
    main->run(command(checks::CardCommand::OpenAccount));
    EXPECT_EQ(opened, QList<checks::CardCommand>{checks::CardCommand::OpenAccount});
    EXPECT_EQ(prompter.texts(), QStringList{"通讯失败或者是空卡或者不是一表一卡的卡！"});
}

TEST_F(CommandsFixture, TheDesignerEndsTheProgramWhenTheDatabaseFails)
{
    ASSERT_TRUE(QFile::remove(program.dbDir() + "/UsrBuy.db"));
    choose("收款凭据设计");
    EXPECT_EQ(prompter.texts(), QStringList{"数据库打开失败！"});
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(main->closedOnFailure());
}
