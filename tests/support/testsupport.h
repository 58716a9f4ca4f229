#pragma once
#include "database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace ombx {

// A temporary program folder, as the program finds itself installed: an
// installed database in DB/ (administrator admin/admin) and a Database
// opened on it. Removed with everything in it when the test ends.
class TestProgramDir {
public:
    TestProgramDir();
    QString path() const { return m_dir.path(); }
    QString dbDir() const;
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    Database& db() { return *m_db; }
    // Closes and forgets the Database (e.g. before moving the folder).
    void closeDb() { m_db.reset(); }
    void reopenDb();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace ombx
