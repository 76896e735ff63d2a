// Definitions of the Pontel functions that take precedence over libPontel.so
// in the test executable (see PortBackend.h). The executable must export its
// symbols (CMake ENABLE_EXPORTS) for the library's calls to reach them.
#include "PontelDeclar.h"
#include "PortBackend.h"

namespace {
PortBackend *g_backend = nullptr;
}

PortBackend *installPortBackend(PortBackend *backend)
{
    PortBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

extern "C" {

__attribute__((visibility("default"))) CCBool PortComFree(uint8_t n)
{
    return g_backend && g_backend->portFree(n);
}

__attribute__((visibility("default"))) PortHandle ComInit(uint8_t n, int32_t baud, int32_t dataBits,
                                                          int32_t parity, int32_t stopBits,
                                                          int32_t readInterval, int32_t readTotalPerByte,
                                                          int32_t readTotalConstant,
                                                          int32_t writeTotalPerByte,
                                                          int32_t writeTotalConstant)
{
    const int32_t settings[9] = {baud, dataBits, parity, stopBits, readInterval, readTotalPerByte,
                                 readTotalConstant, writeTotalPerByte, writeTotalConstant};
    return g_backend ? g_backend->open(n, settings) : -1;
}

__attribute__((visibility("default"))) CCBool CloseCom(PortHandle *port)
{
    return g_backend && port && g_backend->close(*port);
}

__attribute__((visibility("default"))) CCBool SendToCom(PortHandle *port, const uint8_t *bytes, int32_t count)
{
    return g_backend && port && g_backend->send(*port, bytes, count);
}

__attribute__((visibility("default"))) CCBool RcvFromCom(PortHandle *port, uint8_t *buffer, int32_t count)
{
    return g_backend && port && g_backend->receive(*port, buffer, count);
}

__attribute__((visibility("default"))) CCBool PontelIsOpen(PortHandle handle)
{
    return g_backend && g_backend->isOpen(handle);
}

__attribute__((visibility("default"))) int32_t PontelReadUpTo(PortHandle *port, uint8_t *buffer, int32_t max)
{
    return (g_backend && port) ? g_backend->receiveUpTo(*port, buffer, max) : -1;
}

} // extern "C"
