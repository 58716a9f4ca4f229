// ombx-initdb DIR [--account A --password P]
// Installs the sixteen empty tables of the office database and the first
// administrator account into DIR. Never touches a folder that holds tables.
#include "errors.h"
#include "schema.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString dir, account = QStringLiteral("admin"), password = QStringLiteral("admin");
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == "--account" || a == "--password") && i + 1 < args.size()) {
            (a == "--account" ? account : password) = args[++i];
        } else if (!a.startsWith("--") && dir.isEmpty()) {
            dir = a;
        } else {
            dir.clear();
            break;
        }
    }
    if (dir.isEmpty() || account.isEmpty()) {
        std::fprintf(stderr, "usage: ombx-initdb DIR [--account A --password P]\n");
        return 2;
    }
    try {
        ombx::installDatabase(dir, account, password);
    } catch (const ombx::DatabaseError& e) {
        std::fprintf(stderr, "ombx-initdb: %s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    std::printf("installed the office database in %s (administrator account: %s)\n", dir.toLocal8Bit().constData(),
                account.toLocal8Bit().constData());
    return 0;
}
