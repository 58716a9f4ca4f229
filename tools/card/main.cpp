// ombx-card [--reader DIR] COMMAND: the virtual card reader and the customer's
// meter from the shell. The reader is DIR, else $OMBX_READER, else the folder
// Reader beside this tool (and beside the program).
#include "cardpassword.h"
#include "meter.h"
#include "virtualreader.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cmath>

namespace {

using namespace ombx;

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

int fail(const QString& message)
{
    QTextStream(stderr) << "ombx-card: " << message.trimmed() << "\n";
    return 1;
}

const char* const kUsage =
    "usage: ombx-card [--reader DIR] COMMAND\n"
    "  setup [N]              make the reader usable; an empty reader gets N blank cards (3), the first on it\n"
    "  new NAME               make a blank card\n"
    "  insert NAME            put the card on the reader (taking any other off)\n"
    "  remove                 take the card off the reader\n"
    "  list                   the cards, * marks the one on the reader\n"
    "  show [NAME]            the card (default: the one on the reader), field by field\n"
    "  fail FUNCTION [COUNT]  the next COUNT (1) calls of the card function fail; 0 disarms\n"
    "  meter NAME [--use KWH] [--tamper KWH] [--new-meter]\n"
    "                         the customer puts the card into the meter: it takes a valid purchase,\n"
    "                         uses KWH, reports KWH more used than sold (--tamper), or is a\n"
    "                         newly installed meter (--new-meter); it writes its figures back\n"
    "The reader is DIR, else $OMBX_READER, else the folder Reader beside this tool.\n";

const QStringList kFunctions = {
    "OpenUSB",      "CloseUSB",     "GetCardType",   "M_ReadType",    "M_SetType",    "GetUserNo",  "GetBurNo",
    "GetKWH",       "GetValiFlag",  "GetWarn1",      "GetWarn2",      "ReadPassword", "ReadUserNo", "ReadBuyTimes",
    "ReadWarn1",    "ReadWarn2",    "ReadBureadNo",  "SanReadAckkwh", "SanReadAUkwh", "WriteUserKWH",
    "WriteNewUser", "WriteValiflag", "WriteBurNo",   "WriteWarn1",    "WriteWarn2",   "WriteCapacity",
    "WriteTestCard", "WriteReset",  "ClearCard",
};

void show(const CardImage& c)
{
    const CardPassword p{c.password1, c.password2};
    out() << "kind: " << c.kindName() << "\n"
          << "type: " << c.systemType << "\n"
          << "user: " << c.user << "\n"
          << "bureau: " << c.bureau << "\n"
          << "warn1: " << c.warn1 << "\n"
          << "warn2: " << c.warn2 << "\n"
          << "capacity: " << c.capacity << "\n"
          << "kwh: " << c.kwh << "\n"
          << "index: " << c.index << "\n"
          << "valid: " << c.validFlag << "\n"
          << "password: " << QString::asprintf("%02X %02X", p.customerByte, p.quantityByte) << "\n"
          << "back-user: " << c.backUser << "\n"
          << "back-buy-times: " << c.backBuyTimes << "\n"
          << "back-warn1: " << c.backWarn1 << "\n"
          << "back-warn2: " << c.backWarn2 << "\n"
          << "back-bureau: " << c.backBureau << "\n"
          << "back-remaining: " << c.backRemaining << "\n"
          << "back-used: " << c.backUsed << "\n";
}

bool readNumber(const QString& text, double* value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && *value >= 0 && std::isfinite(*value);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString folder;
    if (args.size() >= 2 && args[0] == "--reader") {
        folder = args[1];
        args = args.mid(2);
    }
    if (folder.isEmpty())
        folder = VirtualCardReader::defaultFolder(QCoreApplication::applicationDirPath());
    if (args.isEmpty())
        return fail(QString("no command\n") + kUsage);
    if (args[0] == "help" || args[0] == "--help") {
        out() << kUsage;
        return 0;
    }

    VirtualCardReader reader(folder);
    const QString command = args.takeFirst();
    QString error;

    if (command == "setup" && args.size() <= 1) {
        bool ok = true;
        const int n = args.isEmpty() ? 3 : args[0].toInt(&ok);
        if (!ok || n < 0 || n > 99)
            return fail(QString("bad number of blank cards '%1' (0 to 99)").arg(args[0]));
        if (!reader.setup(n, &error))
            return fail(error);
        out() << "reader " << folder << ": " << reader.cards().join(' ') << "; on the reader: "
              << (reader.cardOnReader().isEmpty() ? QString("none") : reader.cardOnReader()) << "\n";
        return 0;
    }
    if (command == "new" && args.size() == 1)
        return reader.newCard(args[0], &error) ? 0 : fail(error);
    if (command == "insert" && args.size() == 1)
        return reader.insert(args[0], &error) ? 0 : fail(error);
    if (command == "remove" && args.isEmpty()) {
        return reader.remove() ? 0 : fail(QString("cannot use the reader folder %1").arg(folder));
    }
    if (command == "list" && args.isEmpty()) {
        const QString on = reader.cardOnReader();
        for (const auto& name : reader.cards()) {
            const auto card = reader.readCard(name);
            out() << (name == on ? "* " : "  ") << name << "  "
                  << (card ? card->kindName() + (card->user ? QString(" user %1").arg(card->user) : QString())
                           : QString("unreadable"))
                  << "\n";
        }
        return 0;
    }
    if (command == "show" && args.size() <= 1) {
        const QString name = args.isEmpty() ? reader.cardOnReader() : args[0];
        if (name.isEmpty())
            return fail("no card on the reader");
        const auto card = reader.readCard(name);
        if (!card)
            return fail(QString("card '%1' is missing or unreadable").arg(name));
        show(*card);
        return 0;
    }
    if (command == "fail" && (args.size() == 1 || args.size() == 2)) {
        if (!kFunctions.contains(args[0]))
            return fail(QString("unknown card function '%1'").arg(args[0]));
        bool ok = true;
        const int count = args.size() == 2 ? args[1].toInt(&ok) : 1;
        if (!ok || count < 0)
            return fail(QString("bad count '%1'").arg(args[1]));
        return reader.failNext(args[0], count) ? 0 : fail(QString("cannot use the reader folder %1").arg(folder));
    }
    if (command == "meter" && !args.isEmpty()) {
        const QString name = args.takeFirst();
        Meter::Use use;
        while (!args.isEmpty()) {
            const QString option = args.takeFirst();
            if (option == "--new-meter") {
                use.newMeter = true;
                continue;
            }
            double* target = option == "--use" ? &use.useKwh : option == "--tamper" ? &use.tamperKwh : nullptr;
            if (!target)
                return fail(QString("unknown option '%1'").arg(option));
            if (args.isEmpty() || !readNumber(args.takeFirst(), target))
                return fail(QString("%1 needs a number of kWh, not below 0").arg(option));
        }
        const Meter::Result r = Meter(reader).insertCard(name, use);
        if (!r.ok)
            return fail(r.message);
        out() << r.message << "\n";
        return 0;
    }
    return fail(QString("unknown command or wrong arguments: %1\n").arg(command) + kUsage);
}
