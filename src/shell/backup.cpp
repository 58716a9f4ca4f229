#include "backup.h"

#include "database.h"
#include "dates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStorageInfo>

namespace ombx::backup {
namespace {

QString settingsPath(const QString& programDir) { return QDir(programDir).filePath(QStringLiteral("Path.ini")); }

QString freeName(const QString& base, const QString& first, int firstNumber, const QString& pattern)
{
    if (!first.isEmpty() && !QFileInfo::exists(first))
        return first;
    for (int n = firstNumber;; ++n) {
        const QString candidate = base + pattern.arg(n);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool renameWithRetries(const QString& from, const QString& to)
{
    for (int attempt = 0; attempt < 20; ++attempt)
        if (QDir().rename(from, to))
            return true;
    return false;
}

bool removeWithRetries(const QString& dir)
{
    for (int attempt = 0; attempt < 20 && QFileInfo::exists(dir); ++attempt)
        QDir(dir).removeRecursively();
    return !QFileInfo::exists(dir);
}

// True when `dir` is `folder` itself or lies somewhere inside it. A copy of
// the database into a folder of its own would copy its own copy again and
// again, so such a target is refused like the database folder itself.
bool isInside(const QString& dir, const QString& folder)
{
    const QString d = QFileInfo(dir).canonicalFilePath();
    const QString f = QFileInfo(folder).canonicalFilePath();
    return !d.isEmpty() && !f.isEmpty() && (d == f || d.startsWith(f + QLatin1Char('/')));
}

} // namespace

QString startDirectory(const QString& programDir)
{
    if (QFileInfo::exists(settingsPath(programDir))) {
        QSettings ini(settingsPath(programDir), QSettings::IniFormat);
        const QString dir = ini.value(QStringLiteral("path/selectdir")).toString();
        if (!dir.isEmpty() && QFileInfo(dir).isDir())
            return dir;
    }
    return QStorageInfo(programDir).rootPath();
}

bool copyTree(const QString& source, const QString& target)
{
    QDir src(source);
    if (!src.exists() || !QDir().mkpath(target))
        return false;
    for (const QFileInfo& entry : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString to = QDir(target).filePath(entry.fileName());
        if (entry.isDir() ? !copyTree(entry.filePath(), to) : !QFile::copy(entry.filePath(), to))
            return false;
    }
    return true;
}

Result backUp(const QString& programDir, const QString& chosen, const QDate& today)
{
    Result r;
    const QString dbDir = QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("DB")));
    const QString target = QDir::cleanPath(QDir(chosen).filePath(QStringLiteral("DB")));
    if (target.compare(dbDir, Qt::CaseInsensitive) == 0 || QFileInfo(target) == QFileInfo(dbDir) ||
        isInside(chosen, dbDir)) {
        r.message = QStringLiteral("不能把数据备份到系统目录下，数据备份不成功！");
        return r;
    }
    if (QFileInfo::exists(target)) {
        const QString aside = freeName(target, target + QStringLiteral("~"), 2, QStringLiteral("(%1)"));
        if (!QDir().rename(target, aside)) {
            r.message = QStringLiteral("不能把已有的目录%1改名，数据备份不成功！").arg(QDir::toNativeSeparators(target));
            return r;
        }
    }
    if (!QDir().mkpath(chosen)) {
        r.message = QStringLiteral("不能创建目录%1\r\n或无该目录权限").arg(QDir::toNativeSeparators(chosen));
        return r;
    }
    if (!copyTree(dbDir, target)) {
        QDir(target).removeRecursively();
        r.message = QStringLiteral("不能创建目录%1\r\n或无该目录权限").arg(QDir::toNativeSeparators(target));
        return r;
    }
    const QString dated = QDir(chosen).filePath(dateText(today));
    r.folder = freeName(dated, dated, 1, QStringLiteral("(%1)"));
    if (!QDir().rename(target, r.folder)) {
        r.message = QStringLiteral("数据已复制到%1，但不能改名为%2！")
                        .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(r.folder));
        r.folder = target;
        return r;
    }
    QSettings ini(settingsPath(programDir), QSettings::IniFormat);
    ini.setValue(QStringLiteral("path/selectdir"), QDir(chosen).absolutePath());
    ini.sync();
    r.ok = true;
    r.message = QStringLiteral("数据备份成功！");
    return r;
}

Result restore(const QString& programDir, const QString& chosen)
{
    Result r;
    if (!QFileInfo::exists(QDir(chosen).filePath(QStringLiteral("adm.db")))) {
        r.message = QStringLiteral("数据库文件选择不正确，注意数据库目录必须双击！");
        return r;
    }
    const QDir program(programDir);
    const QString dbDir = program.filePath(QStringLiteral("DB"));
    const QString old = program.filePath(QStringLiteral("qz"));
    // The copy is made first under a name of its own, so that the working
    // database is only moved aside once a complete copy stands ready.
    const QString incoming = program.filePath(QStringLiteral("DB.restoring"));
    QDir(incoming).removeRecursively();
    if (!copyTree(chosen, incoming)) {
        QDir(incoming).removeRecursively();
        r.message = QStringLiteral("文件恢复失败！");
        return r;
    }
    // A "qz" left behind by an earlier run goes only now, after the copy:
    // the operator may have chosen that very folder to restore from.
    removeWithRetries(old);
    if (QFileInfo::exists(dbDir) && !renameWithRetries(dbDir, old)) {
        QDir(incoming).removeRecursively();
        r.message = QStringLiteral("文件恢复失败！");
        return r;
    }
    if (!renameWithRetries(incoming, dbDir)) {
        renameWithRetries(old, dbDir);
        QDir(incoming).removeRecursively();
        r.message = QStringLiteral("文件恢复失败！");
        return r;
    }
    removeWithRetries(old);
    r.ok = true;
    r.message = QStringLiteral("数据库恢复成功！");
    return r;
}

Result restore(Database& db, const QString& programDir, const QString& chosen)
{
    db.close();
    const Result r = restore(programDir, chosen);
    db.reopen();
    return r;
}

} // namespace ombx::backup
