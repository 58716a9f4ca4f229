#include "ratings.h"

#include "database.h"
#include "sqltext.h"

#include <QRegularExpression>

#include <cmath>

namespace ombx::ratings {
namespace {

long double decimal(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*[-+]?(\d+(\.\d*)?|\.\d+)\s*$)"));
    if (!re.match(text).hasMatch())
        throw ConversionError(QStringLiteral("“%1”不是有效的数字").arg(text));
    return text.trimmed().toDouble();
}

long double whole(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*[-+]?\d+\s*$)"));
    if (!re.match(text).hasMatch())
        throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(text));
    return text.trimmed().toLongLong();
}

} // namespace

qint64 capacityParameter(long double rating, long double constant)
{
    const long double p = rating * 220;
    const long double v = constant * p * 20 / 1000 / 3600;
    const long double whole = std::trunc(v);
    return qint64(v == whole ? whole : whole + 1);
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

QString add(Database& db, const Input& in)
{
    if (in.typeEntry.trimmed().isEmpty())
        return QStringLiteral("表型名称没有选择！");
    if (in.voltage.trimmed().isEmpty() || in.rating.trimmed().isEmpty() || in.constant.trimmed().isEmpty())
        return QStringLiteral("数据输入不完整，请检查！");
    const qint64 x = capacityParameter(decimal(in.rating), whole(in.constant));
    db.exec(QStringLiteral("Insert Into MtrRating (Type_id,rating,const,V,X,Memo) values (%1,%2,%3,%4,%5,%6)")
                .arg(sqlNumber(typeCode(in.typeEntry)), sqlNumber(in.rating), sqlNumber(in.constant),
                     sqlNumber(in.voltage), sqlNumber(x), sqlQuote(in.memo)));
    return {};
}

void change(Database& db, const Input& in, const QString& ratId)
{
    if (in.typeEntry.trimmed().isEmpty())
        return;
    const qint64 x = capacityParameter(whole(in.rating), decimal(in.constant));
    db.exec(QStringLiteral("update mtrRating set type_id=%1,rating=%2,const=%3,v=%4,x=%5,Memo=%6 where Rat_id =%7")
                .arg(sqlQuote(typeCode(in.typeEntry).trimmed()), sqlQuote(in.rating), sqlQuote(in.constant),
                     sqlQuote(in.voltage), sqlQuote(QString::number(x)), sqlQuote(in.memo), sqlQuote(ratId)));
}

void remove(Database& db, const QString& ratId)
{
    db.exec(QStringLiteral("Delete from mtrrating where Rat_id=%1 ").arg(sqlQuote(ratId)));
}

} // namespace ombx::ratings
