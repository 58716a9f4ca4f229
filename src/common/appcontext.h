#pragma once
#include <QDir>
#include <QString>

namespace ombx {

class Database;
class CardLibrary;
class Prompter;
class Printing;

// Village support: a fixed switch of the program, off. When on, villages are
// kept, chosen at opening and shown when selling.
inline constexpr bool kVillageSupport = false;

// What every window of the program is given: where the program lives, the
// database, the card reader, how to talk to the operator, how to print, and
// who is logged in. No globals: a test builds its own on a temporary folder.
struct AppContext {
    QString programDir;             // folder of the executable
    Database* db = nullptr;
    CardLibrary* card = nullptr;
    Prompter* prompter = nullptr;
    Printing* printing = nullptr;

    // Login values, set once at login.
    QString account;                // adm.ID typed at login
    int loginClass = 0;             // 0 administrator, 1 operator
    int bureau = 0;                 // office bureau number; 0 while Bur is empty

    QString dbDir() const { return QDir(programDir).filePath(QStringLiteral("DB")); }
    QString reportDir() const { return QDir(programDir).filePath(QStringLiteral("Report")); }
};

} // namespace ombx
