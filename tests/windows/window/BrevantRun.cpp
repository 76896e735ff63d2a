// brevant_run.exe BREVANT_EXE PICTURE: one run of the real Brevant.exe, from
// the folder a user runs it from, on the windows platform plugin and the
// suite's private display, with ccsim on COM1 (run through
// run-under-wine.sh; paths as Linux paths). It starts Brevant.exe, waits for
// its window, clicks "Init" as the mouse would, checks that the device on
// COM1 answered the one request that "Init" sends (the serial number), takes
// a picture of the window (PNG), closes it and checks that Brevant.exe ended
// cleanly. Exits non-zero, saying why, when a step fails.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "WinePorts.h"

namespace {

// The form's caption, and the middle of "Init" in its client area.
constexpr char kTitle[] = "ccTalk";
constexpr int kInitX = 45;
constexpr int kInitY = 20;

std::string windowsPath(const char *linuxPath)
{
    std::string path = "Z:";
    for (const char *c = linuxPath; *c; ++c)
        path += *c == '/' ? '\\' : *c;
    return path;
}

int fail(const char *what)
{
    std::fprintf(stderr, "brevant_run: %s\n", what);
    return 1;
}

// The requests the device on COM1 has answered, from ccsim's state; -1 when
// it does not say.
long requestsHandled()
{
    wineports::control(wineports::kLine, "state");
    QThread::msleep(200); // the whole answer, not its first line only
    const std::string out = wineports::output(wineports::kLine);
    const size_t at = out.rfind(" requests since power-up");
    if (at == std::string::npos)
        return -1;
    const size_t start = out.rfind(' ', at - 1);
    return std::strtol(out.c_str() + start + 1, nullptr, 10);
}

HWND waitForWindow(HANDLE process)
{
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (HWND window = FindWindowA(nullptr, kTitle); window && IsWindowVisible(window))
            return window;
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0)
            return nullptr; // it ended, or never started: a DLL missing
    }
    return nullptr;
}

void click(HWND window, int x, int y)
{
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return fail("usage: brevant_run BREVANT_EXE PICTURE.png");
    if (!wineports::portsChecked())
        return 2;
    // The windows platform plugin, for this program and Brevant.exe: the
    // suite hands its programs the offscreen one.
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("QT_QPA_FONTDIR");
    QGuiApplication application(argc, argv);

    const std::string program = windowsPath(argv[1]);
    const std::string folder = program.substr(0, program.rfind('\\'));
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION brevant{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &brevant))
        return fail("Brevant.exe did not start");
    CloseHandle(brevant.hThread);

    HWND window = waitForWindow(brevant.hProcess);
    if (!window)
        return fail("Brevant.exe showed no window titled ccTalk");
    QThread::msleep(1000); // drawn and listening
    const long before = requestsHandled();
    click(window, kInitX, kInitY);
    QThread::msleep(2000);
    const long after = requestsHandled();
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(WId(window));
    const bool saved = !picture.isNull() && picture.save(QString::fromStdString(windowsPath(argv[2])), "PNG");
    PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(brevant.hProcess, 30000) == WAIT_OBJECT_0;
    DWORD status = 1;
    GetExitCodeProcess(brevant.hProcess, &status);
    if (!ended)
        TerminateProcess(brevant.hProcess, 1);
    CloseHandle(brevant.hProcess);

    std::printf("brevant_run: requests answered on COM1: %ld before \"Init\", %ld after\n", before, after);
    if (before != 0 || after != 1)
        return fail("\"Init\" did not read the device on COM1 (one request expected)");
    if (!saved)
        return fail("no picture of the window");
    if (!ended || status != 0)
        return fail("Brevant.exe did not end cleanly on closing its window");
    std::printf("brevant_run: Brevant.exe read COM1; %dx%d picture in %s\n", picture.width(), picture.height(),
                argv[2]);
    return 0;
}
