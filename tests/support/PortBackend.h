// Test seam for the serial layer. A test executable that links
// PontelInterposer.cpp defines the Pontel functions itself; the dynamic
// linker then binds libRavlin.so's (and the bench's) calls to them instead of
// libPontel.so's; on Windows they are a stand-in Pontel.dll beside the test
// program. Each call is forwarded to the installed backend: a scripted
// port, or the in-process virtual validator.
#pragma once

#include <cstdint>
#include <string>

#include "CCTalkComDeclar.h"

class PortBackend
{
public:
    virtual ~PortBackend() = default;

    virtual bool portFree(uint8_t n) = 0;
    virtual PortHandle open(uint8_t n, const int32_t settings[9]) = 0;
    virtual bool close(PortHandle handle) = 0;
    virtual bool send(PortHandle handle, const uint8_t *bytes, int32_t count) = 0;
    virtual bool receive(PortHandle handle, uint8_t *buffer, int32_t count) = 0;
    // The same read, giving the number of bytes that came (all or none when
    // the backend cannot tell), which the exchange record keeps.
    virtual int32_t receiveSome(PortHandle handle, uint8_t *buffer, int32_t count)
    {
        return receive(handle, buffer, count) ? count : 0;
    }
    virtual bool isOpen(PortHandle handle) = 0;
    // Up to max bytes; the number read, -1 when the handle is not open.
    virtual int32_t receiveUpTo(PortHandle handle, uint8_t *buffer, int32_t max) = 0;
    // Why port n cannot be opened (a PONTEL_OPEN_* cause and its line); none
    // unless the backend says.
    virtual int32_t openFailure(uint8_t n, std::string &text)
    {
        (void)n;
        text.clear();
        return 0;
    }
};

#if defined(_WIN32) && defined(PORT_STANDIN_BUILDING)
#  define PORT_BACKEND_API __declspec(dllexport)
#else
#  define PORT_BACKEND_API
#endif

// Installs the backend for the interposed functions (nullptr: every call
// fails). Returns the previous one.
PORT_BACKEND_API PortBackend *installPortBackend(PortBackend *backend);

// Installs a backend for the lifetime of a scope.
class ScopedPortBackend
{
public:
    explicit ScopedPortBackend(PortBackend &backend) : m_previous(installPortBackend(&backend)) {}
    ~ScopedPortBackend() { installPortBackend(m_previous); }
    ScopedPortBackend(const ScopedPortBackend &) = delete;
    ScopedPortBackend &operator=(const ScopedPortBackend &) = delete;

private:
    PortBackend *m_previous;
};
