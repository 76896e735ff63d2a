#include "Fault.h"

namespace ccsim {

namespace {
struct FaultEntry
{
    Fault fault;
    const char *name;
};
constexpr FaultEntry kFaults[] = {
    {Fault::None, "none"},
    {Fault::Silence, "silence"},
    {Fault::WrongChecksum, "checksum"},
    {Fault::Nak, "nak"},
    {Fault::Busy, "busy"},
    {Fault::LateReply, "late"},
    {Fault::TruncatedReply, "truncated"},
    {Fault::Garbage, "garbage"},
    {Fault::NoEcho, "no-echo"},
};
} // namespace

const char *faultName(Fault fault)
{
    for (const auto &entry : kFaults)
        if (entry.fault == fault)
            return entry.name;
    return "?";
}

std::optional<Fault> parseFault(const std::string &name)
{
    for (const auto &entry : kFaults)
        if (name == entry.name)
            return entry.fault;
    return std::nullopt;
}

const std::vector<Fault> &allFaults()
{
    static const std::vector<Fault> faults = [] {
        std::vector<Fault> list;
        for (const auto &entry : kFaults)
            list.push_back(entry.fault);
        return list;
    }();
    return faults;
}

} // namespace ccsim
