// The ports Pontel has open, by handle. Only handles found here are ever
// read, written, configured or closed; anything else (0, -1, a closed or a
// foreign descriptor) is refused without touching it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "ExchangeRecord.h"
#include "PortSettings.h"

namespace pontel {

// One open port. The descriptor is released when the last user lets go, so
// that a call in progress on another thread never sees its descriptor closed
// and reused under it.
class OpenPort
{
public:
    OpenPort(int fd, uint8_t portNumber, std::string path, ReadLimits read, WriteLimits write);
    ~OpenPort();
    OpenPort(const OpenPort &) = delete;
    OpenPort &operator=(const OpenPort &) = delete;

    int fd() const { return m_fd; }
    uint8_t portNumber() const { return m_portNumber; }
    const std::string &path() const { return m_path; }
    const ReadLimits &readLimits() const { return m_read; }
    const WriteLimits &writeLimits() const { return m_write; }
    ExchangeRecord &record() { return m_record; }

private:
    int m_fd;
    uint8_t m_portNumber;
    std::string m_path;  // canonical
    ReadLimits m_read;
    WriteLimits m_write;
    ExchangeRecord m_record;
};

class HandleTable
{
public:
    static HandleTable &instance();

    void add(std::shared_ptr<OpenPort> port);
    // The port open under this handle, or null.
    std::shared_ptr<OpenPort> find(int32_t handle) const;
    // Removes and returns the port open under this handle, or null.
    std::shared_ptr<OpenPort> remove(int32_t handle);
    // Removes and returns the port open under this port number, or null.
    std::shared_ptr<OpenPort> removePortNumber(uint8_t portNumber);
    // Whether one of our ports has this canonical path open.
    bool pathOpen(const std::string &path) const;

private:
    mutable std::mutex m_mutex;
    std::map<int32_t, std::shared_ptr<OpenPort>> m_ports;
};

} // namespace pontel
