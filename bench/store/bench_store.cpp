// ombx-bench-store [CUSTOMERS [PURCHASES [DIR]]]
//
// Generates an office database of CUSTOMERS customers with PURCHASES purchases
// spread over three years, then times the statements the counter issues most,
// through the program's store and through the sqlite3 shell on the same files,
// and prints the median of each and their ratio.
#include "database.h"
#include "dates.h"
#include "sale.h"
#include "sqltext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace ombx;

namespace {

const QDate kFirstDay(2023, 1, 1);
constexpr int kDays = 3 * 365;

QString nameOf(int i) { return QStringLiteral("用户%1").arg(i); }

void generate(Database& db, int customers, int purchases)
{
    QRandomGenerator rnd(42);
    {
        Transaction tx(db, {"Usr"});
        QSqlQuery q(db.connection());
        q.prepare("INSERT INTO Usr (Usr_id, Usr_Name, Phone, Addr, BT, MtrNo, Mtr_id, Rat_id, Price_id, Card_T, Buy_T, "
                  "Remain, Alam_1, Alam_2, Dat, Optr) VALUES (?,?,?,?,'1:1',?,1,1,1,?,?,0,20,10,?,'admin')");
        for (int i = 1; i <= customers; ++i) {
            const int n = purchases / customers;
            q.addBindValue(i);
            q.addBindValue(nameOf(i));
            q.addBindValue(QStringLiteral("1380000%1").arg(i, 4, 10, QChar('0')));
            q.addBindValue(QStringLiteral("幸福路%1号").arg(i));
            q.addBindValue(QString::number(900000 + i));
            q.addBindValue(n);
            q.addBindValue(n);
            q.addBindValue(dateTimeText(QDateTime(kFirstDay, QTime(8, 0))));
            q.exec();
        }
        tx.commit();
    }
    {
        Transaction tx(db, {"UsrBuy"});
        QSqlQuery q(db.connection());
        q.prepare("INSERT INTO UsrBuy (Usr_id, Usr_Name, Buy_q, Card_T, Buy_T, Price, PMoney, Pay, Remain, Invoice, "
                  "Dat_Buy, Optr, Addr, PrintNo) VALUES (?,?,?,?,?,0.535,?,?,0,?,?,'admin',?,1)");
        // Purchases in time order, as the counter makes them.
        const qint64 span = qint64(kDays) * 86400;
        for (int k = 0; k < purchases; ++k) {
            const int user = 1 + int(rnd.bounded(customers));
            const qint64 at = span * k / purchases;
            const QDateTime when = QDateTime(kFirstDay, QTime(0, 0)).addSecs(at);
            const int kwh = 10 + int(rnd.bounded(300));
            q.addBindValue(user);
            q.addBindValue(nameOf(user));
            q.addBindValue(kwh);
            q.addBindValue(k / customers + 1);
            q.addBindValue(k / customers + 1);
            q.addBindValue(kwh * 0.535);
            q.addBindValue(kwh * 0.535);
            q.addBindValue(when.toString("yyyyMMdd") + QStringLiteral("%1").arg(k % 10000, 4, 10, QChar('0')));
            q.addBindValue(dateTimeText(when));
            q.addBindValue(QStringLiteral("幸福路%1号").arg(user));
            q.exec();
        }
        tx.commit();
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Case {
    QString name;
    QStringList tables;             // files the shell attaches
    std::function<QString(int)> sql; // the statement(s) of run i
    bool write = false;
};

// Runs each statement `runs` times in one sqlite3 shell and returns the median
// of what its timer reports (wall time, or CPU time when that is larger, since
// the wall figure is only kept to the millisecond).
double shellMedian(const QString& shell, const QString& ext, const QString& dir, const Case& c, int runs)
{
    QString script = ".load " + ext + "\n";
    for (const auto& t : c.tables)
        if (t.compare("adm", Qt::CaseInsensitive) != 0)
            script += "ATTACH " + sqlQuote(QDir(dir).filePath(t + ".db")) + " AS " + t.toLower() + ";\n";
    script += ".output /dev/null\n.timer on\n";
    for (int i = 0; i < runs; ++i)
        script += c.sql(1000 + i) + ";\n";
    QProcess p;
    p.start(shell, {QDir(dir).filePath("adm.db")});
    p.write(script.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(R"(Run Time: real ([\d.]+) user ([\d.]+) sys ([\d.]+))");
    std::vector<double> times;
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        const double real = m.captured(1).toDouble() * 1000;
        const double cpu = (m.captured(2).toDouble() + m.captured(3).toDouble()) * 1000;
        times.push_back(std::max(real, cpu));
    }
    // Statements with BEGIN/COMMIT report one time per statement: sum per run.
    if (c.write && !times.empty()) {
        const size_t per = times.size() / runs;
        std::vector<double> sums;
        for (size_t i = 0; i + per <= times.size(); i += per) {
            double s = 0;
            for (size_t j = 0; j < per; ++j)
                s += times[i + j];
            sums.push_back(s);
        }
        return median(sums);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int customers = args.size() > 1 ? args[1].toInt() : 100000;
    const int purchases = args.size() > 2 ? args[2].toInt() : 2000000;
    QTemporaryDir tmp;
    const QString dir = args.size() > 3 ? args[3] : QDir(tmp.path()).filePath("DB");

    if (!QFileInfo::exists(QDir(dir).filePath("adm.db"))) {
        installDatabase(dir);
        QElapsedTimer gen;
        gen.start();
        Database db(dir);
        generate(db, customers, purchases);
        std::printf("generated %d customers, %d purchases in %.1f s\n", customers, purchases, gen.elapsed() / 1000.0);
    }
    Database db(dir);
    const int runs = 21;
    QRandomGenerator rnd(7);

    const auto day = [](int i) { return kFirstDay.addDays(i % kDays); };
    QList<Case> cases = {
        {"customer lookup by number", {"Usr"},
         [&](int i) {
             return "Select Usr_Name,Phone,Addr,Buy_T,Card_T,BT,Rat_id,Price_id,Mtr_id,MtrNo from Usr where Usr_id=" +
                    sqlQuote(QString::number(1 + (i * 7919) % customers));
         }},
        {"day's purchase count (invoice number)", {"UsrBuy"},
         [&](int i) {
             return "Select count(*) from UsrBuy where Dat_Buy>=" + sqlQuote(dayStart(day(i * 37))) +
                    " and Dat_Buy<=" + sqlQuote(dayEnd(day(i * 37)));
         }},
        {"sale: update, invoice count, append", {"Usr", "UsrBuy"},
         [&](int i) {
             const QString u = QString::number(1 + (i * 104729) % customers);
             return "BEGIN;\nUpdate Usr set Buy_T=Buy_T+1,Card_T=Card_T+1,Remain=0.25 where Usr_id=" + sqlQuote(u) +
                    ";\nSelect count(*) From UsrBuy B Where B.Usr_id=B.Usr_id And B.Dat_Buy>=" +
                    sqlQuote(dayStart(QDate::currentDate())) + " And B.Dat_Buy<=" + sqlQuote(dayEnd(QDate::currentDate())) +
                    ";\nInsert into UsrBuy (Usr_id,Usr_Name,Buy_q,Card_T,Buy_T,Price,PMoney,Pay,Remain,Invoice,Dat_Buy,"
                    "Optr,Memo,Addr,PrintNo) values (" + u + ",'x',100,1,1,0.535,53.5,53.5,0.25,'202612110001'," +
                    sqlQuote(nowText()) + ",'admin',NULL,'addr',0);\nCOMMIT";
         },
         true},
        {"month's sales with their sum", {"UsrBuy"},
         [&](int i) {
             const QDate first = kFirstDay.addMonths(i % 36);
             return "Select Sum(Buy_q) E,Sum(PMoney) M,count(*) N from UsrBuy where Dat_Buy>=" +
                    sqlQuote(dayStart(first)) + " and Dat_Buy<=" + sqlQuote(dayEnd(first.addMonths(1).addDays(-1)));
         }},
        {"name search Like '%x%'", {"Usr"},
         [&](int i) { return "Select * from Usr where Usr_Name Like " + sqlQuote("%" + QString::number(1000 + i % 9000) + "9%"); }},
    };

    const QString shell = QStandardPaths::findExecutable("sqlite3");
    const QString ext = QDir(QCoreApplication::applicationDirPath()).filePath("libombx_datetime");
    std::printf("%-45s %12s %12s %8s\n", "statement", "store ms", "sqlite3 ms", "ratio");
    for (const auto& c : cases) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const QString sql = c.sql(1000 + i);
            QElapsedTimer t;
            t.start();
            if (c.write) {
                // The program's own way: update, the day's count for the invoice
                // number and the append, in one transaction.
                sale::Record r;
                r.user = 1 + ((1000 + i) * 104729) % customers;
                r.name = "x";
                r.address = "addr";
                r.quantity = 100;
                r.unitPrice = 0.535;
                r.feeText = r.paidText = "53.50";
                r.newBalance = "0.25";
                r.account = "admin";
                r.when = QDateTime::currentDateTime();
                sale::recordSale(db, r);
            } else {
                db.select(sql);
            }
            times.push_back(t.nsecsElapsed() / 1e6);
        }
        const double store = median(times);
        const double sh = shell.isEmpty() ? 0 : shellMedian(shell, ext, dir, c, runs);
        std::printf("%-45s %12.2f %12.2f %8.2f\n", c.name.toUtf8().constData(), store, sh, sh > 0 ? store / sh : 0.0);
    }
    return 0;
}
