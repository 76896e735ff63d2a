#include "LineSettings.h"

namespace pontel {

namespace {

// The rates the POSIX backend knows on Linux; any other rate is refused
// there, so it is refused here too rather than handed to the driver.
constexpr int32_t kSpeeds[] = {
    50,      75,      110,     134,     150,     200,     300,     600,
    1200,    1800,    2400,    4800,    9600,    19200,   38400,   57600,
    115200,  230400,  460800,  500000,  576000,  921600,  1000000, 1152000,
    1500000, 2000000, 2500000, 3000000, 3500000, 4000000,
};

bool speedKnown(int32_t baud)
{
    for (int32_t speed : kSpeeds)
        if (speed == baud)
            return true;
    return false;
}

} // namespace

bool lineSettingsValid(const LineSettings &settings)
{
    return speedKnown(settings.baud) && settings.dataBits >= 5 && settings.dataBits <= 8
           && settings.parity >= 0 && settings.parity <= 4
           && (settings.stopBits == 1 || settings.stopBits == 2);
}

bool makeDcb(const LineSettings &settings, DCB &dcb)
{
    if (!lineSettingsValid(settings))
        return false;
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = DWORD(settings.baud);
    dcb.ByteSize = BYTE(settings.dataBits);
    // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY are 0 to 4,
    // our own numbering.
    dcb.Parity = BYTE(settings.parity);
    dcb.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE; // parity is sent, not checked on input (as INPCK off)
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    return true;
}

bool applyLineSettings(HANDLE device, const LineSettings &settings)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(device, &dcb) || !makeDcb(settings, dcb) || !SetCommState(device, &dcb))
        return false;
    DCB applied{};
    applied.DCBlength = sizeof applied;
    return GetCommState(device, &applied) && applied.BaudRate == dcb.BaudRate;
}

} // namespace pontel
