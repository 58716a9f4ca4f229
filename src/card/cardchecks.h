#pragma once
#include <QString>

#include <optional>

namespace ombx {

class CardLibrary;
class Database;
class Prompter;
class Rows;

// What every card command establishes before it touches a card: which card
// lies on the reader, whether it belongs to this office and whether it agrees
// with the database. Each check shows its own message (or nothing, where a
// communication failure simply lets the operator try again) and returns false
// to end the command. Database errors are not caught here: they reach the
// main window's error box like any other.
namespace checks {

enum class BlankFor { OpenAccount, Reissue, SpecialCard };
bool blankCard(CardLibrary& card, Prompter& prompter, BlankFor command);

bool customerCard(CardLibrary& card, Prompter& prompter);

enum class FlagRule { Buy, Rewrite, ChangeMeter };
// For ChangeMeter, *carriedKwh receives the purchase the meter has not taken
// yet; a failed read of it ends the command like a failed flag read.
bool validityFlag(CardLibrary& card, Prompter& prompter, FlagRule rule, int* carriedKwh = nullptr);

// The card's customer number into *user.
bool customerNumber(CardLibrary& card, Prompter& prompter, int* user);

// The bureau read from the card must be a row of Bur.
bool bureauInTable(Database& db, Prompter& prompter, int cardBureau);
// GetBurNo against the office bureau number.
bool bureauOfOffice(CardLibrary& card, Prompter& prompter, int officeBureau);

// The customer row (Usr_Name,Phone,Addr,Buy_T,Card_T,BT,Rat_id,Price_id,Mtr_id,MtrNo).
std::optional<Rows> customerRow(Database& db, Prompter& prompter, int user);

enum class ConsistencyFor { Buy, Operate };
// Compares the card's purchase (quantity and password) with the customer's
// Card_T (a text that must be a whole number; ConversionError otherwise).
bool consistency(CardLibrary& card, Prompter& prompter, const QString& cardCount, int user, ConsistencyFor use);

bool priceType(Database& db, Prompter& prompter, const QString& priceId);

// The checks of each card command, in their order. `ok` false: the command ends.
struct Passed {
    bool ok = false;
    int user = 0;        // buy: the card's customer number
    int carriedKwh = 0;  // change meter: the purchase not yet taken by the meter
    int bureau = 0;      // read-back: the bureau the meter wrote back
};

Passed forBuy(CardLibrary& card, Database& db, Prompter& prompter);
Passed forOpenAccount(CardLibrary& card, Prompter& prompter);
Passed forReissue(CardLibrary& card, Prompter& prompter);
Passed forSpecialCard(CardLibrary& card, Prompter& prompter); // reset and test cards
Passed forChangeMeter(CardLibrary& card, Prompter& prompter, int officeBureau);
Passed forRewrite(CardLibrary& card, Prompter& prompter, int officeBureau);
Passed forRefund(CardLibrary& card, Prompter& prompter, int officeBureau);
Passed forReadCard(CardLibrary& card, Database& db, Prompter& prompter);
Passed forReadBack(CardLibrary& card, Database& db, Prompter& prompter);

// The same, chosen by command, for a command table that treats every card
// command alike; each command uses only what its checks need.
enum class CardCommand { Buy, OpenAccount, Reissue, ChangeMeter, Rewrite, Refund, ReadCard, ReadBack, ResetCard, TestCard };
Passed forCommand(CardCommand command, CardLibrary& card, Database& db, Prompter& prompter, int officeBureau);

} // namespace checks
} // namespace ombx
