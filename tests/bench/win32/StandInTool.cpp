// standin_tool.exe: a stand-in for the normalisation tool in the Windows
// window tests. Copied as Ombrino.exe into a test's folder, it runs the
// steps of the file beside it named as itself with ".steps" (see
// StandInTool.h), one per line: "args 0", "wait MS", "done 0", "window MS",
// "leave-window MS", "port 0". Started as "standin_tool.exe --window MS" it
// shows its window for MS and ends: the process that "leave-window" starts.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window titled "Ombrino", shown for ms.
void showWindow(int ms)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "StandInTool";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Ombrino", WS_OVERLAPPEDWINDOW, 10, 10, 240,
                                  120, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return;
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, 1, UINT(ms), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void writeFile(const char *name, const std::string &text)
{
    if (FILE *file = std::fopen(name, "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

std::string ownPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Starts this program again to show the window, and does not wait for it.
void leaveWindow(int ms)
{
    const std::string self = ownPath();
    std::string commandLine = "\"" + self + "\" --window " + std::to_string(ms);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(self.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// Whether the port could be opened for this program alone, as Pontel opens it.
void tryPort(const char *portName)
{
    const std::string device = std::string("\\\\.\\") + (portName ? portName : "");
    HANDLE port = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        writeFile("port.txt", "held\n");
        return;
    }
    CloseHandle(port);
    writeFile("port.txt", "free\n");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--window") == 0) {
        showWindow(std::atoi(argv[2]));
        return 0;
    }
    std::string steps = ownPath();
    const size_t dot = steps.rfind('.');
    steps = steps.substr(0, dot) + ".steps";
    FILE *file = std::fopen(steps.c_str(), "rb");
    if (!file)
        return 1;
    char word[32];
    int ms = 0;
    while (std::fscanf(file, "%31s %d", word, &ms) == 2) {
        const std::string step = word;
        if (step == "args")
            writeFile("args.txt", std::to_string(argc - 1) + ":" + (argc > 1 ? argv[1] : "") + "\n");
        else if (step == "wait")
            Sleep(DWORD(ms));
        else if (step == "done")
            writeFile("done.txt", "done\n");
        else if (step == "window")
            showWindow(ms);
        else if (step == "leave-window")
            leaveWindow(ms);
        else if (step == "port")
            tryPort(argc > 1 ? argv[1] : nullptr);
    }
    std::fclose(file);
    return 0;
}
