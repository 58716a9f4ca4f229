#include "ratings.h"

#include "cellvalue.h"
#include "database.h"
#include "sqltext.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace ombx::ratings {
namespace {

const Column& ratingColumn(const QString& name) { return *findTable(QStringLiteral("MtrRating"))->column(name); }

// A box read as a decimal number (digits with an optional point; no exponent,
// as the number is also written into the statement).
long double decimal(const QString& text, const QString& title)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*[-+]?(\d+(\.\d*)?|\.\d+)\s*$)"));
    bool ok = false;
    const double d = re.match(text).hasMatch() ? text.trimmed().toDouble(&ok) : 0.0;
    if (!ok || !std::isfinite(d))
        throw ConversionError(QStringLiteral("“%1”不是有效的数字（%2）").arg(text, title));
    return d;
}

// A box read as a whole number.
long double whole(const QString& text, const QString& title)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*[-+]?\d+\s*$)"));
    bool ok = false;
    const qint64 n = re.match(text).hasMatch() ? text.trimmed().toLongLong(&ok) : 0;
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的整数（%2）").arg(text, title));
    return n;
}

const QString kRating = QStringLiteral("容量");
const QString kConstant = QStringLiteral("电表常数");
const QString kVoltage = QStringLiteral("电压");
const QString kMemo = QStringLiteral("备注");

// The remark as it enters a statement: checked against its column's width.
QString memoText(const QString& memo)
{
    cellValue(ratingColumn(QStringLiteral("Memo")), memo, kMemo);
    return sqlQuote(memo);
}

} // namespace

qint64 capacityParameter(long double rating, long double constant)
{
    const long double p = rating * 220;
    const long double v = constant * p * 20 / 1000 / 3600;
    const long double integral = std::trunc(v);
    const long double x = v == integral ? integral : integral + 1;
    if (!std::isfinite(x) || std::fabs(x) > static_cast<long double>(std::numeric_limits<qint64>::max()))
        throw ConversionError(QStringLiteral("容量参数超出范围，请检查容量和电表常数！"));
    return static_cast<qint64>(x);
}

QStringList typeEntries(Database& db)
{
    const Rows rows = db.select(QStringLiteral("Select type_id,Mtr_type,Mtr_spec from mtrtype"));
    QStringList out;
    for (int i = 0; i < rows.count(); ++i)
        out << rows.text(i, 0) + QStringLiteral(" | ") + rows.text(i, 1) + QStringLiteral(" | ") + rows.text(i, 2);
    return out;
}

QString typeCode(const QString& entry)
{
    const int bar = entry.indexOf(QLatin1Char('|'));
    return bar < 0 ? entry : entry.left(bar);
}

Rows list(Database& db)
{
    return db.select(QStringLiteral("select R.rat_id,M.mtr_type,R.rating,R.const,R.v,R.x,R.memo from mtrrating R,"
                                    "mtrtype M where M.type_id = R.type_id"));
}

QString typeOf(Database& db, const QString& ratId)
{
    return db.select(QStringLiteral("Select type_id from mtrRating where rat_id =") + sqlQuote(ratId)).text(0, 0);
}

QString add(Database& db, const Input& in)
{
    if (in.typeEntry.trimmed().isEmpty())
        return QStringLiteral("表型名称没有选择！");
    if (in.voltage.trimmed().isEmpty() || in.rating.trimmed().isEmpty() || in.constant.trimmed().isEmpty())
        return QStringLiteral("数据输入不完整，请检查！");
    const qint64 x = capacityParameter(decimal(in.rating, kRating), whole(in.constant, kConstant));
    db.exec(QStringLiteral("Insert Into MtrRating (Type_id,rating,const,V,X,Memo) values (%1,%2,%3,%4,%5,%6)")
                .arg(sqlNumber(typeCode(in.typeEntry)), sqlNumber(in.rating), sqlNumber(in.constant),
                     sqlNumber(in.voltage), sqlNumber(x), memoText(in.memo)));
    return {};
}

bool change(Database& db, const Input& in, const QString& ratId)
{
    if (in.typeEntry.trimmed().isEmpty())
        return false;
    const qint64 x = capacityParameter(whole(in.rating, kRating), decimal(in.constant, kConstant));
    // The voltage is only stored; it must still be a number (or nothing).
    const QVariant voltage = cellValue(ratingColumn(QStringLiteral("V")), in.voltage, kVoltage);
    db.exec(QStringLiteral("update mtrRating set type_id=%1,rating=%2,const=%3,v=%4,x=%5,Memo=%6 where Rat_id =%7")
                .arg(sqlQuote(typeCode(in.typeEntry).trimmed()), sqlQuote(in.rating.trimmed()),
                     sqlQuote(in.constant.trimmed()),
                     voltage.isNull() ? QStringLiteral("NULL") : sqlQuote(in.voltage.trimmed()),
                     sqlQuote(QString::number(x)), memoText(in.memo), sqlQuote(ratId)));
    return true;
}

void remove(Database& db, const QString& ratId)
{
    db.exec(QStringLiteral("Delete from mtrrating where Rat_id=%1 ").arg(sqlQuote(ratId)));
}

} // namespace ombx::ratings
