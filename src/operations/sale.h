#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

namespace ombx {

class CardLibrary;
class Database;

// The figures of one sale at the counter, and how a sale is recorded.
namespace sale {

// A meter's current-transformer ratio "primary:secondary" (100:5); a text
// without ":" is both parts, ratio 1.
struct CtRatio {
    double primary = 1;
    double secondary = 1;
};
// Throws ConversionError when a part is not a number.
CtRatio parseCtRatio(const QString& bt);

// Money as the office writes it: two decimals, rounded.
QString money(double amount);

struct Quote {
    qint64 quantity = 0;  // kWh
    double fee = 0;       // cost of the quantity, unrounded
    QString feeText;      // fee, two decimals
    QString dueText;      // by quantity only: what the customer pays now
    QString newBalance;   // balance left after the sale
};

// Fee of a quantity; the customer's balance is used before new money is asked.
Quote byQuantity(qint64 kwh, const CtRatio& ct, double unitPrice, double balance);
// Whole kWh the money and the balance buy; what buys no whole kWh stays as balance.
Quote byAmount(double paid, double balance, const CtRatio& ct, double unitPrice);

// Receipt number: the day as yyyyMMdd and the last four digits of the day's
// purchase rows + 1 (the 10000th row of a day gets 0000).
QString invoiceNumber(const QDate& day, qint64 rowsThatDay);

// What the buy window shows of the customer, with the maximum purchase of the
// meter type and the unit price of the price type.
struct Customer {
    QString name, priceType, meterNumber, ct, cardCount, meterType, buyCount, phone, address, rating, village;
    QString balance;        // "0.0" when the customer has none
    qint64 maxPurchase = 0; // 0 when the meter type is missing: every quantity is refused
    double unitPrice = 0;
};
// Loads the customer step by step; a database error stops the loading where
// it happened and sets *failed (the window then shows "数据库打开失败！").
Customer loadCustomer(Database& db, qint64 user, bool* failed);

// Writes the purchase onto the card and reads it back.
enum class CardWrite { Ok, WriteFailed, NotVerified };
CardWrite writePurchase(CardLibrary& card, qint64 kwh, qint64 cardCount, qint64 user);

// The message shown when the card does not hold what was written.
QString verifyFailedMessage();

// Everything the purchase row and the customer update need.
struct Record {
    qint64 user = 0;
    QString name;
    QString address;
    qint64 quantity = 0;
    qint64 cardCount = 0;   // Card_T before the sale
    qint64 buyCount = 0;    // Buy_T before the sale
    double unitPrice = 0;
    QString feeText;
    QString paidText;
    QString newBalance;
    QString account;        // login account
    QDateTime when;
};

// Records a sale whose card write was verified: raises the customer's
// counters, stores the new balance, numbers the receipt and appends the
// purchase row, all in one transaction. Returns the invoice number. Throws
// DatabaseError and leaves both tables as they were when any step fails.
QString recordSale(Database& db, const Record& r);

} // namespace sale
} // namespace ombx
