#include "virtualreader.h"

#include "cardpassword.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

namespace ombx {
namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

} // namespace

VirtualCardReader::VirtualCardReader(const QString& folder) : m_folder(QDir(folder).absolutePath()) {}

QString VirtualCardReader::defaultFolder(const QString& programDir)
{
    const QString env = qEnvironmentVariable("OMBX_READER");
    return env.isEmpty() ? QDir(programDir).filePath(QStringLiteral("Reader")) : env;
}

bool VirtualCardReader::validName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-]{1,40}$"));
    return re.match(name).hasMatch();
}

QString VirtualCardReader::cardPath(const QString& name) const
{
    return QDir(m_folder).filePath(name + QStringLiteral(".card"));
}

bool VirtualCardReader::newCard(const QString& name, QString* error)
{
    if (!validName(name)) {
        if (error)
            *error = QStringLiteral("invalid card name '%1' (letters, digits, '-' and '_')").arg(name);
        return false;
    }
    if (QFileInfo::exists(cardPath(name))) {
        if (error)
            *error = QStringLiteral("card '%1' already exists").arg(name);
        return false;
    }
    if (!QDir().mkpath(m_folder) || !writeCard(name, CardImage::blank())) {
        if (error)
            *error = QStringLiteral("cannot write card '%1' in %2").arg(name, m_folder);
        return false;
    }
    return true;
}

bool VirtualCardReader::insert(const QString& name, QString* error)
{
    if (!validName(name) || !QFileInfo::exists(cardPath(name))) {
        if (error)
            *error = QStringLiteral("no card '%1' in %2").arg(name, m_folder);
        return false;
    }
    if (!replaceFile(QDir(m_folder).filePath(QStringLiteral("slot")), name.toUtf8() + '\n')) {
        if (error)
            *error = QStringLiteral("cannot use the reader folder %1").arg(m_folder);
        return false;
    }
    return true;
}

bool VirtualCardReader::remove()
{
    return replaceFile(QDir(m_folder).filePath(QStringLiteral("slot")), QByteArray());
}

QString VirtualCardReader::cardOnReader() const
{
    const QString name = QString::fromUtf8(readAll(QDir(m_folder).filePath(QStringLiteral("slot")))).trimmed();
    return validName(name) && QFileInfo::exists(cardPath(name)) ? name : QString();
}

QStringList VirtualCardReader::cards() const
{
    QStringList out;
    for (const auto& f : QDir(m_folder).entryInfoList({QStringLiteral("*.card")}, QDir::Files, QDir::Name))
        out << f.completeBaseName();
    return out;
}

std::optional<CardImage> VirtualCardReader::readCard(const QString& name) const
{
    if (!validName(name))
        return std::nullopt;
    return CardImage::decode(readAll(cardPath(name)));
}

bool VirtualCardReader::writeCard(const QString& name, const CardImage& card) const
{
    return validName(name) && replaceFile(cardPath(name), card.encode());
}

bool VirtualCardReader::failNext(const QString& function, int count)
{
    const QString path = QDir(m_folder).filePath(QStringLiteral("faults"));
    QStringList lines;
    for (const auto& line : QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (line.section(QLatin1Char(' '), 0, 0) != function)
            lines << line;
    if (count > 0)
        lines << QStringLiteral("%1 %2").arg(function).arg(count);
    return QDir().mkpath(m_folder) &&
           replaceFile(path, lines.isEmpty() ? QByteArray() : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

bool VirtualCardReader::takeFault(const char* function)
{
    const QString path = QDir(m_folder).filePath(QStringLiteral("faults"));
    if (!QFileInfo::exists(path))
        return false;
    const QString name = QString::fromLatin1(function);
    QStringList lines;
    bool hit = false;
    for (const auto& line : QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int count = line.section(QLatin1Char(' '), 1, 1).toInt();
        if (line.section(QLatin1Char(' '), 0, 0) == name && count > 0) {
            hit = true;
            if (count > 1)
                lines << QStringLiteral("%1 %2").arg(name).arg(count - 1);
        } else {
            lines << line;
        }
    }
    if (hit)
        replaceFile(path, lines.isEmpty() ? QByteArray() : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return hit;
}

bool VirtualCardReader::setup(int blanks, QString* error)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("cannot create the reader folder %1").arg(m_folder);
        return false;
    }
    if (cards().isEmpty()) {
        for (int i = 1; i <= blanks; ++i)
            if (!newCard(QStringLiteral("card%1").arg(i), error))
                return false;
        return blanks == 0 || insert(QStringLiteral("card1"), error);
    }
    return true;
}

template <typename R>
R VirtualCardReader::read(const char* function, R failure, const std::function<R(const CardImage&)>& f)
{
    if (takeFault(function) || !m_open)
        return failure;
    const QString name = cardOnReader();
    if (name.isEmpty())
        return failure;
    const auto card = readCard(name);
    return card ? f(*card) : failure;
}

int VirtualCardReader::write(const char* function, const std::function<bool(CardImage&)>& change)
{
    if (takeFault(function) || !m_open)
        return -1;
    const QString name = cardOnReader();
    if (name.isEmpty())
        return -1;
    auto card = readCard(name);
    if (!card || !change(*card))
        return -1;
    return writeCard(name, *card) ? 0 : -1;
}

int VirtualCardReader::OpenUSB()
{
    if (takeFault("OpenUSB"))
        return 0;
    QFileInfo info(m_folder);
    m_open = (info.isDir() || QDir().mkpath(m_folder)) && QFileInfo(m_folder).isWritable();
    return m_open ? 1 : 0;
}

int VirtualCardReader::CloseUSB()
{
    m_open = false;
    return 0;
}

int VirtualCardReader::GetCardType()
{
    return read<int>("GetCardType", -1, [](const CardImage& c) { return int(c.kind); });
}

int VirtualCardReader::M_ReadType()
{
    return read<int>("M_ReadType", -1, [](const CardImage& c) { return int(c.systemType); });
}

int VirtualCardReader::GetUserNo()
{
    return read<int>("GetUserNo", -1, [](const CardImage& c) { return int(c.user); });
}

int VirtualCardReader::GetBurNo()
{
    return read<int>("GetBurNo", -1, [](const CardImage& c) { return int(c.bureau); });
}

int VirtualCardReader::GetKWH()
{
    return read<int>("GetKWH", -1, [](const CardImage& c) { return int(c.kwh); });
}

int VirtualCardReader::GetValiFlag()
{
    return read<int>("GetValiFlag", -1, [](const CardImage& c) { return int(c.validFlag); });
}

int VirtualCardReader::GetWarn1()
{
    return read<int>("GetWarn1", -1, [](const CardImage& c) { return int(c.warn1); });
}

int VirtualCardReader::GetWarn2()
{
    return read<int>("GetWarn2", -1, [](const CardImage& c) { return int(c.warn2); });
}

int VirtualCardReader::ReadPassword(unsigned char* first, unsigned char* second)
{
    return read<int>("ReadPassword", -1, [&](const CardImage& c) {
        if (first)
            *first = c.password1;
        if (second)
            *second = c.password2;
        return 0;
    });
}

int VirtualCardReader::ReadUserNo()
{
    return read<int>("ReadUserNo", -1, [](const CardImage& c) { return int(c.backUser); });
}

int VirtualCardReader::ReadBuyTimes()
{
    return read<int>("ReadBuyTimes", -1, [](const CardImage& c) { return int(c.backBuyTimes); });
}

int VirtualCardReader::ReadWarn1()
{
    return read<int>("ReadWarn1", -1, [](const CardImage& c) { return int(c.backWarn1); });
}

int VirtualCardReader::ReadWarn2()
{
    return read<int>("ReadWarn2", -1, [](const CardImage& c) { return int(c.backWarn2); });
}

int VirtualCardReader::ReadBureadNo()
{
    return read<int>("ReadBureadNo", -1, [](const CardImage& c) { return int(c.backBureau); });
}

double VirtualCardReader::SanReadAckkwh()
{
    return read<double>("SanReadAckkwh", -1.0, [](const CardImage& c) { return c.backRemaining; });
}

double VirtualCardReader::SanReadAUkwh()
{
    return read<double>("SanReadAUkwh", -1.0, [](const CardImage& c) { return c.backUsed; });
}

int VirtualCardReader::M_SetType(int type)
{
    return write("M_SetType", [=](CardImage& c) {
        if (type < 0 || type > 255)
            return false;
        c.systemType = quint8(type);
        return true;
    });
}

int VirtualCardReader::WriteUserKWH(int kwh, int index, int user)
{
    return write("WriteUserKWH", [=](CardImage& c) {
        if (kwh < 0 || user < 0)
            return false;
        const CardPassword p = deriveCardPassword(kwh, index, user);
        c.kwh = quint32(kwh);
        c.index = index;
        c.validFlag = 0;
        c.password1 = p.customerByte;
        c.password2 = p.quantityByte;
        return true;
    });
}

int VirtualCardReader::WriteNewUser(int warn1, int warn2, int capacity, int user, int bureau)
{
    return write("WriteNewUser", [=](CardImage& c) {
        if (warn1 < 0 || warn1 > 255 || warn2 < 0 || warn2 > 255 || capacity < 0 || capacity > 255 || user < 0 ||
            bureau < 0 || bureau > 65535)
            return false;
        CardImage fresh;
        fresh.kind = CardImage::Customer;
        fresh.systemType = c.systemType;
        fresh.user = quint32(user);
        fresh.bureau = quint16(bureau);
        fresh.warn1 = quint8(warn1);
        fresh.warn2 = quint8(warn2);
        fresh.capacity = quint8(capacity);
        c = fresh; // no purchase yet: flag 255, kWh 0
        return true;
    });
}

int VirtualCardReader::WriteValiflag(int flag)
{
    return write("WriteValiflag", [=](CardImage& c) {
        c.validFlag = flag == 0 ? 0 : 255;
        return true;
    });
}

int VirtualCardReader::WriteBurNo(int bureau)
{
    return write("WriteBurNo", [=](CardImage& c) {
        if (bureau < 0 || bureau > 65535)
            return false;
        c.bureau = quint16(bureau);
        return true;
    });
}

int VirtualCardReader::WriteWarn1(int warn1)
{
    return write("WriteWarn1", [=](CardImage& c) {
        if (warn1 < 0 || warn1 > 255)
            return false;
        c.warn1 = quint8(warn1);
        return true;
    });
}

int VirtualCardReader::WriteWarn2(int warn2)
{
    return write("WriteWarn2", [=](CardImage& c) {
        if (warn2 < 0 || warn2 > 255)
            return false;
        c.warn2 = quint8(warn2);
        return true;
    });
}

int VirtualCardReader::WriteCapacity(int capacity)
{
    return write("WriteCapacity", [=](CardImage& c) {
        if (capacity < 0 || capacity > 255)
            return false;
        c.capacity = quint8(capacity);
        return true;
    });
}

int VirtualCardReader::WriteTestCard(int kwh)
{
    return write("WriteTestCard", [=](CardImage& c) {
        if (kwh < 0)
            return false;
        // The test quantity is the card's purchase, valid until a meter takes
        // it, so reading the card shows it like a customer's purchase.
        c.kind = CardImage::Test;
        c.kwh = quint32(kwh);
        c.validFlag = 0;
        return true;
    });
}

int VirtualCardReader::WriteReset()
{
    return write("WriteReset", [](CardImage& c) {
        c.kind = CardImage::Reset;
        return true;
    });
}

int VirtualCardReader::ClearCard()
{
    // Clearing rewrites the whole card, so it also mends a damaged image.
    if (takeFault("ClearCard") || !m_open)
        return -1;
    const QString name = cardOnReader();
    return !name.isEmpty() && writeCard(name, CardImage::blank()) ? 0 : -1;
}

} // namespace ombx
