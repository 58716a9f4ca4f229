#include "cardchecks.h"

#include "cardlibrary.h"
#include "cardpassword.h"
#include "database.h"
#include "prompter.h"
#include "sqltext.h"

namespace ombx::checks {

bool blankCard(CardLibrary& card, Prompter& prompter, BlankFor command)
{
    const int type = card.GetCardType();
    if (type > 0) {
        prompter.info(command == BlankFor::SpecialCard ? QStringLiteral("此卡已经使用过，请先做清卡操作！")
                                                       : QStringLiteral("此卡使用过,开户前请先做清卡操作!"));
        return false;
    }
    if (type == -1 && command != BlankFor::SpecialCard) {
        prompter.info(command == BlankFor::OpenAccount ? QStringLiteral("建议开户前请先做清卡操作!")
                                                       : QStringLiteral("开户前请先做清卡操作!"));
        return false;
    }
    return true;
}

bool customerCard(CardLibrary& card, Prompter& prompter)
{
    if (card.M_ReadType() != 2) {
        prompter.info(QStringLiteral("通讯失败或者是空卡或者不是一表一卡的卡！"));
        return false;
    }
    return true;
}

bool validityFlag(CardLibrary& card, Prompter& prompter, FlagRule rule, int* carriedKwh)
{
    const int flag = card.GetValiFlag();
    switch (rule) {
    case FlagRule::Buy:
        if (flag == 0)
            prompter.info(QStringLiteral("电量有效,请退出！"));
        return flag != 0 && flag != -1;
    case FlagRule::Rewrite:
        if (flag == 255)
            prompter.info(QStringLiteral("电量无效，不能改写电量！"));
        return flag != 255 && flag != -1;
    case FlagRule::ChangeMeter: {
        // The purchase the old meter has not taken moves to the new meter, so
        // a failed quantity read must not carry -1 kWh into the change.
        const int kwh = flag == 0 ? card.GetKWH() : 0;
        if (flag == -1 || kwh < 0) {
            prompter.info(QStringLiteral("通讯失败，请检查！"));
            return false;
        }
        if (carriedKwh)
            *carriedKwh = kwh;
        return true;
    }
    }
    return false;
}

bool customerNumber(CardLibrary& card, Prompter& prompter, int* user)
{
    const int u = card.GetUserNo();
    if (u == 0)
        prompter.info(QStringLiteral("卡没有开户！"));
    if (u <= 0) // negative: the card could not be read; the operator tries again
        return false;
    if (user)
        *user = u;
    return true;
}

bool bureauInTable(Database& db, Prompter& prompter, int cardBureau)
{
    if (db.select(QStringLiteral("Select * from bur where Bur_id=") + sqlQuote(QString::number(cardBureau))).isEmpty()) {
        prompter.info(QStringLiteral("非本局用卡！"));
        return false;
    }
    return true;
}

bool bureauOfOffice(CardLibrary& card, Prompter& prompter, int officeBureau)
{
    const int b = card.GetBurNo();
    if (b == -1)
        return false;
    if (b == 0) {
        prompter.info(QStringLiteral("卡中没有局号或者是个新卡！"));
        return false;
    }
    if (b != officeBureau) {
        prompter.info(QStringLiteral("非本局卡！"));
        return false;
    }
    return true;
}

std::optional<Rows> customerRow(Database& db, Prompter& prompter, int user)
{
    Rows rows = db.select(QStringLiteral("Select Usr_Name,Phone,Addr,Buy_T,Card_T,BT,Rat_id,Price_id,Mtr_id,MtrNo "
                                         "from Usr where Usr_id=") +
                          sqlQuote(QString::number(user)));
    if (rows.isEmpty()) {
        prompter.info(QStringLiteral("系统没有此用户！"));
        return std::nullopt;
    }
    return rows;
}

bool consistency(CardLibrary& card, Prompter& prompter, const QString& cardCount, int user, ConsistencyFor use)
{
    bool isNumber = false;
    const qint64 n = cardCount.trimmed().isEmpty() ? 0 : cardCount.trimmed().toLongLong(&isNumber);
    if (!cardCount.trimmed().isEmpty() && !isNumber)
        throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(cardCount));
    const int k = card.GetKWH();
    if (k < 0)
        return false; // the card could not be read; the operator tries again
    if (n == 0) {
        if (k > 0) {
            prompter.info(use == ConsistencyFor::Buy ? QStringLiteral("卡中数据与系统数据不一致，请查验后再购电！")
                                                     : QStringLiteral("卡中数据与系统数据不一致，请查验后再操作！"));
            return false;
        }
        return true;
    }
    const CardPassword expected = deriveCardPassword(k, n - 1, user);
    unsigned char first = 0, second = 0;
    if (card.ReadPassword(&first, &second) <= -1)
        return true;
    if (first != expected.customerByte || second != expected.quantityByte) {
        prompter.info(QStringLiteral("卡中数据与系统数据不匹配，请查验后再购电！"));
        return false;
    }
    return true;
}

bool priceType(Database& db, Prompter& prompter, const QString& priceId)
{
    if (db.select(QStringLiteral("Select Base_p,addon_P,plus_p,city_P,sanxia_P,price_type from PriceType where "
                                 "Price_id=") +
                  sqlQuote(priceId))
            .isEmpty()) {
        prompter.info(QStringLiteral("系统没有此用户类型！"));
        return false;
    }
    return true;
}

Passed forBuy(CardLibrary& card, Database& db, Prompter& prompter)
{
    Passed p;
    if (!customerCard(card, prompter) || !validityFlag(card, prompter, FlagRule::Buy) ||
        !customerNumber(card, prompter, &p.user))
        return p;
    const int bureau = card.GetBurNo();
    if (bureau == -1 || !bureauInTable(db, prompter, bureau))
        return p;
    const auto row = customerRow(db, prompter, p.user);
    if (!row || !consistency(card, prompter, row->text(0, "Card_T"), p.user, ConsistencyFor::Buy) ||
        !priceType(db, prompter, row->text(0, "Price_id")))
        return p;
    p.ok = true;
    return p;
}

Passed forOpenAccount(CardLibrary& card, Prompter& prompter)
{
    return {blankCard(card, prompter, BlankFor::OpenAccount)};
}

Passed forReissue(CardLibrary& card, Prompter& prompter) { return {blankCard(card, prompter, BlankFor::Reissue)}; }

Passed forSpecialCard(CardLibrary& card, Prompter& prompter)
{
    return {blankCard(card, prompter, BlankFor::SpecialCard)};
}

Passed forChangeMeter(CardLibrary& card, Prompter& prompter, int officeBureau)
{
    Passed p;
    p.ok = customerCard(card, prompter) && bureauOfOffice(card, prompter, officeBureau) &&
           validityFlag(card, prompter, FlagRule::ChangeMeter, &p.carriedKwh);
    return p;
}

Passed forRewrite(CardLibrary& card, Prompter& prompter, int officeBureau)
{
    return {customerCard(card, prompter) && bureauOfOffice(card, prompter, officeBureau) &&
            validityFlag(card, prompter, FlagRule::Rewrite)};
}

Passed forRefund(CardLibrary& card, Prompter& prompter, int officeBureau)
{
    return forRewrite(card, prompter, officeBureau);
}

Passed forReadCard(CardLibrary& card, Database& db, Prompter& prompter)
{
    const int bureau = card.GetBurNo();
    if (bureau == -1) {
        prompter.info(QStringLiteral("通讯失败！"));
        return {};
    }
    return {bureau == 0 || bureauInTable(db, prompter, bureau)};
}

Passed forReadBack(CardLibrary& card, Database& db, Prompter& prompter)
{
    Passed p;
    if (!customerCard(card, prompter))
        return p;
    p.bureau = card.ReadBureadNo();
    if (p.bureau == -1)
        return p;
    if (p.bureau == 0) {
        prompter.info(QStringLiteral("卡中没有局号或者是个新卡！"));
        return p;
    }
    p.ok = bureauInTable(db, prompter, p.bureau);
    return p;
}

Passed forCommand(CardCommand command, CardLibrary& card, Database& db, Prompter& prompter, int officeBureau)
{
    switch (command) {
    case CardCommand::Buy: return forBuy(card, db, prompter);
    case CardCommand::OpenAccount: return forOpenAccount(card, prompter);
    case CardCommand::Reissue: return forReissue(card, prompter);
    case CardCommand::ChangeMeter: return forChangeMeter(card, prompter, officeBureau);
    case CardCommand::Rewrite: return forRewrite(card, prompter, officeBureau);
    case CardCommand::Refund: return forRefund(card, prompter, officeBureau);
    case CardCommand::ReadCard: return forReadCard(card, db, prompter);
    case CardCommand::ReadBack: return forReadBack(card, db, prompter);
    case CardCommand::ResetCard:
    case CardCommand::TestCard: return forSpecialCard(card, prompter);
    }
    return {};
}

} // namespace ombx::checks
