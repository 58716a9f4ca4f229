#include "testsupport.h"

#include <QDir>

namespace ombx {

TestProgramDir::TestProgramDir()
{
    installDatabase(dbDir());
    reopenDb();
}

QString TestProgramDir::dbDir() const { return QDir(m_dir.path()).filePath(QStringLiteral("DB")); }

void TestProgramDir::reopenDb()
{
    m_db.reset();
    m_db = std::make_unique<Database>(dbDir());
}

} // namespace ombx
