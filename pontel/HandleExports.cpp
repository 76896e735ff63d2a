// The exported functions that only look into Pontel's own tables (the open
// ports, the reasons of failed opens): the same on every system.
#include "PontelDeclar.h"

#include <algorithm>
#include <cstring>

#include "HandleTable.h"
#include "OpenFailures.h"

using namespace pontel;

extern "C" {

PONTEL_API CCBool PontelIsOpen(PortHandle handle)
{
    return HandleTable::instance().find(handle) ? 1 : 0;
}

PONTEL_API CCBool PontelLastExchange(PortHandle handle, PontelExchange *exchange)
{
    const std::shared_ptr<OpenPort> open = HandleTable::instance().find(handle);
    if (!open || !exchange)
        return 0;
    *exchange = open->record().last();
    return 1;
}

PONTEL_API int32_t PontelOpenFailure(uint8_t n, char *text, int32_t size)
{
    const OpenFailure failure = openFailureOf(n);
    if (text && size > 0) {
        const size_t kept = std::min(failure.text.size(), size_t(size - 1));
        std::memcpy(text, failure.text.data(), kept);
        text[kept] = '\0';
    }
    return failure.cause;
}

} // extern "C"
