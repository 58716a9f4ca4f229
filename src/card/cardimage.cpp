#include "cardimage.h"

#include <QtEndian>

#include <cstring>

namespace ombx {
namespace {

constexpr char kMagic[4] = {'O', 'M', 'C', 'D'};
constexpr quint8 kVersion = 1;

quint16 crc16(const char* data, int n)
{
    quint16 crc = 0xFFFF;
    for (int i = 0; i < n; ++i) {
        crc ^= quint8(data[i]);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

template <typename T> void put(QByteArray& b, int at, T v) { qToLittleEndian(v, b.data() + at); }
template <typename T> T get(const QByteArray& b, int at) { return qFromLittleEndian<T>(b.constData() + at); }

void putDouble(QByteArray& b, int at, double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, 8);
    put<quint64>(b, at, bits);
}

double getDouble(const QByteArray& b, int at)
{
    const quint64 bits = get<quint64>(b, at);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

} // namespace

QByteArray CardImage::encode() const
{
    QByteArray b(kSize, '\0');
    std::memcpy(b.data(), kMagic, 4);
    b[4] = char(kVersion);
    b[5] = char(kind);
    b[6] = char(systemType);
    b[7] = char(validFlag);
    put<quint32>(b, 8, user);
    put<quint16>(b, 12, bureau);
    b[14] = char(warn1);
    b[15] = char(warn2);
    b[16] = char(capacity);
    put<quint32>(b, 18, kwh);
    put<qint32>(b, 22, index);
    b[26] = char(password1);
    b[27] = char(password2);
    put<quint32>(b, 32, backUser);
    put<quint32>(b, 36, backBuyTimes);
    b[40] = char(backWarn1);
    b[41] = char(backWarn2);
    put<quint16>(b, 42, backBureau);
    putDouble(b, 44, backRemaining);
    putDouble(b, 52, backUsed);
    put<quint16>(b, 62, crc16(b.constData(), 62));
    return b;
}

std::optional<CardImage> CardImage::decode(const QByteArray& b)
{
    if (b.size() != kSize || std::memcmp(b.constData(), kMagic, 4) != 0 || quint8(b[4]) != kVersion)
        return std::nullopt;
    if (get<quint16>(b, 62) != crc16(b.constData(), 62))
        return std::nullopt;
    CardImage c;
    c.kind = quint8(b[5]);
    if (c.kind > Reset)
        return std::nullopt;
    c.systemType = quint8(b[6]);
    c.validFlag = quint8(b[7]);
    c.user = get<quint32>(b, 8);
    c.bureau = get<quint16>(b, 12);
    c.warn1 = quint8(b[14]);
    c.warn2 = quint8(b[15]);
    c.capacity = quint8(b[16]);
    c.kwh = get<quint32>(b, 18);
    c.index = get<qint32>(b, 22);
    c.password1 = quint8(b[26]);
    c.password2 = quint8(b[27]);
    c.backUser = get<quint32>(b, 32);
    c.backBuyTimes = get<quint32>(b, 36);
    c.backWarn1 = quint8(b[40]);
    c.backWarn2 = quint8(b[41]);
    c.backBureau = get<quint16>(b, 42);
    c.backRemaining = getDouble(b, 44);
    c.backUsed = getDouble(b, 52);
    return c;
}

QString CardImage::kindName() const
{
    switch (kind) {
    case Blank: return QStringLiteral("blank");
    case Customer: return QStringLiteral("customer");
    case Test: return QStringLiteral("test");
    case Reset: return QStringLiteral("reset");
    }
    return QStringLiteral("unknown");
}

} // namespace ombx
