// OMBX256: the sales program of the electricity supply office.
#include "startup.h"
#include "translations.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("预付费卡表售电管理系统（通用）"));
    ombx::installChineseTranslations(app);
    return ombx::runProgram({QApplication::applicationDirPath()});
}
