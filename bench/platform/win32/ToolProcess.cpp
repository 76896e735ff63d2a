#include "ToolProcess.h"

#include <QByteArray>

#include <objbase.h>
#include <shellapi.h>

#include "Win32.h"

namespace {

// A program started through the shell, as Explorer would start it, with
// its process handle kept so that the bench can tell when it ends. Letting
// go of it closes the handle only: the tool runs on.
class Win32ToolProcess : public ToolProcess
{
public:
    explicit Win32ToolProcess(HANDLE process) : m_process(process) {}
    ~Win32ToolProcess() override
    {
        if (m_process)
            CloseHandle(m_process);
    }
    Win32ToolProcess(const Win32ToolProcess &) = delete;
    Win32ToolProcess &operator=(const Win32ToolProcess &) = delete;

    bool isRunning() const override
    {
        return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
    }

    bool waitForEnd(int milliseconds) override
    {
        if (!m_process)
            return true;
        return WaitForSingleObject(m_process, DWORD(milliseconds > 0 ? milliseconds : 0)) != WAIT_TIMEOUT;
    }

private:
    HANDLE m_process;
};

} // namespace

std::unique_ptr<ToolProcess> ToolProcess::start(const QString &path, const QString &parameter)
{
    const QByteArray file = path.toLocal8Bit();
    const QByteArray parameters = parameter.toLocal8Bit();
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    // The process handle for the wait; no error box of the shell's own: the
    // window says "Something wrong" itself.
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = nullptr; // the file's default action: run it
    execute.lpFile = file.constData();
    execute.lpParameters = parameter.isEmpty() ? nullptr : parameters.constData();
    execute.lpDirectory = nullptr;
    execute.nShow = SW_SHOWNORMAL;
    // The shell may hand the file to extensions that need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const BOOL started = ShellExecuteExA(&execute);
    if (SUCCEEDED(com))
        CoUninitialize();
    // The shell's own error range: 32 and less.
    if (!started || reinterpret_cast<INT_PTR>(execute.hInstApp) <= 32) {
        if (execute.hProcess)
            CloseHandle(execute.hProcess);
        return nullptr;
    }
    return std::make_unique<Win32ToolProcess>(execute.hProcess);
}

bool canSeeTopLevelWindows()
{
    return true;
}

bool topLevelWindowExists(const QString &title)
{
    // FindWindowA compares titles without regard to case.
    return FindWindowA(nullptr, title.toLocal8Bit().constData()) != nullptr;
}
