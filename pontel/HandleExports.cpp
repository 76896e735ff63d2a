// The exported functions that only look a handle up: the same on every
// system.
#include "PontelDeclar.h"

#include "HandleTable.h"

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

} // extern "C"
