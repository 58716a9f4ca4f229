#include "sale.h"

#include "cardlibrary.h"
#include "cardpassword.h"
#include "database.h"
#include "unitprice.h"
#include "dates.h"
#include "sqltext.h"

#include <cmath>

namespace ombx::sale {

CtRatio parseCtRatio(const QString& bt)
{
    const int colon = bt.indexOf(QLatin1Char(':'));
    const QString a = colon < 0 ? bt : bt.left(colon);
    const QString b = colon < 0 ? bt : bt.mid(colon + 1);
    bool okA = false, okB = false;
    CtRatio r{a.trimmed().toDouble(&okA), b.trimmed().toDouble(&okB)};
    if (!okA || !okB || r.secondary == 0 || r.primary == 0)
        throw ConversionError(QStringLiteral("电表倍率“%1”不是有效的变比").arg(bt));
    return r;
}

QString money(double amount)
{
    // Half a cent rounds away from zero (0.125 shows 0.13), as amounts on
    // the office's receipts always have.
    const long double cents = std::round(static_cast<long double>(amount) * 100.0L);
    QString s = QString::number(static_cast<double>(cents / 100.0L), 'f', 2);
    if (s == QLatin1String("-0.00"))
        s = QStringLiteral("0.00");
    return s;
}

Quote byQuantity(qint64 kwh, const CtRatio& ct, double unitPrice, double balance)
{
    Quote q;
    q.quantity = kwh;
    q.fee = static_cast<double>(static_cast<long double>(kwh) * ct.primary * unitPrice / ct.secondary);
    q.feeText = money(q.fee);
    if (q.fee < balance) {
        q.newBalance = money(balance - q.fee);
        q.dueText = QStringLiteral("0");
    } else {
        q.dueText = money(q.fee - balance);
        q.newBalance = QStringLiteral("0");
    }
    return q;
}

Quote byAmount(double paid, double balance, const CtRatio& ct, double unitPrice)
{
    Quote q;
    const double total = paid + balance;
    const double exact = static_cast<double>(static_cast<long double>(total) * ct.secondary / unitPrice / ct.primary);
    q.quantity = static_cast<qint64>(std::trunc(exact));
    q.fee = static_cast<double>(static_cast<long double>(q.quantity) * unitPrice * ct.primary / ct.secondary);
    q.feeText = money(q.fee);
    q.newBalance = money(total - q.feeText.toDouble());
    return q;
}

Customer loadCustomer(Database& db, qint64 user, bool* failed)
{
    Customer c;
    *failed = false;
    try {
        const Rows u = db.select(QStringLiteral("Select Usr_Name,Phone,Addr,Buy_T,Card_T,BT,Rat_id,Price_id,Mtr_id,MtrNo,"
                                                "Vlage_id,Remain from Usr where Usr_id=") +
                                 sqlQuote(QString::number(user)));
        c.name = u.text(0, "Usr_Name");
        c.phone = u.text(0, "Phone");
        c.address = u.text(0, "Addr");
        c.buyCount = u.text(0, "Buy_T");
        c.cardCount = u.text(0, "Card_T");
        c.ct = u.text(0, "BT");
        c.meterNumber = u.text(0, "MtrNo");
        c.balance = u.isNull(0, "Remain") ? QStringLiteral("0.0") : u.text(0, "Remain");
        c.rating = db.select(QStringLiteral("Select Rating from MtrRating where Rat_id=") + sqlQuote(u.text(0, "Rat_id")))
                       .text(0, 0);
        const Rows p = db.select(QStringLiteral("Select Base_p,addon_P,plus_p,city_P,sanxia_P,price_type from PriceType "
                                                "where Price_id=") +
                                 sqlQuote(u.text(0, "Price_id")));
        c.priceType = p.text(0, "price_type");
        c.unitPrice = unitPriceOf(p, 0);
        const Rows m = db.select(QStringLiteral("Select Mtr_type,Mtr_spec,Max_qant from MtrType where Type_id =") +
                                 sqlQuote(u.text(0, "Mtr_id")));
        if (!m.isEmpty()) {
            c.meterType = m.text(0, 0) + QLatin1Char('|') + m.text(0, 1);
            c.maxPurchase = m.integer(0, 2);
        }
        if (!u.text(0, "Vlage_id").isEmpty())
            c.village = db.select(QStringLiteral("Select Village from Village where id=") + sqlQuote(u.text(0, "Vlage_id")))
                            .text(0, 0);
    } catch (const DatabaseError&) {
        *failed = true;
    }
    return c;
}

CardWrite writePurchase(CardLibrary& card, qint64 kwh, qint64 cardCount, qint64 user)
{
    if (card.WriteUserKWH(int(kwh), int(cardCount), int(user)) <= -1)
        return CardWrite::WriteFailed;
    if (card.GetValiFlag() != 0 || card.GetKWH() != kwh)
        return CardWrite::NotVerified;
    const CardPassword expected = deriveCardPassword(kwh, cardCount, user);
    unsigned char first = 0, second = 0;
    if (card.ReadPassword(&first, &second) >= 0 &&
        (first != expected.customerByte || second != expected.quantityByte))
        return CardWrite::NotVerified;
    return CardWrite::Ok;
}

QString verifyFailedMessage()
{
    return QStringLiteral("此次买电失败，擦除电能卡金属片上的赃物或者\r更换新的电能卡，接着\"清卡\"再做\"补卡\"操作！");
}

QString invoiceNumber(const QDate& day, qint64 rowsThatDay)
{
    return day.toString(QStringLiteral("yyyyMMdd")) + (QStringLiteral("0000") + QString::number(rowsThatDay + 1)).right(4);
}

QString recordSale(Database& db, const Record& r)
{
    Transaction tx(db, {QStringLiteral("Usr"), QStringLiteral("UsrBuy")});
    db.exec(QStringLiteral("Update Usr Set Card_T=%1,Buy_T=%2,Remain=%3 Where Usr_id=%4")
                .arg(sqlQuote(QString::number(r.cardCount + 1)), sqlQuote(QString::number(r.buyCount + 1)),
                     sqlQuote(r.newBalance), sqlQuote(QString::number(r.user))));
    const QDate day = r.when.date();
    const qint64 today = db.select(QStringLiteral("Select count(*) From UsrBuy B Where B.Usr_id=B.Usr_id And "
                                                  "B.Dat_Buy>=%1 And B.Dat_Buy<=%2")
                                       .arg(sqlQuote(dayStart(day)), sqlQuote(dayEnd(day))))
                             .integer(0, 0);
    const QString invoice = invoiceNumber(day, today);
    db.append(QStringLiteral("UsrBuy"), {{"Usr_id", QString::number(r.user)},
                                         {"Buy_q", QString::number(r.quantity)},
                                         {"Card_T", QString::number(r.cardCount + 1)},
                                         {"Buy_T", QString::number(r.buyCount + 1)},
                                         {"Price", QString::number(r.unitPrice, 'g', 15)},
                                         {"Usr_Name", r.name},
                                         {"PMoney", r.feeText},
                                         {"Pay", r.paidText},
                                         {"Remain", r.newBalance},
                                         {"Invoice", invoice},
                                         {"Dat_Buy", dateTimeText(r.when)},
                                         {"Optr", r.account},
                                         {"Memo", QString()},
                                         {"Addr", r.address}});
    tx.commit();
    return invoice;
}

} // namespace ombx::sale
