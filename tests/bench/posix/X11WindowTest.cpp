// Where there is no X11 display, no window can be seen on Linux.
#include <gtest/gtest.h>

#include "ToolProcess.h"

namespace {

TEST(X11WindowTest, WithoutADisplayNoWindowIsFound)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(canSeeTopLevelWindows());
    EXPECT_FALSE(topLevelWindowExists(QStringLiteral("Ombrino")));
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

} // namespace
