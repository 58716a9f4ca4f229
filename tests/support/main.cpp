#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
#ifdef OMBX_BUILD_BIN
    if (qEnvironmentVariableIsEmpty("OMBX_BUILD_BIN"))
        qputenv("OMBX_BUILD_BIN", OMBX_BUILD_BIN);
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
