#include "cardpassword.h"

#include <QString>

namespace ombx {
namespace {

// The substitution tables of this card system; the card reader and every
// meter hold the same ones. A serves the quantity byte, B the customer byte.
const char* const kTableA[128] = {
    "f7", "4B", "35", "94", "95", "CD", "d2", "40", "6C", "dc", "69", "F7", "6e", "AC", "48", "fd",
    "B6", "49", "26", "9B", "87", "b5", "95", "18", "b2", "85", "95", "59", "48", "69", "52", "96",
    "F9", "f3", "BB", "DF", "c3", "F5", "6B", "ce", "AA", "27", "99", "F6", "79", "7a", "F6", "AB",
    "8a", "2F", "90", "b5", "68", "04", "70", "EC", "9D", "ca", "AD", "D1", "60", "E7", "4E", "d9",
    "27", "54", "2d", "8F", "98", "8f", "EE", "75", "81", "7C", "1E", "0f", "74", "D1", "cb", "64",
    "6F", "a6", "02", "73", "88", "71", "20", "b9", "E0", "81", "b6", "D0", "B7", "9b", "90", "29",
    "11", "CC", "9F", "cb", "27", "45", "ca", "BE", "F9", "35", "6D", "70", "17", "63", "39", "1d",
    "06", "A7", "87", "0A", "1A", "5d", "7E", "F6", "ed", "7A", "7D", "05", "B4", "45", "aa", "34",
};
const char* const kTableB[128] = {
    "44", "DF", "FF", "90", "02", "0D", "70", "90", "FC", "79", "80", "B6", "55", "93", "4C", "4c",
    "D3", "FA", "f0", "34", "A6", "44", "47", "31", "9e", "24", "49", "1d", "EE", "C1", "c4", "7C",
    "A7", "95", "6A", "28", "7a", "F6", "BF", "29", "8E", "B2", "c0", "16", "0C", "4f", "61", "BA",
    "8e", "AC", "2A", "01", "05", "55", "f6", "4F", "AC", "20", "3F", "44", "cb", "1F", "EB", "80",
    "CF", "05", "e3", "7F", "35", "44", "DA", "54", "ad", "30", "4B", "72", "67", "94", "42", "B9",
    "FB", "36", "EF", "D8", "98", "73", "A6", "e9", "95", "7A", "68", "96", "3E", "77", "56", "83",
    "ec", "10", "55", "0d", "21", "51", "13", "B3", "CE", "da", "88", "BA", "81", "5D", "C3", "82",
    "90", "DE", "32", "6A", "40", "5a", "F6", "0F", "18", "65", "25", "04", "AE", "C6", "55", "E9",
};

int hexDigit(QChar c)
{
    const int v = QString(c).toInt(nullptr, 16);
    return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')) ? v : 0;
}

// Two characters of a number's decimal text, read as one hexadecimal byte.
int pairAsHex(qint64 value, int width, int first)
{
    const QString text = (QString(width, QLatin1Char('0')) + QString::number(value)).right(width);
    return hexDigit(text[first]) * 16 + hexDigit(text[first + 1]);
}

int tableByte(const char* entry) { return QString::fromLatin1(entry).toInt(nullptr, 16); }

} // namespace

CardPassword deriveCardPassword(qint64 kwh, qint64 index, qint64 user)
{
    const int i = int(index & 127);
    CardPassword p;
    p.quantityByte = quint8((pairAsHex(kwh, 6, 3) ^ tableByte(kTableA[i])) & 0xFF);
    p.customerByte = quint8((pairAsHex(user, 8, 6) ^ tableByte(kTableB[i])) & 0xFF);
    return p;
}

} // namespace ombx
