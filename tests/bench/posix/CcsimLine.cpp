#include "CcsimLine.h"

#include <sys/ioctl.h>

#include <cstdlib>

#include "CcsimProcess.h"

struct CcsimLine::Running
{
    CcsimProcess process;
};

CcsimLine::CcsimLine(Pacing pacing)
    : m_running(new Running{CcsimProcess(pacing == Pacing::Off ? std::vector<std::string>{"--no-pacing"}
                                                               : std::vector<std::string>{})})
{
    if (started())
        ::setenv("PONTEL_COM1", m_running->process.path().c_str(), 1);
}

CcsimLine::~CcsimLine()
{
    ::unsetenv("PONTEL_COM1");
    delete m_running;
}

bool CcsimLine::started() const
{
    return m_running->process.started();
}

QString CcsimLine::portText() const
{
    return QStringLiteral("Com1");
}

std::string CcsimLine::control(const std::string &command)
{
    return m_running->process.control(command);
}

int CcsimLine::unreadBytes(PortHandle handle)
{
    int waiting = 0;
    return ::ioctl(handle, FIONREAD, &waiting) == 0 ? waiting : -1;
}
