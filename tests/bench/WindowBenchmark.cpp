// Costs of the window that a technician feels: creating the window, one
// command round trip through the window against the in-process validator,
// and the CPU spent while "&Norma." waits for the tool (it must sleep, not
// spin).
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "FakePlatform.h"
#include "First.h"
#include "SimPort.h"
#include "ToolLauncher.h"
#include "StandInTool.h"

namespace {

double processCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void CreateWindow(benchmark::State &state)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    FakePlatform platform;
    for (auto _ : state) {
        TMainForm form(platform);
        benchmark::DoNotOptimize(&form);
    }
}
BENCHMARK(CreateWindow)->Unit(benchmark::kMillisecond);

void StatusButtonRoundTrip(benchmark::State &state)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    FakePlatform platform;
    TMainForm form(platform);
    form.findChild<QPushButton *>(QStringLiteral("Button41"))->click();
    QPushButton *status = form.findChild<QPushButton *>(QStringLiteral("BitBtn10"));
    for (auto _ : state)
        status->click();
}
BENCHMARK(StatusButtonRoundTrip)->Unit(benchmark::kMicrosecond);

// One wait for a tool that runs for one second.
void ToolWaitCpu(benchmark::State &state)
{
    QTemporaryDir directory;
    writeStandInTool(directory.path(), QStringLiteral("Ombrino.exe"), {{ToolStep::Wait, 1000}});
    ToolEnvironment environment(directory.path());
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    double cpuMs = 0;
    for (auto _ : state) {
        ToolLauncher launcher;
        if (!launcher.start(QStringLiteral("Ombrino.exe"), QStringLiteral("COM1"))) {
            state.SkipWithError("the stand-in tool did not start");
            break;
        }
        const double before = processCpuMs();
        launcher.waitWhileRunning(QStringLiteral("Ombrino"));
        cpuMs += processCpuMs() - before;
    }
    state.counters["cpu_ms_per_wait"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}
BENCHMARK(ToolWaitCpu)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
