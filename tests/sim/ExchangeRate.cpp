// Serial-number exchanges per second through the library and the serial
// layer (CCGet_Serial_Number at address 2), for a given time. One source for
// the Linux build (port n is PONTEL_COM<n>) and the Windows one (COMn, under
// Wine through tests/windows/run-under-wine.sh), so that ./benchmark-windows
// compares the two on the same ccsim in one run.
//   exchange_rate [SECONDS [PORT]]      (10 s, port 1)
// Prints one line: "exchanges N seconds S per_second R failures F".
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "CCTalkComDeclar.h"
#include "PontelDeclar.h"

int main(int argc, char **argv)
{
#ifdef _WIN32
    if (!std::getenv("CCBENCH_WINE_PORTS")) {
        std::fprintf(stderr, "run it through tests/windows/run-under-wine.sh\n");
        return 2;
    }
#endif
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int number = argc > 2 ? std::atoi(argv[2]) : 1;
    PortHandle port = ComInit(uint8_t(number), 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    if (port <= 0) {
        std::fprintf(stderr, "exchange_rate: port %d did not open\n", number);
        return 1;
    }
    if (CCGet_Serial_Number(&port, 2) < 0) {
        std::fprintf(stderr, "exchange_rate: no answer on port %d\n", number);
        CloseCom(&port);
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    long exchanges = 0, failures = 0;
    while (Clock::now() < end) {
        if (CCGet_Serial_Number(&port, 2) == 1234567)
            ++exchanges;
        else
            ++failures;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    CloseCom(&port);
    std::printf("exchanges %ld seconds %.3f per_second %.2f failures %ld\n", exchanges, elapsed,
                double(exchanges) / elapsed, failures);
    return failures == 0 ? 0 : 1;
}
