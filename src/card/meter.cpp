#include "meter.h"

#include "cardpassword.h"

#include <QDir>
#include <QSettings>

#include <cmath>

namespace ombx {

Meter::Result Meter::insertCard(const QString& name) { return insertCard(name, Use()); }

Meter::Result Meter::insertCard(const QString& name, const Use& use)
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
    const double useKwh = use.useKwh, tamperKwh = use.tamperKwh;
    if (!(useKwh >= 0) || !(tamperKwh >= 0) || !std::isfinite(useKwh) || !std::isfinite(tamperKwh)) {
        r.message = QStringLiteral("energy must be a number of kWh, not below 0");
        return r;
    }

    QSettings state(QDir(m_reader.folder()).filePath(QStringLiteral("meter-%1.ini").arg(card->user)),
                    QSettings::IniFormat);
    // A new meter starts empty; its figures replace the old meter's once the
    // card has been written.
    const bool fresh = use.newMeter;
    double remaining = fresh ? 0.0 : state.value(QStringLiteral("remaining"), 0.0).toDouble();
    double used = fresh ? 0.0 : state.value(QStringLiteral("used"), 0.0).toDouble();
    int purchases = fresh ? 0 : state.value(QStringLiteral("purchases"), 0).toInt();
    QStringList taken = fresh ? QStringList() : state.value(QStringLiteral("taken")).toStringList();

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
    // The meter keeps its figures before it marks the card: should the card
    // write fail, the purchase stays taken in the meter and cannot be taken twice.
    state.setValue(QStringLiteral("remaining"), remaining);
    state.setValue(QStringLiteral("used"), used);
    state.setValue(QStringLiteral("purchases"), purchases);
    state.setValue(QStringLiteral("taken"), taken);
    state.sync();
    if (state.status() != QSettings::NoError) {
        r.message = QStringLiteral("cannot save the meter of customer %1").arg(card->user);
        return r;
    }
    if (!m_reader.writeCard(name, *card)) {
        r.message = QStringLiteral("cannot write card '%1'").arg(name);
        return r;
    }

    r.ok = true;
    r.message = notes.join(QStringLiteral("; ")) +
                QStringLiteral("; remaining %1 kWh, used %2 kWh").arg(remaining).arg(used);
    return r;
}

} // namespace ombx
