#include "cardpassword.h"
#include "meter.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

struct ReaderFixture : ::testing::Test {
    QTemporaryDir dir;
    VirtualCardReader reader{dir.path()};
    void SetUp() override
    {
        ASSERT_TRUE(reader.setup(2));
        ASSERT_EQ(reader.OpenUSB(), 1);
    }
    // A customer card as opening an account leaves it.
    void openAccount(int user = 57, int bureau = 3)
    {
        ASSERT_EQ(reader.WriteNewUser(2, 10, 255, user, bureau), 0);
        ASSERT_EQ(reader.M_SetType(2), 0);
    }
};

} // namespace

TEST_F(ReaderFixture, ReadsFailWithoutACardOrBeforeOpening)
{
    EXPECT_EQ(reader.GetCardType(), 0);
    reader.remove();
    EXPECT_EQ(reader.GetCardType(), -1);
    EXPECT_EQ(reader.GetUserNo(), -1);
    EXPECT_LE(reader.WriteUserKWH(10, 0, 1), -1);
    unsigned char a, b;
    EXPECT_LE(reader.ReadPassword(&a, &b), -1);
    EXPECT_EQ(reader.SanReadAckkwh(), -1.0);

    ASSERT_TRUE(reader.insert("card2"));
    reader.CloseUSB();
    EXPECT_EQ(reader.GetCardType(), -1);
    EXPECT_EQ(reader.OpenUSB(), 1);
    EXPECT_EQ(reader.GetCardType(), 0);
}

TEST_F(ReaderFixture, OpeningThenSellingWritesExactlyTheirFields)
{
    openAccount();
    EXPECT_EQ(reader.GetCardType(), 1);
    EXPECT_EQ(reader.M_ReadType(), 2);
    EXPECT_EQ(reader.GetUserNo(), 57);
    EXPECT_EQ(reader.GetBurNo(), 3);
    EXPECT_EQ(reader.GetWarn1(), 2);
    EXPECT_EQ(reader.GetWarn2(), 10);
    // A fresh account carries no valid purchase, so it can be sold to at once.
    EXPECT_EQ(reader.GetValiFlag(), 255);
    EXPECT_EQ(reader.GetKWH(), 0);

    ASSERT_EQ(reader.WriteUserKWH(120, 4, 57), 0);
    EXPECT_EQ(reader.GetValiFlag(), 0);
    EXPECT_EQ(reader.GetKWH(), 120);
    unsigned char first = 0, second = 0;
    ASSERT_EQ(reader.ReadPassword(&first, &second), 0);
    EXPECT_EQ((CardPassword{first, second}), deriveCardPassword(120, 4, 57));
    EXPECT_EQ(reader.GetUserNo(), 57); // untouched by the sale

    EXPECT_EQ(reader.WriteValiflag(1), 0);
    EXPECT_EQ(reader.GetValiFlag(), 255);
    EXPECT_EQ(reader.WriteBurNo(9), 0);
    EXPECT_EQ(reader.GetBurNo(), 9);

    EXPECT_EQ(reader.ClearCard(), 0);
    EXPECT_EQ(reader.GetCardType(), 0);
    EXPECT_EQ(reader.GetUserNo(), 0);
    EXPECT_EQ(reader.GetValiFlag(), 255);

    // A test card as the test-card command makes it: reading it back gives its
    // levels and its quantity as a purchase not yet taken.
    ASSERT_EQ(reader.WriteBurNo(3), 0);
    ASSERT_EQ(reader.WriteWarn1(15), 0);
    ASSERT_EQ(reader.WriteWarn2(255), 0);
    ASSERT_EQ(reader.WriteTestCard(9999), 0);
    EXPECT_EQ(reader.GetCardType(), 2);
    EXPECT_EQ(reader.GetBurNo(), 3);
    EXPECT_EQ(reader.GetWarn1(), 15);
    EXPECT_EQ(reader.GetWarn2(), 255);
    EXPECT_EQ(reader.GetKWH(), 9999);
    EXPECT_EQ(reader.GetValiFlag(), 0);
    EXPECT_EQ(reader.ClearCard(), 0);
    EXPECT_EQ(reader.WriteReset(), 0);
    EXPECT_EQ(reader.GetCardType(), 3);
}

TEST_F(ReaderFixture, DamagedImagesFailAsCommunicationErrorsUntilCleared)
{
    openAccount();
    const QString path = QDir(dir.path()).filePath("card1.card");
    for (const QByteArray& junk : {QByteArray("short"), QByteArray(64, '\x7f')}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        EXPECT_EQ(reader.GetCardType(), -1);
        EXPECT_EQ(reader.GetUserNo(), -1);
        EXPECT_LE(reader.WriteUserKWH(1, 0, 1), -1);
    }
    EXPECT_EQ(reader.ClearCard(), 0);
    EXPECT_EQ(reader.GetCardType(), 0);
}

TEST_F(ReaderFixture, FaultInjectionFailsTheNextCallsOnly)
{
    openAccount();
    reader.failNext("WriteUserKWH", 2);
    EXPECT_LE(reader.WriteUserKWH(10, 0, 57), -1);
    EXPECT_LE(reader.WriteUserKWH(10, 0, 57), -1);
    EXPECT_EQ(reader.GetKWH(), 0); // nothing was written
    EXPECT_EQ(reader.WriteUserKWH(10, 0, 57), 0);
    reader.failNext("OpenUSB");
    EXPECT_EQ(reader.OpenUSB(), 0);
    EXPECT_EQ(reader.OpenUSB(), 1);
}

TEST_F(ReaderFixture, MeterTakesOnlyBoundPurchasesOnceAndWritesBack)
{
    openAccount(57, 3);
    Meter meter(reader);
    ASSERT_EQ(reader.WriteUserKWH(100, 0, 57), 0);
    auto r = meter.insertCard("card1", {.useKwh = 30});
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_TRUE(r.tookPurchase);
    EXPECT_EQ(reader.GetValiFlag(), 255);
    EXPECT_EQ(reader.ReadUserNo(), 57);
    EXPECT_EQ(reader.ReadBuyTimes(), 1);
    EXPECT_EQ(reader.ReadBureadNo(), 3);
    EXPECT_EQ(reader.ReadWarn1(), 2);
    EXPECT_DOUBLE_EQ(reader.SanReadAckkwh(), 70);
    EXPECT_DOUBLE_EQ(reader.SanReadAUkwh(), 30);

    // The same index again (a replayed card) is refused.
    ASSERT_EQ(reader.WriteValiflag(0), 0);
    EXPECT_FALSE(meter.insertCard("card1").tookPurchase);
    // A purchase whose password does not bind it is refused.
    auto card = *reader.readCard("card1");
    card.validFlag = 0;
    card.index = 1;
    card.kwh = 500;
    reader.writeCard("card1", card);
    EXPECT_FALSE(meter.insertCard("card1").tookPurchase);
    // A tampered meter reports more used than it was ever sold; use stops at empty.
    r = meter.insertCard("card1", {.useKwh = 1000, .tamperKwh = 50});
    EXPECT_DOUBLE_EQ(reader.SanReadAckkwh(), 0);
    EXPECT_DOUBLE_EQ(reader.SanReadAUkwh(), 150);

    // A meter change starts the purchase index again at 0: the old meter has
    // taken index 0 already, the new one takes it.
    ASSERT_EQ(reader.WriteUserKWH(120, 0, 57), 0);
    EXPECT_FALSE(meter.insertCard("card1").tookPurchase);
    EXPECT_TRUE(meter.insertCard("card1", {.newMeter = true}).tookPurchase);
    EXPECT_EQ(reader.ReadBuyTimes(), 1);
    EXPECT_DOUBLE_EQ(reader.SanReadAckkwh(), 120);
    EXPECT_DOUBLE_EQ(reader.SanReadAUkwh(), 0);
}

TEST(CardTool, BadInputIsRefusedAndChangesNothing)
{
    QTemporaryDir dir;
    const QString tool = QDir(qEnvironmentVariable("OMBX_BUILD_BIN")).filePath("ombx-card");
    auto run = [&](const QStringList& args, QString* out = nullptr) {
        QProcess p;
        p.start(tool, QStringList{"--reader", dir.path()} + args);
        p.waitForFinished(10000);
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitCode();
    };
    ASSERT_EQ(run({"setup"}), 0);
    QString listing;
    ASSERT_EQ(run({"list"}, &listing), 0);
    EXPECT_TRUE(listing.contains("* card1")) << listing.toStdString();
    for (const QStringList& bad : {QStringList{"frobnicate"}, QStringList{"insert", "nope"},
                                   QStringList{"show", "nope"}, QStringList{"fail", "NoSuchFunction"},
                                   QStringList{"meter", "card1"}, QStringList{"new", "../escape"},
                                   QStringList{"meter", "card2", "--use", "-5"}, QStringList{"setup", "x"},
                                   QStringList{"meter", "card2", "--use"}})
        EXPECT_NE(run(bad), 0) << bad.join(' ').toStdString();
    QString after;
    run({"list"}, &after);
    EXPECT_EQ(after, listing);
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("../escape.card")));

    QString shown;
    ASSERT_EQ(run({"show"}, &shown), 0);
    EXPECT_TRUE(shown.contains("kind: blank\n")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("valid: 255\n"));
}

TEST(CardTool, ArmsFaultsAndPlaysTheMeterForTheProgramsReader)
{
    // The tool and the program share the reader through its folder.
    QTemporaryDir dir;
    const QString tool = QDir(qEnvironmentVariable("OMBX_BUILD_BIN")).filePath("ombx-card");
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.start(tool, QStringList{"--reader", dir.path()} + args);
        p.waitForFinished(10000);
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
    };
    ASSERT_EQ(run({"setup", "1"}).first, 0);
    VirtualCardReader reader(dir.path());
    ASSERT_EQ(reader.OpenUSB(), 1);
    ASSERT_EQ(reader.WriteNewUser(2, 10, 255, 57, 3), 0);
    ASSERT_EQ(reader.M_SetType(2), 0);
    ASSERT_EQ(reader.WriteUserKWH(100, 0, 57), 0);

    EXPECT_EQ(run({"fail", "GetKWH", "2"}).first, 0);
    EXPECT_EQ(reader.GetKWH(), -1);
    EXPECT_EQ(reader.GetKWH(), -1);
    EXPECT_EQ(reader.GetKWH(), 100);

    const auto [code, said] = run({"meter", "card1", "--use", "12.5", "--tamper", "40"});
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(said.contains("took 100 kWh")) << said.toStdString();
    EXPECT_EQ(reader.GetValiFlag(), 255);
    const QString shown = run({"show"}).second;
    for (const char* line : {"kind: customer\n", "user: 57\n", "valid: 255\n", "back-user: 57\n",
                             "back-remaining: 87.5\n", "back-used: 52.5\n"})
        EXPECT_TRUE(shown.contains(line)) << line << "\n" << shown.toStdString();
}
