#include "openaccount.h"

#include "appcontext.h"
#include "cardlibrary.h"
#include "database.h"
#include "dates.h"
#include "sqltext.h"

namespace ombx::openaccount {

namespace {
KeyedList keyed(const Rows& rows, int keyColumn, const std::function<QString(int)>& entry)
{
    KeyedList list;
    for (int r = 0; r < rows.count(); ++r) {
        list.entries << entry(r);
        list.keys << rows.text(r, keyColumn);
    }
    return list;
}

bool toNumber(const QString& text, double* value)
{
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok;
}
} // namespace

KeyedList meterTypes(Database& db)
{
    const Rows rows = db.select(QStringLiteral("Select type_id,Mtr_type,Mtr_Spec from MtrType "));
    return keyed(rows, 0, [&](int r) { return rows.text(r, 1) + QLatin1Char('|') + rows.text(r, 2); });
}

KeyedList priceTypes(Database& db)
{
    const Rows rows = db.select(QStringLiteral("Select Price_id,Price_type from pricetype "));
    return keyed(rows, 0, [&](int r) { return rows.text(r, 1); });
}

KeyedList villages(Database& db)
{
    const Rows rows = db.select(QStringLiteral("Select id,Village from Village "));
    return keyed(rows, 0, [&](int r) { return rows.text(r, 1); });
}

qint64 nextCustomerNumber(Database& db)
{
    const Rows rows = db.select(QStringLiteral("Select Max(Usr_id) from Usr "));
    return rows.isEmpty() ? 1 : rows.integer(0, 0) + 1;
}

bool usesCurrentTransformer(const QString& meterTypeText) { return meterTypeText.contains(QStringLiteral("1.5(6)")); }

QStringList defaultAlarms(Database& db, const QString& typeKey)
{
    const Rows rows = db.select(QStringLiteral("Select Alam_1,Alam_2 from Mtrtype where type_id = ") + sqlQuote(typeKey));
    return {rows.text(0, 0).trimmed(), rows.text(0, 1).trimmed()};
}

KeyedList ratingsOf(Database& db, const QString& typeKey)
{
    const Rows rows = db.select(QStringLiteral("Select rat_id,rating from mtrrating where type_id =") + sqlQuote(typeKey));
    if (rows.isEmpty())
        return {{QStringLiteral("50")}, {QStringLiteral("8")}};
    return keyed(rows, 0, [&](int r) { return rows.text(r, 1); });
}

Result open(Database& db, CardLibrary& card, const Form& f, const QString& account)
{
    Result r;
    for (const QString* box : {&f.ctPrimary, &f.ctSecondary}) {
        double v = 0;
        if (!toNumber(*box, &v)) {
            r.message = QStringLiteral("电流互感器倍率（CT）有非法字符！");
            return r;
        }
        if (v == 0) {
            r.message = QStringLiteral("电流互感器倍率（CT）不能为0！");
            return r;
        }
    }
    if (f.ratingText.isEmpty() || f.priceTypeText.isEmpty() || f.meterTypeText.isEmpty()) {
        r.message = QStringLiteral("用户类型、电表类型、容量不能为空！");
        return r;
    }
    if (f.meterTypeKey.isEmpty()) {
        // A typed meter type that is none of the listed ones: the account needs a real type.
        r.message = QStringLiteral("电表类型“%1”不在表型列表中，请从列表中选择电表类型！").arg(f.meterTypeText);
        return r;
    }
    bool ok = false;
    const QString alarm = f.alarm.trimmed();
    const int a1 = alarm.left(alarm.size() - 1).toInt(&ok);
    if (!ok || alarm.isEmpty())
        throw ConversionError(QStringLiteral("“%1”不是有效的报警电量").arg(f.alarm));
    if (a1 > 99) {
        r.message = QStringLiteral("报警电量不能超过990kWh");
        return r;
    }
    const int a2 = f.cutOff.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的拉闸电量").arg(f.cutOff));
    const qint64 user = f.customerNumber.trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的用户号").arg(f.customerNumber));
    const int bureau = int(db.select(QStringLiteral("Select bur_id from bur")).integer(0, 0));

    if (card.WriteNewUser(a1, a2, 255, int(user), bureau) == -1 || card.M_SetType(2) == -1) {
        r.message = QStringLiteral("写卡失败！");
        return r;
    }
    Values row = {{"Usr_id", f.customerNumber},
                  {"Usr_name", f.name},
                  {"phone", f.phone},
                  {"MtrNo", f.meterNumber},
                  {"addr", f.address},
                  {"Card_T", QStringLiteral("0")},
                  {"Buy_T", QStringLiteral("0")},
                  {"Per_iden", f.identity},
                  {"Mtr_id", f.meterTypeKey},
                  {"BT", f.ctPrimary + QLatin1Char(':') + f.ctSecondary},
                  {"Rat_id", f.ratingKey},
                  {"Price_id", f.priceTypeKey},
                  {"Dat", nowText()},
                  {"Optr", account},
                  {"Memo", f.memo},
                  {"Alam_1", f.alarm},
                  {"Alam_2", f.cutOff}};
    if (kVillageSupport && !f.villageKey.isEmpty())
        row.append({"Vlage_id", f.villageKey});
    db.append(QStringLiteral("Usr.db"), row);
    r.opened = true;
    r.message = QStringLiteral("开户成功！");
    return r;
}

} // namespace ombx::openaccount
