#include "cardchecks.h"
#include "cardpassword.h"
#include "prompter.h"
#include "testsupport.h"
#include "virtualreader.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;
using namespace ombx::checks;

namespace {

// An installed database with this office's bureau (3), one price type and
// customer 57, and a reader with the customer's card on it.
struct ChecksFixture : ::testing::Test {
    TestProgramDir program;
    QTemporaryDir readerDir;
    VirtualCardReader reader{readerDir.path()};
    RecordingPrompter prompter;
    Database& db = program.db();

    void SetUp() override
    {
        ASSERT_TRUE(reader.setup(1));
        ASSERT_EQ(reader.OpenUSB(), 1);
        db.exec("insert into Bur (Bur_id, Bur_name) values (3, '本局')");
        db.append("PriceType", {{"Price_type", "居民"}, {"Base_P", "0.5"}});
        db.exec("insert into Usr (Usr_id, Usr_Name, Card_T, Buy_T, Price_id, BT) values (57, '张三', 0, 0, 1, '1:1')");
    }
    void card(int user, int bureau)
    {
        ASSERT_EQ(reader.WriteNewUser(2, 10, 255, user, bureau), 0);
        ASSERT_EQ(reader.M_SetType(2), 0);
    }
    void cardCount(int n) { db.exec(QString("update Usr set Card_T=%1 where Usr_id=57").arg(n)); }
    // Runs the buy checks; returns the one message shown (empty when none).
    QString buy(bool* ok = nullptr)
    {
        prompter.clear();
        const bool passed = forBuy(reader, db, prompter).ok;
        if (ok)
            *ok = passed;
        return prompter.last();
    }
};

} // namespace

TEST_F(ChecksFixture, BuyRefusesCardsThatAreNotSellable)
{
    bool ok = true;
    EXPECT_EQ(buy(&ok), QString("通讯失败或者是空卡或者不是一表一卡的卡！")); // blank card
    EXPECT_FALSE(ok);

    card(0, 3);
    EXPECT_EQ(buy(&ok), QString("卡没有开户！"));
    card(57, 4);
    EXPECT_EQ(buy(&ok), QString("非本局用卡！"));
    card(58, 3);
    EXPECT_EQ(buy(&ok), QString("系统没有此用户！"));
    card(57, 3);
    EXPECT_EQ(buy(&ok), QString()); // right after opening: Card_T 0, no purchase on the card
    EXPECT_TRUE(ok);

    ASSERT_EQ(reader.WriteUserKWH(120, 0, 57), 0);
    EXPECT_EQ(buy(&ok), QString("电量有效,请退出！")); // the meter has not taken it yet
    reader.WriteValiflag(1);
    EXPECT_EQ(buy(&ok), QString("卡中数据与系统数据不一致，请查验后再购电！")); // Card_T still 0
    EXPECT_FALSE(ok);

    reader.failNext("GetValiFlag");
    EXPECT_EQ(buy(&ok), QString()); // a communication failure ends silently
    EXPECT_FALSE(ok);

    db.exec("update Usr set Price_id=9 where Usr_id=57");
    cardCount(1);
    EXPECT_EQ(buy(&ok), QString("系统没有此用户类型！"));
}

TEST_F(ChecksFixture, ConsistencyBindsTheCardToTheCustomersCount)
{
    card(57, 3);
    ASSERT_EQ(reader.WriteUserKWH(120, 0, 57), 0);
    reader.WriteValiflag(1);
    bool ok = false;
    for (int n : {1, 129}) { // index n - 1 is taken modulo 128
        cardCount(n);
        EXPECT_EQ(buy(&ok), QString()) << n;
        EXPECT_TRUE(ok) << n;
    }
    cardCount(2);
    EXPECT_EQ(buy(&ok), QString("卡中数据与系统数据不匹配，请查验后再购电！"));
    reader.failNext("ReadPassword");
    EXPECT_EQ(buy(&ok), QString()); // the password is not compared when it cannot be read
    EXPECT_TRUE(ok);

    // A count that is not a whole number ends the command with a conversion error.
    EXPECT_THROW(consistency(reader, prompter, "abc", 57, ConsistencyFor::Buy), ConversionError);
}

TEST_F(ChecksFixture, FlagAndBureauRulesDifferByCommand)
{
    card(57, 3);
    ASSERT_EQ(reader.WriteUserKWH(80, 0, 57), 0); // flag 0: not taken by the meter
    EXPECT_TRUE(forRewrite(reader, prompter, 3).ok);
    EXPECT_TRUE(forRefund(reader, prompter, 3).ok);
    const Passed change = forChangeMeter(reader, prompter, 3);
    EXPECT_TRUE(change.ok);
    EXPECT_EQ(change.carriedKwh, 80);
    // A failed quantity read must not carry -1 kWh into the new meter.
    reader.failNext("GetKWH");
    EXPECT_FALSE(forChangeMeter(reader, prompter, 3).ok);
    EXPECT_EQ(prompter.last(), QString("通讯失败，请检查！"));

    reader.WriteValiflag(1); // flag 255: taken
    prompter.clear();
    EXPECT_FALSE(forRewrite(reader, prompter, 3).ok);
    EXPECT_EQ(prompter.last(), QString("电量无效，不能改写电量！"));
    EXPECT_EQ(forChangeMeter(reader, prompter, 3).carriedKwh, 0);

    prompter.clear();
    EXPECT_FALSE(forChangeMeter(reader, prompter, 4).ok);
    EXPECT_EQ(prompter.last(), QString("非本局卡！"));
    reader.WriteBurNo(0);
    EXPECT_FALSE(forRewrite(reader, prompter, 3).ok);
    EXPECT_EQ(prompter.last(), QString("卡中没有局号或者是个新卡！"));
}

TEST_F(ChecksFixture, BlankCardCheckPerCommand)
{
    struct Case {
        const char* make; // how the card on the reader is prepared
        const char *open, *reissue, *special; // message, or "" when the command goes on
    } cases[] = {
        {"blank", "", "", ""},
        {"customer", "此卡使用过,开户前请先做清卡操作!", "此卡使用过,开户前请先做清卡操作!", "此卡已经使用过，请先做清卡操作！"},
        {"test", "此卡使用过,开户前请先做清卡操作!", "此卡使用过,开户前请先做清卡操作!", "此卡已经使用过，请先做清卡操作！"},
        {"reset", "此卡使用过,开户前请先做清卡操作!", "此卡使用过,开户前请先做清卡操作!", "此卡已经使用过，请先做清卡操作！"},
        {"unreadable", "建议开户前请先做清卡操作!", "开户前请先做清卡操作!", ""},
    };
    for (const auto& c : cases) {
        auto prepare = [&] {
            reader.ClearCard();
            const QString how = c.make;
            if (how == "customer")
                card(57, 3);
            else if (how == "test")
                reader.WriteTestCard(10);
            else if (how == "reset")
                reader.WriteReset();
            else if (how == "unreadable")
                reader.failNext("GetCardType");
        };
        const std::pair<CardCommand, const char*> commands[] = {{CardCommand::OpenAccount, c.open},
                                                                {CardCommand::Reissue, c.reissue},
                                                                {CardCommand::ResetCard, c.special},
                                                                {CardCommand::TestCard, c.special}};
        for (const auto& [command, expected] : commands) {
            prepare();
            prompter.clear();
            const bool ok = forCommand(command, reader, db, prompter, 3).ok;
            EXPECT_EQ(prompter.last(), QString(expected)) << c.make;
            EXPECT_EQ(ok, QString(expected).isEmpty()) << c.make;
        }
    }
}

TEST_F(ChecksFixture, ReadCardAndReadBackBureaus)
{
    EXPECT_TRUE(forReadCard(reader, db, prompter).ok); // a blank card has no bureau: no check
    card(57, 4);
    EXPECT_FALSE(forReadCard(reader, db, prompter).ok);
    EXPECT_EQ(prompter.last(), QString("非本局用卡！"));
    reader.failNext("GetBurNo");
    EXPECT_FALSE(forReadCard(reader, db, prompter).ok);
    EXPECT_EQ(prompter.last(), QString("通讯失败！"));

    prompter.clear();
    EXPECT_FALSE(forReadBack(reader, db, prompter).ok); // the meter wrote nothing back yet
    EXPECT_EQ(prompter.last(), QString("卡中没有局号或者是个新卡！"));
    auto img = *reader.readCard("card1");
    img.backBureau = 3;
    reader.writeCard("card1", img);
    const Passed back = forReadBack(reader, db, prompter);
    EXPECT_TRUE(back.ok);
    EXPECT_EQ(back.bureau, 3);
}
