#include "HandleTable.h"

#include <utility>

#include "PortPrimitives.h"

namespace pontel {

OpenPort::OpenPort(int fd, uint8_t portNumber, std::string path, ReadLimits read, WriteLimits write)
    : m_fd(fd), m_portNumber(portNumber), m_path(std::move(path)), m_read(read), m_write(write)
{
}

OpenPort::~OpenPort()
{
    closePort(m_fd);
}

HandleTable &HandleTable::instance()
{
    static HandleTable table;
    return table;
}

void HandleTable::add(std::shared_ptr<OpenPort> port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int32_t handle = port->fd();
    m_ports[handle] = std::move(port);
}

std::shared_ptr<OpenPort> HandleTable::find(int32_t handle) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_ports.find(handle);
    return it == m_ports.end() ? nullptr : it->second;
}

std::shared_ptr<OpenPort> HandleTable::remove(int32_t handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_ports.find(handle);
    if (it == m_ports.end())
        return nullptr;
    std::shared_ptr<OpenPort> port = std::move(it->second);
    m_ports.erase(it);
    return port;
}

std::shared_ptr<OpenPort> HandleTable::removePortNumber(uint8_t portNumber)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_ports.begin(); it != m_ports.end(); ++it) {
        if (it->second->portNumber() == portNumber) {
            std::shared_ptr<OpenPort> port = std::move(it->second);
            m_ports.erase(it);
            return port;
        }
    }
    return nullptr;
}

bool HandleTable::pathOpen(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &entry : m_ports)
        if (entry.second->path() == path)
            return true;
    return false;
}

} // namespace pontel
