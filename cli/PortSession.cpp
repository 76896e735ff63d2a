#include "PortSession.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>

#include "CliError.h"
#include "DevicePaths.h"
#include "PontelDeclar.h"

namespace ravlin {

namespace {

std::string variableName(int n)
{
    return "PONTEL_COM" + std::to_string(n);
}

std::string variable(int n)
{
    const char *value = std::getenv(variableName(n).c_str());
    return value ? value : "";
}

void setVariable(int n, const std::string &value)
{
    setEnvironment(variableName(n), value);
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

PortName resolvePortName(const std::string &text)
{
    PortName name;
    const std::string l = lower(text);
    if (l.size() == 4 && l.rfind("com", 0) == 0 && l[3] >= '1' && l[3] <= '9') {
        name.number = static_cast<uint8_t>(l[3] - '0');
        name.shown = "Com" + std::string(1, l[3]);
        return name;
    }
    if (!isDevicePath(text))
        throw usageError(std::string("--port must be Com1 to Com9 or ") + devicePathKind() + ", not '" + text + "'");
    name.shown = text;
    name.path = text;
    // A number already mapped to this path keeps it.
    for (int n = 1; n <= 9; ++n) {
        if (variable(n) == text) {
            name.number = static_cast<uint8_t>(n);
            return name;
        }
    }
    for (int n = 9; n >= 1; --n) {
        if (variable(n).empty()) {
            setVariable(n, text);
            name.number = static_cast<uint8_t>(n);
            return name;
        }
    }
    throw CliError(kExitPort, "cannot serve " + text + ": PONTEL_COM1 to PONTEL_COM9 are all set");
}

ReadTimeouts replyTimeouts(int timeoutMs)
{
    ReadTimeouts t;
    t.constant = timeoutMs;
    t.interval = std::min(50, std::max(timeoutMs, 1));
    return t;
}

PortSession::PortSession(const std::string &name, ReadTimeouts timeouts)
    : m_name(resolvePortName(name)), m_timeouts(timeouts)
{
    if (!m_name.path.empty()) {
        const std::string missing = missingDeviceReason(m_name.path);
        if (!missing.empty())
            throw CliError(kExitPort, "cannot open " + m_name.path + ": " + missing);
    }
    open();
}

PortSession::~PortSession()
{
    if (m_handle > 0)
        CloseCom(&m_handle);
}

void PortSession::open()
{
    m_handle = ComInit(m_name.number, 9600, 8, 0, 1, m_timeouts.interval, m_timeouts.perByte, m_timeouts.constant,
                       0, 0);
    m_checkedExchange = 0;
    if (m_handle > 0)
        return;
    std::string where = m_name.shown;
    const std::string mapped = variable(m_name.number);
    if (m_name.path.empty() && !mapped.empty())
        where += " (" + mapped + ")";
    // Pontel knows why: permission, another program, no such device, ...
    char why[512] = {};
    PontelOpenFailure(m_name.number, why, sizeof why);
    throw CliError(kExitPort, "cannot open " + where + ": " + (*why ? why : "the port refused to open"));
}

void PortSession::discardInput()
{
    drain(20, 0, 1000);
}

void PortSession::settle()
{
    drain(kSettleGapMs, kSettleWindowMs, kSettleBoundMs);
}

void PortSession::drain(int gapMs, int windowMs, int boundMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const ReadTimeouts kept = m_timeouts;
    // Each read waits a gap for its first byte, and ends a gap after its
    // last one.
    m_timeouts = {gapMs, 0, gapMs};
    open();
    uint8_t bytes[64];
    for (;;) {
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (spent >= boundMs)
            break;
        const int32_t got = PontelReadUpTo(&m_handle, bytes, sizeof bytes);
        if (got < 0 || (got == 0 && spent >= windowMs))
            break;
    }
    reopen(kept);
}

bool PortSession::newExchange(ReplyVerdict &verdict)
{
    PontelExchange exchange;
    if (!PontelLastExchange(m_handle, &exchange)) {
        verdict = checkExchange(PontelExchange{}, false);
        return true;
    }
    if (exchange.number == m_checkedExchange)
        return false;
    m_checkedExchange = exchange.number;
    verdict = checkExchange(exchange);
    return true;
}

void PortSession::reopen(ReadTimeouts timeouts)
{
    m_timeouts = timeouts;
    open();
}

} // namespace ravlin
