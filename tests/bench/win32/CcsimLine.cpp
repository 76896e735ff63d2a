#include "CcsimLine.h"

#include <windows.h>

#include "WinePorts.h"

struct CcsimLine::Running
{
    uint8_t port;
};

CcsimLine::CcsimLine(Pacing pacing)
    : m_running(new Running{pacing == Pacing::Off ? wineports::kFast : wineports::kLine})
{
}

CcsimLine::~CcsimLine()
{
    delete m_running;
}

bool CcsimLine::started() const
{
    // run-under-wine.sh starts the program only once every ccsim runs.
    return wineports::portsChecked();
}

QString CcsimLine::portText() const
{
    return QStringLiteral("Com%1").arg(m_running->port);
}

std::string CcsimLine::control(const std::string &command)
{
    return wineports::control(m_running->port, command);
}

int CcsimLine::unreadBytes(PortHandle handle)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(LongToHandle(handle), &errors, &status))
        return -1;
    return int(status.cbInQue);
}
