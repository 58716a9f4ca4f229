#include "capitals.h"

#include "errors.h"

#include <QLocale>

#include <cmath>

namespace ombx {
namespace {

const QString kDigits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
// The unit of each of the seventeen places, most significant first; the
// units place is 元.
const QString kUnits = QStringLiteral("万仟佰拾万仟佰拾亿仟佰拾万仟佰拾元");
const QChar kZero = kDigits[0];
const QChar kYuan(u'元');
const QChar kWan(u'万');
const QChar kYi(u'亿');

bool isSectionUnit(QChar u) { return u == kYuan || u == kWan || u == kYi; }

ConversionError notAnAmount(double amount)
{
    return ConversionError(QStringLiteral("金额 %1 不能写成大写：只能有两位小数，整数部分最多十七位")
                               .arg(QString::number(amount, 'g', 17)));
}

// The integer part written with its units. Zeros inside a section become one
// 零, zeros before 元/万/亿 are not written, a 万 section of four zeros after
// 亿 drops its 万, and an amount of whole 万 gets no 元.
QString integerPart(const QString& digits)
{
    const int length = digits.size();
    QString s;
    QString previous;
    for (int k = 0; k < length; ++k) {
        const int d = digits[k].digitValue();
        QString t = kDigits[d];
        QChar u = kUnits[kUnits.size() - length + k];
        QChar z = s.isEmpty() ? QChar() : s.back();
        if (d == 0 && (z == kZero || previous == kZero || isSectionUnit(u)))
            t.clear();
        if (d == 0 && !isSectionUnit(u))
            u = QChar();
        if (isSectionUnit(u) && z == kZero && d == 0) {
            s.chop(1);
            z = s.isEmpty() ? QChar() : s.back();
            if ((u == kYuan && z == kWan) || (u == kWan && z == kYi))
                u = QChar();
        }
        s += t;
        if (!u.isNull())
            s += u;
        previous = t;
    }
    // The lone 元 of an integer part 0.
    if (s.size() == 1)
        s.clear();
    return s;
}

} // namespace

QString amountInCapitals(double amount)
{
    if (!std::isfinite(amount))
        throw notAnAmount(amount);
    const bool negative = amount < 0;
    const double x = negative ? -amount : amount;

    // The shortest decimal text that reads back as the same number: 1234.56
    // is "1234.56" although the double lies a hair below it, so cents are
    // counted exactly instead of through a subtraction that rounds.
    const QString text = QString::number(x, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    if (whole.size() > kUnits.size() || fraction.size() > 2)
        throw notAnAmount(amount);
    const int cents = (fraction + QStringLiteral("00")).left(2).toInt();

    QString s = integerPart(whole);
    if (cents >= 1 && cents <= 9) {
        s += kZero;
        s += kDigits[cents];
        s += u'分';
    } else if (cents >= 10) {
        s += kDigits[cents / 10];
        s += u'角';
        if (cents % 10 != 0) {
            s += kDigits[cents % 10];
            s += u'分';
        }
    }
    if (x == 0)
        s = QStringLiteral("零元");
    if (negative)
        s.prepend(u'负');
    if (!s.contains(u'角') && !s.contains(u'分'))
        s += u'整';
    return s;
}

} // namespace ombx
