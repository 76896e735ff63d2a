// window_creation_time [COUNT]: the time to create the window TMainForm and
// show it on the offscreen platform, against the in-process virtual
// validator, COUNT times (30); prints the median and the fastest. The same
// program on Linux and, cross-built, under Wine, so that ./benchmark-windows
// puts the two side by side.
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FakePlatform.h"
#include "First.h"
#include "SimPort.h"
#include "TestEnvironment.h"

int main(int argc, char *argv[])
{
    if (!prepareWindowTestProgram())
        return 2;
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    SimPort sim;
    ScopedPortBackend installed(sim);
    FakePlatform platform;
    std::vector<double> ms;
    for (int n = 0; n <= count; ++n) {
        const auto start = std::chrono::steady_clock::now();
        {
            TMainForm form(platform);
            form.show();
            QApplication::processEvents();
        }
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (n > 0) // the first one also loads fonts and plugins
            ms.push_back(took.count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("window creation and first show: median %.2f ms, fastest %.2f ms over %d\n", ms[ms.size() / 2],
                ms.front(), count);
    return 0;
}
