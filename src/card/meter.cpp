#include "meter.h"

#include "cardpassword.h"

#include <QDir>
#include <QSettings>

namespace ombx {

Meter::Result Meter::insertCard(const QString& name, double useKwh, double tamperKwh)
{
    Result r;
    auto card = m_reader.readCard(name);
    if (!card) {
        r.message = QStringLiteral("card '%1' cannot be read").arg(name);
        return r;
    }
    if (card->kind != CardImage::Customer || card->systemType != 2 || card->user == 0) {
        r.message = QStringLiteral("card '%1' is not a customer card of this system").arg(name);
        return r;
    }
    if (useKwh < 0 || tamperKwh < 0) {
        r.message = QStringLiteral("energy to use must not be negative");
        return r;
    }

    QSettings state(QDir(m_reader.folder()).filePath(QStringLiteral("meter-%1.ini").arg(card->user)),
                    QSettings::IniFormat);
    double remaining = state.value(QStringLiteral("remaining"), 0.0).toDouble();
    double used = state.value(QStringLiteral("used"), 0.0).toDouble();
    int purchases = state.value(QStringLiteral("purchases"), 0).toInt();
    QStringList taken = state.value(QStringLiteral("taken")).toStringList();

    QStringList notes;
    if (card->validFlag == 0) {
        const CardPassword expected = deriveCardPassword(card->kwh, card->index, card->user);
        const bool bound = expected.customerByte == card->password1 && expected.quantityByte == card->password2;
        const QString index = QString::number(card->index);
        if (!bound) {
            notes << QStringLiteral("purchase refused: the password does not bind it to this customer");
        } else if (taken.contains(index)) {
            notes << QStringLiteral("purchase refused: index %1 was taken before").arg(index);
        } else {
            remaining += card->kwh;
            taken << index;
            ++purchases;
            card->validFlag = 255;
            r.tookPurchase = true;
            notes << QStringLiteral("took %1 kWh (index %2)").arg(card->kwh).arg(index);
        }
    } else {
        notes << QStringLiteral("no valid purchase on the card");
    }

    const double drawn = std::min(useKwh, remaining);
    remaining -= drawn;
    used += drawn + tamperKwh;
    if (drawn > 0)
        notes << QStringLiteral("used %1 kWh").arg(drawn);
    if (tamperKwh > 0)
        notes << QStringLiteral("reports %1 kWh more used than it was sold").arg(tamperKwh);

    card->backUser = card->user;
    card->backBuyTimes = quint32(purchases);
    card->backWarn1 = card->warn1;
    card->backWarn2 = card->warn2;
    card->backBureau = card->bureau;
    card->backRemaining = remaining;
    card->backUsed = used;
    if (!m_reader.writeCard(name, *card)) {
        r.message = QStringLiteral("cannot write card '%1'").arg(name);
        return r;
    }
    state.setValue(QStringLiteral("remaining"), remaining);
    state.setValue(QStringLiteral("used"), used);
    state.setValue(QStringLiteral("purchases"), purchases);
    state.setValue(QStringLiteral("taken"), taken);
    state.sync();

    r.ok = true;
    r.message = notes.join(QStringLiteral("; ")) +
                QStringLiteral("; remaining %1 kWh, used %2 kWh").arg(remaining).arg(used);
    return r;
}

} // namespace ombx
