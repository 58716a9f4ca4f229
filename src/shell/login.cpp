#include "login.h"

#include "database.h"
#include "dates.h"
#include "sqltext.h"

namespace ombx::login {

QStringList accounts(Database& db)
{
    const Rows rows = db.select(QStringLiteral("Select ID from adm "));
    QStringList out;
    for (int i = 0; i < rows.count(); ++i)
        out << rows.text(i, 0);
    return out;
}

Attempt check(Database& db, const QString& account, const QString& password, int classPosition)
{
    Attempt a;
    if (classPosition < 0 || classPosition > 1) {
        a.message = QStringLiteral("请选择用户类别！");
        return a;
    }
    const QString cls = QString::number(classOfPosition(classPosition));
    if (db.select(QStringLiteral("Select * from adm where ID =") + sqlQuote(account)).isEmpty()) {
        a.outcome = Attempt::NoAccount;
        a.message = QStringLiteral("用户帐号不存在，请重新输入！");
        return a;
    }
    const Rows named = db.select(QStringLiteral("Select Name from adm where ID=") + sqlQuote(account) +
                                 QStringLiteral("  and Pwd = ") + sqlQuote(password));
    if (named.isEmpty()) {
        a.outcome = Attempt::WrongPassword;
        a.message = QStringLiteral("用户密码输入错误，请重新输入！");
        return a;
    }
    a.name = named.text(0, 0);
    if (db.select(QStringLiteral("Select * from adm where ID=") + sqlQuote(account) + QStringLiteral("  and Pwd = ") +
                  sqlQuote(password) + QStringLiteral(" and class = ") + cls)
            .isEmpty()) {
        a.outcome = Attempt::WrongClass;
        a.message = QStringLiteral("用户类别输入错误！");
        return a;
    }
    a.outcome = Attempt::Ok;
    return a;
}

int officeBureau(Database& db)
{
    return int(db.select(QStringLiteral("Select Bur_id From Bur")).integer(0, 0));
}

qint64 record(Database& db, const QString& account, const QString& name, const QString& classCaption)
{
    return db.append(QStringLiteral("Admrec.db"), {{"ID", account},
                                                  {"Class", classCaption},
                                                  {"Name", name},
                                                  {"BeginDat", nowText()},
                                                  {"EndDat", QString()},
                                                  {"Memo", QStringLiteral("非正常退出！")}});
}

void recordExit(Database& db, qint64 recordId)
{
    db.exec(QStringLiteral("Update Admrec Set EndDat=%1,Memo=%2 Where rowid=%3")
                .arg(sqlQuote(nowText()), sqlQuote(QStringLiteral("正常退出")), sqlNumber(recordId)));
}

} // namespace ombx::login
