// One QApplication for every test of the executable, on the offscreen
// platform unless the environment chose another.
#include <QApplication>

#include <gtest/gtest.h>

#include "TestEnvironment.h"

int main(int argc, char *argv[])
{
    if (!prepareWindowTestProgram())
        return 2;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevant"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
