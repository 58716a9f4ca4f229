#pragma once
#include <QDate>
#include <QString>

namespace ombx {

class Database;

// Backing up the database folder into a folder the operator chooses, and
// restoring it from such a copy. No table is opened: both work on folders.
namespace backup {

// Where the folder dialog starts: the last backup folder kept in Path.ini when
// it still exists, else the root of the disk that holds the program.
QString startDirectory(const QString& programDir);

struct Result {
    bool ok = false;
    QString message;     // the message to show; empty for none
    QString folder;      // backup: the dated folder made
};

// Copies programDir/DB into chosen/DB and renames it to chosen/<date>
// ("(1)", "(2)" ... when taken); an existing chosen/DB is first moved to
// "DB~" or "DB(2)", "DB(3)" ... Records chosen in Path.ini.
Result backUp(const QString& programDir, const QString& chosen, const QDate& today);

// Replaces programDir/DB by a copy of `chosen` (which must hold adm.db). The
// old folder becomes "qz" and is removed at the end. Any failure leaves the
// program with a working DB folder. The caller closes its database
// connection before and reopens it after.
Result restore(const QString& programDir, const QString& chosen);

// The restore of the running program: lets go of the database's table files,
// replaces the folder and opens the database again, so that the restored
// data is used from the next statement on.
Result restore(Database& db, const QString& programDir, const QString& chosen);

// Copies a folder tree; creates the target. False when anything failed.
bool copyTree(const QString& source, const QString& target);

} // namespace backup
} // namespace ombx
