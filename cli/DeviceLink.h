// One device on the port, reached through the library's exports. Each method
// makes the export's exchange, checks the reply that the serial layer
// recorded against what ccTalk defines for the request, and returns the
// decoded result; when the reply fails the check, or the export fails all
// the same (then ReplyProbe asks again), it throws CliError with a one-line
// reason.
// Everything the commands, the scan, the watch and the set-up file read or
// write goes through here, so failures read the same everywhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "PortSession.h"

namespace ravlin {

struct Date
{
    unsigned year = 0, month = 0, day = 0;
};

class DeviceLink
{
public:
    DeviceLink(PortSession &port, uint8_t address) : m_port(port), m_address(address) {}

    uint8_t address() const { return m_address; }
    void setAddress(uint8_t address) { m_address = address; }
    PortSession &port() { return m_port; }

    // Identity, addressing and comms.
    uint8_t simplePoll();              // the address that answered
    std::vector<uint8_t> addressPoll(); // every bare answer, in order (none: empty)
    void setAddressTo(uint8_t newAddress);
    uint8_t randomAddress();           // the new address
    std::pair<uint8_t, uint8_t> polling(); // units, value
    uint8_t status();
    std::string manufacturer();        // the bytes as sent
    std::string category();
    std::string product();
    uint8_t databaseVersion();
    uint32_t serialNumber();
    std::string softwareVersion();
    std::string buildCode();
    Date creationDate();
    Date modificationDate();
    int32_t baseYear();
    uint8_t addressMode();
    std::array<uint8_t, 3> cctalkVersion();
    std::array<uint8_t, 3> commsStatus();
    void clearComms();
    uint8_t reset();                   // the address that acknowledged

    // I/O, channels, coins.
    void testSolenoid(uint8_t solenoid);
    void testOutput(uint8_t mask, bool latch);
    uint8_t inputLines();
    uint8_t optos();
    void setInhibits(uint16_t enabledMask);
    uint16_t inhibits();               // bit k: channel k + 1 enabled
    std::vector<uint8_t> eventBuffer(); // counter, then five result pairs
    bool masterInhibit();              // true: coins are refused
    void setMasterInhibit(bool inhibit); // through the raw pass-through (header 228)
    void setSorter(uint8_t channel, uint8_t path);
    uint8_t sorter(uint8_t channel);
    void setCoinId(uint8_t channel, const std::string &identifier);
    std::string coinId(uint8_t channel);

private:
    [[noreturn]] void failRead(uint8_t header, const std::vector<uint8_t> &data = {});
    [[noreturn]] void failWrite(uint8_t header, uint8_t pollAddress);
    // For a write that does the same when made twice: sent again, so that
    // a refusal (NAK) shows as one.
    [[noreturn]] void failRepeatableWrite(uint8_t header, const std::vector<uint8_t> &data);
    // Throws CliError, after letting the line settle, when the exchange the
    // export just made did not get the reply ccTalk defines for its request
    // (nothing, cut short, garbled, refused, from another address, of
    // another length). An export's failure value is real when it passes.
    void verify();
    std::string text(void (*read)(CountedString *, PortHandle *, uint8_t), uint8_t header);
    Date date(uint8_t header, bool manufacturing);

    PortSession &m_port;
    uint8_t m_address;
    // The exchange verify() last passed was a good reply with no data.
    bool m_lastReplyEmpty = false;
};

// The names a person reads for some of the values.
std::string statusName(uint8_t status);
std::string pollingText(uint8_t units, uint8_t value);
std::string addressModeText(uint8_t mode);

} // namespace ravlin
