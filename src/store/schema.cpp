#include "schema.h"

#include "datetime_collation.h"
#include "dates.h"
#include "errors.h"
#include "gbk.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sqlite3.h>

#include <cmath>

namespace ombx {
namespace {

using T = ColumnType;

Column I(const char* n) { return {QString::fromLatin1(n), T::Integer}; }
Column A(const char* n) { return {QString::fromLatin1(n), T::AutoNumber}; }
Column N(const char* n) { return {QString::fromLatin1(n), T::Number}; }
Column M(const char* n) { return {QString::fromLatin1(n), T::Money}; }
Column S(const char* n, int w = 0) { return {QString::fromLatin1(n), T::Text, w}; }
Column D(const char* n) { return {QString::fromLatin1(n), T::DateTime}; }
Index ix(std::initializer_list<const char*> cols, bool unique = false)
{
    Index i;
    for (auto c : cols)
        i.columns << QString::fromLatin1(c);
    i.unique = unique;
    return i;
}

// Text widths: names 40, identity-card numbers 18, receipt numbers 12, remarks
// a few hundred characters; all counted in GBK bytes.
QList<Table> makeTables()
{
    return {
        {"Usr",
         {I("Usr_id"), S("Usr_Name", 40), S("Phone", 30), S("Addr", 100), S("Per_iden", 30), S("BT", 20),
          S("MtrNo", 30), I("Mtr_id"), I("Rat_id"), I("Price_id"), I("Vlage_id"), I("Card_T"), I("Buy_T"),
          M("Remain"), I("Alam_1"), I("Alam_2"), D("Dat"), S("Optr", 20), S("Memo", 255)},
         {ix({"Usr_id"}, true), ix({"Usr_Name"})}},
        {"UsrBuy",
         {I("Usr_id"), S("Usr_Name", 40), I("Buy_q"), I("Card_T"), I("Buy_T"), N("Price"), M("PMoney"), M("Pay"),
          M("Remain"), S("Invoice", 12), D("Dat_Buy"), S("Optr", 20), S("Memo", 255), S("Addr", 100),
          I("PrintNo")},
         {ix({"Usr_id", "Buy_T"}), ix({"Dat_Buy"}), ix({"Invoice"})}},
        {"PriceType",
         {A("Price_id"), S("Price_type", 30), M("Base_P"), M("Addon_p"), M("Plus_p"), M("City_p"), M("Sanxia_p"),
          S("Memo", 50)},
         {}},
        {"MtrType",
         {I("Type_id"), S("Mtr_Type", 40), S("Mtr_spec", 40), I("Max_qant"), I("Alam_1"), I("Alam_2"),
          S("Memo", 255)},
         {ix({"Type_id"})}},
        {"MtrRating", {A("Rat_id"), I("Type_id"), N("rating"), I("const"), N("V"), I("X"), S("Memo", 255)},
         {ix({"Type_id"})}},
        {"FeeType",
         {A("ID"), I("Price_id"), S("Price_Type", 30), M("NewUser"), M("ChangeMtr"), M("Convey"), M("Move"),
          M("Fresh"), M("DelUsr"), M("Buka"), S("Memo", 255)},
         {ix({"Price_id"})}},
        {"Fee",
         {I("Usr_id"), S("Usr_Name", 40), S("Price_Type", 30), S("Fee_name", 20), M("fee"), D("Dat"),
          S("Memo", 255)},
         {ix({"Usr_id"}), ix({"Dat"})}},
        {"DelUsr",
         {I("Usr_id"), S("Usr_Name", 40), S("Mtr_Type", 90), S("Mtr_Price", 30), S("Rate", 40), I("Buy_T"),
          I("Card_T"), S("Per_iden", 30), S("Phone", 30), S("Addr", 100), D("B_Date"), D("E_Date"), I("Buy_Qant"),
          S("Optr", 20), S("Memo", 255)},
         {ix({"Usr_id"}), ix({"E_Date"})}},
        {"MoveUsr",
         {I("Usr_Id"), S("Usr_Name", 40), S("Usr_iden", 30), S("Usr_Addr", 100), S("Usr_Phone", 30), D("Move_Date"),
          S("Optr", 20), S("Memo", 255)},
         {ix({"Usr_Id"}), ix({"Move_Date"})}},
        {"AddCard",
         {I("Usr_id"), S("Usr_Name", 40), I("B_quant"), I("Add_Quant"), D("Dat"), S("Optr", 20), S("Memo", 255)},
         {ix({"Usr_id"}), ix({"Dat"})}},
        {"Retu",
         {I("Usr_id"), S("Usr_name", 40), N("Active_Eng"), N("Used_Eng"), D("Ret_Date"), I("Card_T"), S("Rate", 40),
          I("Alarm1"), I("Alarm2"), I("BurNo"), S("MtrStatus", 40), S("Memo", 255)},
         {ix({"Usr_id"}), ix({"Ret_Date"})}},
        {"WasteNum",
         {I("UsrId"), S("UsrName", 40), S("Addr", 100), I("ENum"), S("Phone", 30), S("Memo", 255), D("Dat")},
         {ix({"UsrId"}), ix({"Dat"})}},
        {"Village", {A("Id"), S("Village", 40), D("Createtime"), S("Opert", 20), S("Memo", 255)}, {}},
        {"Bur", {I("Bur_id"), S("Bur_name", 60)}, {}},
        {"adm", {S("ID", 20), S("Pwd", 20), S("Name", 40), I("Class"), S("Memo", 255)}, {ix({"ID"}, true)}},
        {"Admrec",
         {S("ID", 20), S("Name", 40), S("Class", 10), D("BeginDat"), D("EndDat"), S("Memo", 255)},
         {ix({"BeginDat"}), ix({"ID"})}},
    };
}

QString columnSql(const Column& c)
{
    switch (c.type) {
    case T::Integer: return c.name + " INTEGER";
    case T::AutoNumber: return c.name + " INTEGER PRIMARY KEY AUTOINCREMENT";
    case T::Number: return c.name + " REAL";
    case T::Money: return c.name + " REAL";
    case T::Text: return c.width > 0 ? QStringLiteral("%1 VARCHAR(%2)").arg(c.name).arg(c.width) : c.name + " TEXT";
    case T::DateTime: return c.name + " DATETIME COLLATE DATETIME";
    }
    return c.name;
}

} // namespace

const Column* Table::column(const QString& n) const
{
    for (const auto& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QVariant convertText(const Column& column, const QString& text, const QString& label)
{
    static const QRegularExpression integerRe(QStringLiteral(R"(^[-+]?\d+$)"));
    static const QRegularExpression numberRe(QStringLiteral(R"(^[-+]?(\d+(\.\d*)?|\.\d+)([eE][-+]?\d+)?$)"));
    const QString v = text.trimmed();
    if (text.isEmpty() || (column.type != ColumnType::Text && v.isEmpty()))
        return QVariant();
    switch (column.type) {
    case ColumnType::Integer:
    case ColumnType::AutoNumber: {
        bool ok = false;
        const qint64 n = integerRe.match(v).hasMatch() ? v.toLongLong(&ok) : 0;
        if (!ok)
            throw ConversionError(QStringLiteral("“%1”不是有效的整数（%2）").arg(text, label));
        return n;
    }
    case ColumnType::Number:
    case ColumnType::Money: {
        bool ok = false;
        const double d = numberRe.match(v).hasMatch() ? v.toDouble(&ok) : 0.0;
        if (!ok || !std::isfinite(d))
            throw ConversionError(QStringLiteral("“%1”不是有效的数字（%2）").arg(text, label));
        return d;
    }
    case ColumnType::DateTime: {
        const QDateTime t = parseDateTime(v);
        if (!t.isValid())
            throw ConversionError(QStringLiteral("“%1”不是有效的日期时间（%2）").arg(text, label));
        return dateTimeText(t);
    }
    case ColumnType::Text:
        if (column.width > 0 && gbkLength(text) > column.width)
            throw ConversionError(QStringLiteral("“%1”太长，%2最多 %3 个字节（一个汉字占两个字节）")
                                      .arg(text, label)
                                      .arg(column.width));
        return text;
    }
    return text;
}

const QList<Table>& tables()
{
    static const QList<Table> all = makeTables();
    return all;
}

const Table* findTable(const QString& nameOrFile)
{
    QString n = nameOrFile.trimmed();
    if (n.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        n.chop(3);
    for (const auto& t : tables())
        if (t.name.compare(n, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList createStatements(const Table& t)
{
    QStringList cols;
    for (const auto& c : t.columns)
        cols << columnSql(c);
    QStringList out{QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(", "))};
    int n = 0;
    for (const auto& i : t.indexes)
        out << QStringLiteral("CREATE %1INDEX %2_ix%3 ON %2 (%4)")
                   .arg(i.unique ? "UNIQUE " : "", t.name)
                   .arg(++n)
                   .arg(i.columns.join(", "));
    return out;
}

void installDatabase(const QString& dir, const QString& account, const QString& password)
{
    QDir d(dir);
    for (const auto& t : tables())
        if (QFileInfo::exists(d.filePath(t.fileName())))
            throw DatabaseError(QStringLiteral("%1 已经有数据库表（%2），不会覆盖。").arg(QDir::toNativeSeparators(dir), t.fileName()));
    if (!d.exists() && !QDir().mkpath(dir))
        throw DatabaseError(QStringLiteral("无法建立目录 %1").arg(QDir::toNativeSeparators(dir)));

    const QString conn = QStringLiteral("ombx-install-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QStringList written;
    try {
        for (const auto& t : tables()) {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
                db.setDatabaseName(d.filePath(t.fileName()));
                if (!db.open())
                    throw DatabaseError(db.lastError().text());
                written << d.filePath(t.fileName());
                registerDateTimeCollation(db);
                QSqlQuery q(db);
                QStringList stmts = createStatements(t);
                if (t.name == QLatin1String("adm"))
                    stmts << QStringLiteral("INSERT INTO adm (ID, Pwd, Name, Class, Memo) VALUES (%1, %2, '系统管理员', 0, '')")
                                 .arg("'" + QString(account).replace("'", "''") + "'",
                                      "'" + QString(password).replace("'", "''") + "'");
                for (const auto& s : stmts)
                    if (!q.exec(s))
                        throw DatabaseError(q.lastError().databaseText());
                db.close();
            }
            QSqlDatabase::removeDatabase(conn);
        }
    } catch (...) {
        QSqlDatabase::removeDatabase(conn);
        for (const auto& f : written)
            QFile::remove(f);
        throw;
    }
}

} // namespace ombx
