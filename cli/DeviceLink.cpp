#include "DeviceLink.h"

#include <algorithm>
#include <cstring>

#include "CCTalkComDeclar.h"
#include "CliError.h"
#include "IntegerText.h"
#include "ReplyProbe.h"

namespace ravlin {

namespace {

std::string headerText(uint8_t header)
{
    return "header " + std::to_string(header);
}

} // namespace

void DeviceLink::failRead(uint8_t header, const std::vector<uint8_t> &data)
{
    const Probe probe = probeRequest(m_port, m_address, header, data);
    throw CliError(kExitDevice,
                   describeFailure(probe, m_address, m_port.shown(),
                                   "bad reply from address " + std::to_string(m_address) + " on " + m_port.shown()
                                       + " to " + headerText(header)
                                       + " (asked again it answered well: the line is unreliable)"),
                   probe.kind);
}

void DeviceLink::failWrite(uint8_t header, uint8_t pollAddress)
{
    // A request that changes the device is not sent twice: a simple poll
    // tells whether the device is there at all.
    const Probe probe = probeRequest(m_port, pollAddress, 254, {});
    throw CliError(kExitDevice, describeFailure(probe, pollAddress, m_port.shown(),
                                                "address " + std::to_string(pollAddress) + " on " + m_port.shown()
                                                    + " answers a simple poll but did not acknowledge "
                                                    + headerText(header) + " (refused, or the reply was garbled)"),
                   probe.kind);
}

void DeviceLink::failRepeatableWrite(uint8_t header, const std::vector<uint8_t> &data)
{
    const Probe probe = probeRequest(m_port, m_address, header, data);
    throw CliError(kExitDevice,
                   describeFailure(probe, m_address, m_port.shown(),
                                   "address " + std::to_string(m_address) + " on " + m_port.shown()
                                       + " acknowledged " + headerText(header) + " only when sent again"),
                   probe.kind);
}

void DeviceLink::verify()
{
    m_lastReplyEmpty = false;
    Probe verdict;
    if (!m_port.newExchange(verdict))
        return;
    if (verdict.kind == Probe::Good) {
        m_lastReplyEmpty = verdict.length == 0;
        return;
    }
    if (lineMayStillCarry(verdict))
        m_port.settle();
    throw CliError(kExitDevice, describeVerdict(verdict, m_port.shown()), verdict.kind);
}

uint8_t DeviceLink::simplePoll()
{
    uint8_t address = m_address;
    const bool ok = CCGet_Simple_Poll(m_port.handle(), &address);
    verify();
    if (!ok)
        failRead(254);
    return address;
}

std::vector<uint8_t> DeviceLink::addressPoll()
{
    // The raw pass-through collects the bare answers of every device until
    // none comes within the time-out; the export reads the first only.
    uint8_t request[255] = {0, 0, 1, 253};
    uint8_t reply[260] = {};
    if (!CCSend_Command(m_port.handle(), request, reply))
        return {};
    return std::vector<uint8_t>(reply + 5, reply + 5 + reply[1]);
}

void DeviceLink::setAddressTo(uint8_t newAddress)
{
    const bool ok = CCSet_Adress(m_port.handle(), m_address, newAddress);
    verify();
    if (!ok)
        failWrite(251, m_address);
}

uint8_t DeviceLink::randomAddress()
{
    uint8_t address = m_address;
    const bool ok = CCSet_Rand_Adress(m_port.handle(), &address);
    verify();
    if (!ok)
        failWrite(250, m_address);
    return address;
}

std::pair<uint8_t, uint8_t> DeviceLink::polling()
{
    uint8_t units = 0, value = 0;
    const bool ok = CCGet_Polling(m_port.handle(), m_address, &units, &value);
    verify();
    if (!ok)
        failRead(249);
    return {units, value};
}

uint8_t DeviceLink::status()
{
    const uint8_t value = CCGet_Status(m_port.handle(), m_address);
    verify();
    return value;
}

std::string DeviceLink::text(void (*read)(CountedString *, PortHandle *, uint8_t), uint8_t header)
{
    CountedString result{};
    read(&result, m_port.handle(), m_address);
    verify();
    // A good reply of 255 bytes is read but given as empty.
    if (result.bytes[0] == 0 && !m_lastReplyEmpty)
        failRead(header);
    return std::string(reinterpret_cast<const char *>(result.bytes + 1), result.bytes[0]);
}

std::string DeviceLink::manufacturer() { return text(CCGet_Manufacturer, 246); }
std::string DeviceLink::category() { return text(CCGet_Equipement, 245); }
std::string DeviceLink::product() { return text(CCGet_Product, 244); }
std::string DeviceLink::softwareVersion() { return text(CCSoftVersion, 241); }
std::string DeviceLink::buildCode() { return text(CCGet_BuildCode, 192); }

uint8_t DeviceLink::databaseVersion()
{
    const uint8_t value = CCGet_DB(m_port.handle(), m_address);
    verify();
    return value;
}

uint32_t DeviceLink::serialNumber()
{
    const int32_t value = CCGet_Serial_Number(m_port.handle(), m_address);
    verify();
    if (value == -1)
        failRead(242);
    return static_cast<uint32_t>(value);
}

Date DeviceLink::date(uint8_t header, bool manufacturing)
{
    uint16_t year = 0, month = 0, day = 0;
    bool ok = false;
    try {
        ok = manufacturing ? CCGet_Manufacturing_Date(m_port.handle(), m_address, &year, &month, &day)
                           : CCGet_Modification_Date(m_port.handle(), m_address, &year, &month, &day);
        verify();
    } catch (const IntegerConversionError &error) {
        verify();
        if (error.text().empty())
            failRead(170);
        throw CliError(kExitDevice, "the device's base year is not a number: " + std::string(error.what()));
    }
    if (!ok) {
        if (year == 1900 && month == 1 && day == 1)
            failRead(header);
        throw CliError(kExitDevice, "address " + std::to_string(m_address) + " on " + m_port.shown()
                                        + " sent a date with month " + std::to_string(month));
    }
    return {year, month, day};
}

Date DeviceLink::creationDate() { return date(196, true); }
Date DeviceLink::modificationDate() { return date(195, false); }

int32_t DeviceLink::baseYear()
{
    try {
        const int32_t year = CCRequest_Base_Year(m_port.handle(), m_address);
        verify();
        return year;
    } catch (const IntegerConversionError &error) {
        verify();
        if (error.text().empty())
            failRead(170);
        throw CliError(kExitDevice, "the device's base year is not a number: " + std::string(error.what()));
    }
}

uint8_t DeviceLink::addressMode()
{
    const uint8_t value = CCGet_Adress_Mode(m_port.handle(), m_address);
    verify();
    return value;
}

std::array<uint8_t, 3> DeviceLink::cctalkVersion()
{
    std::array<uint8_t, 3> out{};
    const bool ok = CCGet_cctalk_Version(m_port.handle(), m_address, out.data());
    verify();
    if (!ok)
        failRead(4);
    return out;
}

std::array<uint8_t, 3> DeviceLink::commsStatus()
{
    std::array<uint8_t, 3> out{};
    const bool ok = CCGet_CommsStatus(m_port.handle(), m_address, out.data());
    verify();
    if (!ok)
        failRead(2);
    return out;
}

void DeviceLink::clearComms()
{
    const bool ok = CCClearsCom(m_port.handle(), m_address);
    verify();
    if (!ok)
        failRepeatableWrite(3, {});
}

uint8_t DeviceLink::reset()
{
    uint8_t address = m_address;
    const bool ok = CCReSet(m_port.handle(), &address);
    verify();
    if (!ok)
        failWrite(1, m_address);
    return address;
}

void DeviceLink::testSolenoid(uint8_t solenoid)
{
    const bool ok = CCTestSolenoid(m_port.handle(), m_address, solenoid);
    verify();
    if (!ok)
        failWrite(240, m_address);
}

void DeviceLink::testOutput(uint8_t mask, bool latch)
{
    const bool ok = CCTestOutput(m_port.handle(), m_address, mask, latch ? 1 : 0);
    verify();
    if (!ok)
        failWrite(latch ? 233 : 238, m_address);
}

uint8_t DeviceLink::inputLines()
{
    const uint8_t value = CCGet_InputLines(m_port.handle(), m_address);
    verify();
    return value;
}

uint8_t DeviceLink::optos()
{
    const uint8_t value = CCGet_Opto_Status(m_port.handle(), m_address);
    verify();
    return value;
}

void DeviceLink::setInhibits(uint16_t enabledMask)
{
    const bool ok = CCSet_Channel_Enable(m_port.handle(), m_address, enabledMask);
    verify();
    if (!ok)
        failRepeatableWrite(231, {static_cast<uint8_t>(enabledMask & 0xFF), static_cast<uint8_t>(enabledMask >> 8)});
}

uint16_t DeviceLink::inhibits()
{
    const uint16_t value = CCGet_Channel_Enable(m_port.handle(), m_address);
    verify();
    return value;
}

std::vector<uint8_t> DeviceLink::eventBuffer()
{
    // The export writes the reply's bytes and nothing on failure: a buffer
    // still holding its fill after the call was not written.
    constexpr uint8_t kFill = 0xEE;
    uint8_t buffer[254];
    std::memset(buffer, kFill, sizeof buffer);
    CCGet_Buffer(m_port.handle(), m_address, buffer);
    verify();
    if (std::all_of(buffer, buffer + 11, [](uint8_t b) { return b == kFill; }))
        failRead(229);
    return std::vector<uint8_t>(buffer, buffer + 11);
}

bool DeviceLink::masterInhibit()
{
    const bool inhibited = CCGet_Master_Inhibit(m_port.handle(), m_address);
    verify();
    return inhibited;
}

void DeviceLink::setMasterInhibit(bool inhibit)
{
    // No export of its own: the raw pass-through carries it. Bit 0 of the
    // data byte is 0 for "refuse all coins", 1 for normal operation.
    uint8_t request[255] = {m_address, 1, 1, 228, static_cast<uint8_t>(inhibit ? 0 : 1)};
    uint8_t reply[260] = {};
    const bool sent = CCSend_Command(m_port.handle(), request, reply);
    const Probe answer = classifyReply(sent, reply);
    const bool acknowledged = answer.kind == Probe::Good && answer.data.empty()
                              && (m_address == 0 || answer.source == m_address);
    if (!acknowledged) {
        // A good frame that is not the acknowledgement may be a late reply.
        if (answer.kind == Probe::Good || lineMayStillCarry(answer))
            m_port.settle();
        if (answer.kind == Probe::Good)
            throw CliError(kExitDevice, "unexpected reply from address " + std::to_string(m_address) + " on "
                                            + m_port.shown() + " to header 228");
        throw CliError(kExitDevice, describeFailure(answer, m_address, m_port.shown(), {}));
    }
}

void DeviceLink::setSorter(uint8_t channel, uint8_t path)
{
    const bool ok = CCModify_Sorter(m_port.handle(), m_address, channel, path);
    verify();
    if (!ok)
        failRepeatableWrite(210, {channel, path});
}

uint8_t DeviceLink::sorter(uint8_t channel)
{
    const uint8_t value = CCRequest_Sorter(m_port.handle(), m_address, channel);
    verify();
    return value;
}

void DeviceLink::setCoinId(uint8_t channel, const std::string &identifier)
{
    uint8_t bytes[6];
    std::memset(bytes, ' ', sizeof bytes);
    std::memcpy(bytes, identifier.data(), std::min<size_t>(identifier.size(), 6));
    const bool ok = CCset_CoinId(m_port.handle(), m_address, channel, bytes);
    verify();
    if (!ok)
        failRepeatableWrite(185, {channel, bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]});
}

std::string DeviceLink::coinId(uint8_t channel)
{
    CountedString result{};
    CCGet_CoinId(&result, m_port.handle(), m_address, channel);
    verify();
    if (result.bytes[0] == 0)
        failRead(184, {channel});
    return std::string(reinterpret_cast<const char *>(result.bytes + 1), result.bytes[0]);
}

std::string statusName(uint8_t status)
{
    switch (status) {
    case 0: return "ok";
    case 1: return "coin return mechanism activated";
    case 2: return "C.O.S. mechanism activated";
    default: return "status " + std::to_string(status);
    }
}

std::string pollingText(uint8_t units, uint8_t value)
{
    static const char *const kUnits[] = {"", "ms", "ms", "s", "minutes", "hours", "days", "weeks", "months", "years"};
    if (units == 0)
        return value == 0 ? "see the product manual" : value == 255 ? "hardware" : std::to_string(value);
    if (units == 2)
        return std::to_string(value * 10) + " ms";
    if (units < 10)
        return std::to_string(value) + " " + kUnits[units];
    return std::to_string(value) + " (units " + std::to_string(units) + ")";
}

std::string addressModeText(uint8_t mode)
{
    static const char *const kNames[] = {"ROM", "RAM", "EEPROM", "CONNECTOR", "LINKS", "SWITCH",
                                         "SERIAL & VOLATILE", "SERIAL & NON VOLATILE"};
    std::string text;
    for (int bit = 0; bit < 8; ++bit)
        if (mode & (1 << bit))
            text += (text.empty() ? "" : ", ") + std::string(kNames[bit]);
    return text.empty() ? "none" : text;
}

} // namespace ravlin
