#pragma once
#include <QString>
#include <QStringList>

namespace ombx {

class CardLibrary;
class Database;

// Opening a customer account: the lists the window offers, the next
// customer number, and writing the card and then the customer row.
namespace openaccount {

// A drop-down list and the keys aligned with its entries.
struct KeyedList {
    QStringList entries;
    QStringList keys;
    QString keyOf(int index) const { return index >= 0 && index < keys.size() ? keys[index] : QString(); }
};

KeyedList meterTypes(Database& db);   // "Mtr_type|Mtr_Spec" → Type_id
KeyedList priceTypes(Database& db);   // Price_type → Price_id
KeyedList villages(Database& db);     // Village → id
// The highest customer number + 1; 1 for an empty table.
qint64 nextCustomerNumber(Database& db);

// A meter type whose name and 规格 (Mtr_spec) contain "1.5(6)" is used with a
// current transformer: the CT boxes are shown.
bool usesCurrentTransformer(const QString& meterTypeText);

// The default alarm and cut-off quantities of a meter type (texts as stored;
// empty when the type has none).
QStringList defaultAlarms(Database& db, const QString& typeKey);
// The ratings of a meter type; with none, the single rating "50" (key 8).
KeyedList ratingsOf(Database& db, const QString& typeKey);

struct Form {
    QString customerNumber;
    QString name, phone, identity, meterNumber, address, memo;
    QString meterTypeText, meterTypeKey;   // key empty: the typed text matches no listed type
    QString priceTypeText, priceTypeKey;
    QString ratingText, ratingKey;
    QString alarm, cutOff;                 // as shown: "990", "255"
    QString ctPrimary = QStringLiteral("1"), ctSecondary = QStringLiteral("1");
    QString villageKey;
};

// Checks the form, writes the card (account, then the customer-card mark)
// and appends the customer row, in that order. Returns the message to show:
// "开户成功！" when the account is open, else the reason nothing (or only
// the card) was written. Throws ConversionError for an alarm or cut-off
// quantity that is not a number, DatabaseError when the row cannot be stored.
struct Result {
    bool opened = false;
    QString message;
};
Result open(Database& db, CardLibrary& card, const Form& form, const QString& account);

} // namespace openaccount
} // namespace ombx
