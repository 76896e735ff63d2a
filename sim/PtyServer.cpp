#include "PtyServer.h"

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <poll.h>
#include <unistd.h>

namespace ccsim {

PtyServer::PtyServer(Bus &bus, int masterFd, Settings settings, BusTrace *trace, std::ostream &out)
    : m_bus(bus), m_master(masterFd), m_settings(settings), m_trace(trace), m_out(out), m_control(bus),
      m_epoch(std::chrono::steady_clock::now()), m_controlOpen(settings.control)
{
    if (m_settings.coinEverySeconds > 0)
        m_nextCoin = std::chrono::duration_cast<SimTime>(std::chrono::duration<double>(m_settings.coinEverySeconds));
}

SimTime PtyServer::now() const
{
    return std::chrono::duration_cast<SimTime>(std::chrono::steady_clock::now() - m_epoch);
}

void PtyServer::run(const volatile std::sig_atomic_t &stop, const sigset_t &waitMask)
{
    while (!stop && !m_quit) {
        SimTime t = now();
        m_bus.advanceTo(t);
        if (m_trace)
            m_trace->expire(t);
        writeDue(t);
        periodicCoin(t);
        if (t >= m_closeRecheck) {
            m_closeRecheck = kForever;
            checkHostClosed();
        }

        const SimTime next = std::min({m_bus.nextEvent(), m_nextCoin, m_closeRecheck});
        timespec timeout{};
        timespec *wait = nullptr;
        if (next != kForever) {
            const SimTime span = std::max(next - now(), SimTime(0));
            timeout.tv_sec = static_cast<time_t>(span.count() / 1000000000);
            timeout.tv_nsec = static_cast<long>(span.count() % 1000000000);
            wait = &timeout;
        }
        const bool watchCloses = m_settings.closeWatchFd >= 0 && m_settings.hostClosed;
        pollfd fds[3] = {{m_master, POLLIN, 0},
                         {watchCloses ? m_settings.closeWatchFd : -1, POLLIN, 0},
                         {STDIN_FILENO, POLLIN, 0}};
        const nfds_t count = m_controlOpen ? 3 : 2;
        const int ready = ppoll(fds, count, wait, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN)
            readHost(now());
        if (fds[1].revents & POLLIN) {
            checkHostClosed();
            // The kernel tells of the close before it drops the closer's
            // lock: look once more a little later.
            m_closeRecheck = now() + 100ms;
        }
        if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) && !readControl())
            break;
    }
}

void PtyServer::checkHostClosed()
{
    if (m_settings.hostClosed && m_settings.hostClosed() && m_trace)
        m_trace->note(now(), "the host that left the terminal in exclusive mode is gone: mode cleared");
}

void PtyServer::writeDue(SimTime t)
{
    uint8_t bytes[512];
    while (size_t n = m_bus.take(bytes, sizeof bytes, t)) {
        const ssize_t written = write(m_master, bytes, n);
        if (m_settings.copyHeard)
            m_settings.copyHeard(bytes, n);
        if (written < static_cast<ssize_t>(n) && m_trace) {
            // The host does not read and the terminal's buffer is full: the
            // bytes are lost, as in a UART overrun.
            m_trace->note(t, std::to_string(n - static_cast<size_t>(written < 0 ? 0 : written))
                                 + " byte(s) lost: the host does not read");
        }
    }
}

void PtyServer::readHost(SimTime t)
{
    uint8_t bytes[4096];
    const ssize_t n = read(m_master, bytes, sizeof bytes);
    if (n > 0)
        m_bus.hostWrite(bytes, static_cast<size_t>(n), t);
}

bool PtyServer::readControl()
{
    char buffer[1024];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        m_controlOpen = false;
        // Standard input that never said anything (/dev/null, a closed pipe)
        // does not end the program; the end of a control session does.
        return !m_controlSeen;
    }
    m_controlSeen = true;
    // Only the new bytes are searched for the end of the line.
    size_t searchFrom = m_controlLine.size();
    m_controlLine.append(buffer, static_cast<size_t>(n));
    size_t end;
    while ((end = m_controlLine.find('\n', searchFrom)) != std::string::npos) {
        const std::string line = m_controlLine.substr(0, end);
        m_controlLine.erase(0, end + 1);
        searchFrom = 0;
        if (m_skippingLine) {
            // The end of a line too long to be a command.
            m_skippingLine = false;
            continue;
        }
        const ControlCommands::Result result = m_control.execute(line);
        m_out << result.output << std::flush;
        if (m_trace && !line.empty())
            m_trace->note(now(), "control: " + line);
        if (result.quit) {
            m_quit = true;
            return false;
        }
    }
    if (m_controlLine.size() > kMaxControlLine) {
        if (!m_skippingLine)
            m_out << "error: control line longer than " << kMaxControlLine << " characters, ignored\n" << std::flush;
        m_skippingLine = true;
        m_controlLine.clear();
    }
    return true;
}

void PtyServer::periodicCoin(SimTime t)
{
    if (t < m_nextCoin || m_bus.deviceCount() == 0)
        return;
    Device &device = m_bus.deviceAt(0);
    // Round the channels that have a coin id.
    for (int tries = 0; tries < kChannels; ++tries) {
        m_coinChannel = m_coinChannel % kChannels + 1;
        if (device.config().coinIds[m_coinChannel - 1] != "......")
            break;
    }
    const bool credited = device.insertCoin(m_coinChannel);
    if (m_trace)
        m_trace->note(t, "coin on channel " + std::to_string(m_coinChannel) + (credited ? " credited" : " refused"));
    m_nextCoin += std::chrono::duration_cast<SimTime>(std::chrono::duration<double>(m_settings.coinEverySeconds));
    if (m_nextCoin < t)
        m_nextCoin = t;
}

} // namespace ccsim
