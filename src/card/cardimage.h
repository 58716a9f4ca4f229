#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace ombx {

// The contents of one card, as its 64-byte memory image holds them
// (docs/card-layout.md gives the bytes).
struct CardImage {
    enum Kind : quint8 { Blank = 0, Customer = 1, Test = 2, Reset = 3 };

    quint8 kind = Blank;
    quint8 systemType = 0;      // 2: customer card of this system
    quint8 validFlag = 255;     // 0: purchase not yet taken by the meter; 255: taken / none
    quint32 user = 0;
    quint16 bureau = 0;
    quint8 warn1 = 0;           // alarm level, tens of kWh
    quint8 warn2 = 0;           // cut-off level, kWh
    quint8 capacity = 0;
    quint32 kwh = 0;            // purchase quantity; on a test card its test quantity
    qint32 index = 0;           // purchase sequence index
    quint8 password1 = 0;       // customer byte
    quint8 password2 = 0;       // quantity byte

    // Written back by the meter.
    quint32 backUser = 0;
    quint32 backBuyTimes = 0;
    quint8 backWarn1 = 0;
    quint8 backWarn2 = 0;
    quint16 backBureau = 0;
    double backRemaining = 0;
    double backUsed = 0;

    static constexpr int kSize = 64;

    QByteArray encode() const;
    // nullopt for an image that is not a sound card (wrong size, mark or checksum).
    static std::optional<CardImage> decode(const QByteArray& bytes);

    static CardImage blank() { return {}; }
    QString kindName() const;
};

} // namespace ombx
