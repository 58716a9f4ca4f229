#pragma once
#include <QString>
#include <QStringList>

namespace ombx {

class Database;

// Checking a login against the account table and recording it.
namespace login {

// The classes of the login window's list, by position.
inline const QStringList kClassCaptions = {QStringLiteral("操作员"), QStringLiteral("管理员")};
// Class digit of a list position: the first item (操作员) is class 1, the second 0.
inline int classOfPosition(int position) { return position == 0 ? 1 : 0; }

QStringList accounts(Database& db);

struct Attempt {
    enum Outcome { Ok, NoClass, NoAccount, WrongPassword, WrongClass } outcome = NoClass;
    QString name;      // the account's name on success
    QString message;   // what the login window shows on failure
};
// classPosition: 0 操作员, 1 管理员, -1 nothing chosen.
Attempt check(Database& db, const QString& account, const QString& password, int classPosition);

// Bur_id of the first Bur row; 0 while the office has no bureau.
int officeBureau(Database& db);

// Appends the login record; returns its row id so that a normal exit can
// complete it.
qint64 record(Database& db, const QString& account, const QString& name, const QString& classCaption);
// Completes the login record at a normal exit: the end time and "正常退出".
void recordExit(Database& db, qint64 recordId);

} // namespace login
} // namespace ombx
