#include "database.h"

#include "dates.h"
#include "datetime_collation.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace ombx {
namespace {

// SQLite attaches at most this many files besides the main one.
constexpr int kMaxAttached = 10;

QString schemaName(const Table& t) { return t.name.toLower(); }

QSqlDatabase openFile(const QString& path, const QString& connectionName)
{
    if (!QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("数据库文件不存在：%1").arg(QDir::toNativeSeparators(path)));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DatabaseError(text);
    }
    registerDateTimeCollation(db);
    return db;
}

QString engineText(const QSqlError& e)
{
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

} // namespace

// ---------------------------------------------------------------- Rows

int Rows::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Rows::nameIndex(const QString& name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        throw DatabaseError(QStringLiteral("查询结果中没有字段 %1").arg(name));
    return i;
}

QVariant Rows::value(int row, int col) const
{
    if (row < 0 || row >= count() || col < 0 || col >= int(m_rows[row].size()))
        return QVariant();
    return m_rows[row][col];
}

QVariant Rows::value(int row, const QString& name) const { return value(row, nameIndex(name)); }

QString Rows::text(int row, int col) const
{
    const QVariant v = value(row, col);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

QString Rows::text(int row, const QString& name) const { return text(row, nameIndex(name)); }

qint64 Rows::integer(int row, int col) const
{
    const QVariant v = value(row, col);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d != qint64(d))
            throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(text(row, col)));
        return qint64(d);
    }
    bool ok = false;
    const qint64 n = v.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(v.toString()));
    return n;
}

qint64 Rows::integer(int row, const QString& name) const { return integer(row, nameIndex(name)); }

double Rows::number(int row, int col) const
{
    const QVariant v = value(row, col);
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("“%1”不是有效的数字").arg(v.toString()));
    return d;
}

double Rows::number(int row, const QString& name) const { return number(row, nameIndex(name)); }

QDateTime Rows::dateTime(int row, int col) const { return parseDateTime(text(row, col)); }
QDateTime Rows::dateTime(int row, const QString& name) const { return dateTime(row, nameIndex(name)); }

// ---------------------------------------------------------------- Database

Database::Database(const QString& dir) : m_dir(QDir(dir).absolutePath())
{
    static QAtomicInt counter;
    m_connectionName = QStringLiteral("ombx-db-%1").arg(counter.fetchAndAddRelaxed(1));
    open();
}

Database::~Database() { close(); }

void Database::open()
{
    // The account table is the main file: every install has it, and a file
    // (not memory) as the main database makes commits over several attached
    // table files atomic.
    m_mainTable = QStringLiteral("adm");
    openFile(QDir(m_dir).filePath(QStringLiteral("adm.db")), m_connectionName);
    m_attached.clear();
}

void Database::close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_attached.clear();
    m_pinned.clear();
    m_inTransaction = false;
}

void Database::reopen()
{
    close();
    open();
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase Database::connection() const
{
    if (!QSqlDatabase::contains(m_connectionName))
        throw DatabaseError(QStringLiteral("数据库没有打开"));
    return QSqlDatabase::database(m_connectionName, false);
}

QStringList Database::attachedTables() const { return m_attached; }

void Database::attach(const QString& table) { ensureAttached(table, {table}); }

void Database::touch(const QString& schema)
{
    const int i = m_attached.indexOf(schema);
    if (i >= 0 && i != m_attached.size() - 1)
        m_attached.move(i, m_attached.size() - 1);
}

void Database::ensureAttached(const QString& tableName, const QStringList& keep)
{
    const Table* t = findTable(tableName);
    if (!t)
        throw DatabaseError(QStringLiteral("no such table: %1").arg(tableName));
    if (t->name.compare(m_mainTable, Qt::CaseInsensitive) == 0)
        return;
    const QString schema = schemaName(*t);
    if (m_attached.contains(schema)) {
        touch(schema);
        return;
    }
    const QString path = QDir(m_dir).filePath(t->fileName());
    if (!QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("no such table: %1（缺少文件 %2）").arg(t->name, QDir::toNativeSeparators(path)));
    if (m_inTransaction)
        throw DatabaseError(QStringLiteral("表 %1 不在当前事务中").arg(t->name));

    QSqlDatabase db = connection();
    QSqlQuery q(db);
    // Make room: detach the table used longest ago that this statement does not need.
    while (m_attached.size() >= kMaxAttached) {
        QString victim;
        for (const auto& s : m_attached) {
            bool needed = false;
            for (const auto& k : keep)
                needed |= k.compare(s, Qt::CaseInsensitive) == 0;
            if (!needed) {
                victim = s;
                break;
            }
        }
        if (victim.isEmpty())
            throw DatabaseError(QStringLiteral("一条语句不能同时使用超过 %1 个表").arg(kMaxAttached + 1));
        if (!q.exec(QStringLiteral("DETACH DATABASE ") + victim))
            throw DatabaseError(engineText(q.lastError()));
        m_attached.removeAll(victim);
    }
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + schema);
    q.addBindValue(path);
    if (!q.exec())
        throw DatabaseError(engineText(q.lastError()));
    m_attached.append(schema);
    // A larger page cache per table file keeps the index pages of the big
    // tables (purchases) in memory between sales.
    q.exec(QStringLiteral("PRAGMA %1.cache_size=-16384").arg(schema));
}

void Database::prepareTables(const QString& sql)
{
    // Attach every table the statement names before it is prepared. Words that
    // happen to be table names (a column called DelUsr) only cost an attach.
    static const QRegularExpression word(QStringLiteral(R"([A-Za-z_][A-Za-z0-9_]*)"));
    QStringList needed;
    for (auto it = word.globalMatch(sql); it.hasNext();) {
        const QString w = it.next().captured(0);
        if (const Table* t = findTable(w); t && !needed.contains(schemaName(*t)))
            needed << schemaName(*t);
    }
    for (const auto& s : needed) {
        if (m_inTransaction || s == m_mainTable.toLower())
            touch(s);
        else
            ensureAttached(s, needed);
    }
}

template <typename F> auto Database::run(const QString& sql, F&& body)
{
    prepareTables(sql);
    static const QRegularExpression noTable(QStringLiteral(R"(no such table: (?:\w+\.)?(\w+))"));
    for (int attempt = 0;; ++attempt) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        if (q.exec(sql))
            return body(q);
        const QString err = engineText(q.lastError());
        const auto m = noTable.match(err);
        if (attempt < 3 && m.hasMatch() && findTable(m.captured(1)) && !m_inTransaction) {
            ensureAttached(m.captured(1), {m.captured(1)});
            continue;
        }
        throw DatabaseError(err);
    }
}

Rows Database::select(const QString& sql)
{
    return run(sql, [](QSqlQuery& q) {
        Rows rows;
        const QSqlRecord rec = q.record();
        QStringList names;
        for (int i = 0; i < rec.count(); ++i)
            names << rec.fieldName(i);
        rows.setColumns(names);
        while (q.next()) {
            std::vector<QVariant> row;
            row.reserve(names.size());
            for (int i = 0; i < names.size(); ++i)
                row.push_back(q.value(i));
            rows.addRow(std::move(row));
        }
        if (q.lastError().isValid())
            throw DatabaseError(engineText(q.lastError()));
        return rows;
    });
}

int Database::exec(const QString& sql)
{
    return run(sql, [](QSqlQuery& q) { return q.numRowsAffected(); });
}

qint64 Database::append(const QString& tableName, const Values& values)
{
    const Table* t = findTable(tableName);
    if (!t)
        throw DatabaseError(QStringLiteral("no such table: %1").arg(tableName));
    QStringList cols, marks;
    QVariantList bound;
    for (const auto& [name, text] : values) {
        const Column* c = t->column(name);
        if (!c)
            throw DatabaseError(QStringLiteral("表 %1 没有字段 %2").arg(t->name, name));
        if (c->type == ColumnType::AutoNumber)
            throw DatabaseError(QStringLiteral("字段 %1.%2 由表自动编号，不能赋值").arg(t->name, c->name));
        bound << convertText(*c, text, QStringLiteral("字段 %1.%2").arg(t->name, c->name));
        cols << c->name;
        marks << QStringLiteral("?");
    }
    if (!m_inTransaction)
        ensureAttached(t->name, {t->name});
    else
        touch(schemaName(*t));
    QSqlQuery q(connection());
    const QString sql = cols.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t->name)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(t->name, cols.join(','), marks.join(','));
    if (!q.prepare(sql))
        throw DatabaseError(engineText(q.lastError()));
    for (const auto& v : bound)
        q.addBindValue(v);
    if (!q.exec())
        throw DatabaseError(engineText(q.lastError()));
    return q.lastInsertId().toLongLong();
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db, const QStringList& tables) : m_db(db)
{
    if (db.m_inTransaction)
        throw DatabaseError(QStringLiteral("事务不能嵌套"));
    for (const auto& t : tables)
        db.ensureAttached(t, tables);
    QSqlQuery q(db.connection());
    if (!q.exec(QStringLiteral("BEGIN")))
        throw DatabaseError(engineText(q.lastError()));
    db.m_inTransaction = true;
    db.m_pinned = tables;
}

Transaction::~Transaction()
{
    if (m_done || !m_db.m_inTransaction)
        return;
    {
        QSqlQuery q(m_db.connection());
        q.exec(QStringLiteral("ROLLBACK"));
    }
    m_db.m_inTransaction = false;
    m_db.m_pinned.clear();
}

void Transaction::commit()
{
    QSqlQuery q(m_db.connection());
    if (!q.exec(QStringLiteral("COMMIT")))
        throw DatabaseError(engineText(q.lastError()));
    m_done = true;
    m_db.m_inTransaction = false;
    m_db.m_pinned.clear();
}

QSqlDatabase openTableConnection(const QString& dir, const QString& table, const QString& connectionName)
{
    const Table* t = findTable(table);
    if (!t)
        throw DatabaseError(QStringLiteral("no such table: %1").arg(table));
    return openFile(QDir(dir).filePath(t->fileName()), connectionName);
}

} // namespace ombx
