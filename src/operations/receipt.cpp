#include "receipt.h"

#include "appcontext.h"
#include "capitals.h"
#include "printing.h"
#include "prompter.h"
#include "report.h"
#include "sale.h"
#include "sqltext.h"


namespace ombx::receipt {

namespace {
const char* const kColumns = "B.Usr_id,B.Usr_Name,B.Buy_q,B.PMoney,B.Invoice,U.Addr,U.Phone,U.MtrNo,U.Per_iden,U.BT,"
                             "P.Price_type,B.Dat_Buy,B.Optr";

// Shows "请先安装打印机！" when the workstation has no printer.
bool printerReady(AppContext& ctx)
{
    if (ctx.printing->hasPrinter())
        return true;
    ctx.prompter->notice(QStringLiteral("请先安装打印机！"));
    return false;
}
} // namespace

Rows saleRow(Database& db, qint64 user)
{
    return db.select(QStringLiteral("Select ") + QString::fromLatin1(kColumns) + QStringLiteral(" ,P.Base_P,P.Addon_p,P.Plus_p,P.City_p,P.Sanxia_p") +
                     QStringLiteral(" ,B.Price,B.Remain,B.Buy_T") + QStringLiteral(" from Usr U") +
                     QStringLiteral(" left outer join Usrbuy B on U.Usr_id=B.Usr_id and U.Card_T=B.Card_T and "
                                    "U.Buy_T=B.Buy_T") +
                     QStringLiteral(" left outer join PriceType p on U.Price_id=P.Price_id") +
                     QStringLiteral(" where U.Usr_id=") + sqlQuote(QString::number(user)));
}

Rows reprintRow(Database& db, const QString& user, const QString& buyT)
{
    return db.select(QStringLiteral("Select ") + QString::fromLatin1(kColumns) + QStringLiteral(" ") +
                     QStringLiteral(" ,P.Base_P,P.Addon_p,P.Plus_p,P.City_p,P.Sanxia_p") +
                     QStringLiteral(" ,B.Price,B.Pay,B.Remain ") + QStringLiteral(" from Usrbuy B") +
                     QStringLiteral(" left outer join Usr U on U.Usr_id=B.Usr_id ") +
                     QStringLiteral(" left outer join PriceType p on U.Price_id=P.Price_id ") +
                     QStringLiteral(" where B.Usr_id=") + sqlQuote(user) + QStringLiteral(" and B.Buy_T=") +
                     sqlQuote(buyT));
}

QString twoDecimals(const QString& amount) { return sale::money(amount.trimmed().toDouble()); }

Report make(const AppContext& ctx, const QString& templateName, const Rows& row, const QString& remainLast,
            const QString& total)
{
    QMap<QString, QString> variables;
    if (!remainLast.isNull())
        variables.insert(QStringLiteral("RemainLast"), sqlQuote(remainLast.trimmed()));
    variables.insert(QStringLiteral("totalcurr"), sqlQuote(total));
    variables.insert(QStringLiteral("BigNum"), sqlQuote(amountInCapitals(total.toDouble())));
    return Report::fromTemplate(templatePath(reportDirectory(ctx.programDir), templateName), DataSet::fromRows(row),
                                variables);
}

void printAfterSale(AppContext& ctx, qint64 user, const QString& remainLast, const QString& paid)
{
    Rows row;
    try {
        row = saleRow(*ctx.db, user);
    } catch (const DatabaseError&) {
        ctx.prompter->info(QStringLiteral("数据库打开失败！"));
        return;
    }
    if (!printerReady(ctx))
        return;
    const QString buyT = row.text(0, "Buy_T");
    ctx.printing->preview(make(ctx, QStringLiteral("收款凭据"), row, remainLast, twoDecimals(paid)));
    ctx.db->exec(QStringLiteral("Update Usrbuy Set PrintNo=%1 Where Usr_id=%2 and Buy_T=%3")
                     .arg(sqlQuote(QStringLiteral("1")), sqlQuote(QString::number(user)), sqlQuote(buyT)));
}

Rows customer(Database& db, const QString& user)
{
    return db.select(QStringLiteral("Select usr_name,Mtrno,Addr,Price_id from Usr where Usr_id=") +
                     sqlQuote(user.trimmed()));
}

Rows purchases(Database& db, const QString& user)
{
    return db.select(QStringLiteral("Select buy_t,buy_q,pmoney,Price,dat_buy,PrintNo,memo,optr from Usrbuy where Usr_id=") +
                     sqlQuote(user.trimmed()));
}

bool reprint(AppContext& ctx, const QString& user, const QString& buyT, const QString& printNo)
{
    const qint64 n = printNo.trimmed().toLongLong() + 1;
    Rows row;
    try {
        row = reprintRow(*ctx.db, user.trimmed(), buyT);
    } catch (const DatabaseError&) {
        ctx.prompter->info(QStringLiteral("数据库打开失败！"));
        return false;
    }
    if (!printerReady(ctx))
        return false;
    const QString total = twoDecimals(row.text(0, "Pay"));
    ctx.printing->preview(make(ctx, QStringLiteral("收款凭据补打"), row, QString(), total));
    ctx.db->exec(QStringLiteral("Update Usrbuy Set PrintNo=%1 Where Usr_id=%2 and Buy_T=%3")
                     .arg(sqlQuote(QString::number(n)), sqlQuote(user.trimmed()), sqlQuote(buyT)));
    return true;
}

} // namespace ombx::receipt
