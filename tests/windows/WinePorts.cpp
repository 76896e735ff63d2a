#include "WinePorts.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include <windows.h>

namespace wineports {

namespace {

std::string linesOf(const std::string &path, size_t &count)
{
    std::ifstream in(path, std::ios::binary);
    std::string line, last;
    count = 0;
    while (std::getline(in, line)) {
        ++count;
        last = line;
    }
    return last;
}

} // namespace

std::string portsFolder()
{
    const char *ports = std::getenv("CCBENCH_WINE_PORTS");
    std::string folder = "Z:";
    for (const char *c = ports ? ports : ""; *c; ++c)
        folder += *c == '/' ? '\\' : *c;
    return folder + "\\";
}

// The files of the ccsim of port n. Not "comN.in": Windows takes COMN with
// any extension for the device itself.
std::string controlFiles(uint8_t n)
{
    return portsFolder() + "port" + std::to_string(n);
}

std::string output(uint8_t n)
{
    std::ifstream in(controlFiles(n) + ".out", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void tell(uint8_t n, const std::string &command)
{
    std::ofstream in(controlFiles(n) + ".in", std::ios::binary | std::ios::app);
    in << command << "\n";
}

std::string control(uint8_t n, const std::string &command)
{
    const std::string base = controlFiles(n);
    size_t before = 0;
    linesOf(base + ".out", before);
    tell(n, command);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        size_t count = 0;
        const std::string last = linesOf(base + ".out", count);
        if (count > before)
            return last;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

bool portsChecked()
{
    if (std::getenv("CCBENCH_WINE_PORTS"))
        return true;
    std::fprintf(stderr,
                 "This program writes to COM1 to COM9: run it through tests/windows/run-under-wine.sh,\n"
                 "which maps them to its own virtual validators and checks that before it starts.\n");
    return false;
}

bool underWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace wineports
