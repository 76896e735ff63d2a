#include "TestEnvironment.h"

#include <QByteArray>
#include <QtGlobal>

bool prepareWindowTestProgram()
{
    if (!testEnvironmentReady())
        return false;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}
