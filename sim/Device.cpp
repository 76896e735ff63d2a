#include "Device.h"

#include <algorithm>

namespace ccsim {

uint16_t dateCode(int year, int month, int day, int baseYear)
{
    const int offset = std::clamp(year - baseYear, 0, 31);
    return static_cast<uint16_t>((offset << 9) | ((month & 0x0F) << 5) | (day & 0x1F));
}

Device::Device(DeviceConfig config) : m_config(std::move(config)), m_random(m_config.randomSeed)
{
    powerUp();
    m_resets = 0;
}

void Device::powerUp()
{
    m_receiver.reset();
    m_receiver.clearCounters();
    m_events = {};
    m_enabledChannels = m_config.powerUpEnabledChannels;
    m_masterInhibit = m_config.powerUpMasterInhibit;
    m_latchedOutputs = 0;
    m_lastOutputTest = 0;
    m_lastSolenoidTest = 0;
    m_quietSet = false;
    m_requestsHandled = 0;
    ++m_resets;
}

std::optional<Transmission> Device::receive(uint8_t byte, SimTime t)
{
    m_receiver.expire(t);
    if (m_quietSet && t < m_quietUntil) {
        // After an address poll the device keeps off the bus for a while.
        m_receiver.ignore(1);
        return std::nullopt;
    }
    if (auto message = m_receiver.push(byte, t))
        return handleMessage(*message, t);
    return std::nullopt;
}

std::optional<Transmission> Device::handleMessage(const Bytes &message, SimTime t)
{
    if (!checksumGood(message)) {
        m_receiver.badChecksum();
        return std::nullopt;
    }
    Frame request;
    decode(message, request);
    if (request.destination != kBroadcastAddress && request.destination != m_config.address)
        return std::nullopt;
    if (m_config.fault == Fault::Silence)
        return std::nullopt;

    const bool addressPoll = request.header == header::AddressPoll || request.header == header::AddressClash;
    const uint8_t oldAddress = m_config.address;
    Answer answer;
    if (!addressPoll && m_config.fault == Fault::Nak) {
        answer = nak();
    } else if (!addressPoll && m_config.fault == Fault::Busy) {
        answer = ack();
        answer.header = header::Busy;
    } else {
        answer = execute(request, t);
    }
    ++m_requestsHandled;
    if (answer.kind == Answer::None)
        return std::nullopt;

    Transmission out;
    out.start = t + answer.delay;
    if (answer.kind == Answer::Bare) {
        out.bare = true;
        out.bytes = {answer.source};
    } else {
        // The reply goes back to whoever asked: a host need not be at 1.
        Frame frame{request.source, answer.source ? answer.source : oldAddress, answer.header, answer.data};
        out.bytes = encode(frame);
        if (m_config.fault == Fault::WrongChecksum)
            out.bytes.back() = static_cast<uint8_t>(out.bytes.back() + 1);
    }
    switch (m_config.fault) {
    case Fault::LateReply:
        out.start += m_config.lateDelay;
        break;
    case Fault::TruncatedReply:
        out.bytes.resize(out.bytes.size() / 2);
        break;
    case Fault::Garbage: {
        Bytes noise(3);
        for (auto &b : noise)
            b = static_cast<uint8_t>(m_random());
        out.bytes.insert(out.bytes.begin(), noise.begin(), noise.end());
        break;
    }
    default:
        break;
    }
    if (out.bytes.empty())
        return std::nullopt;
    return out;
}

Device::Answer Device::ack() const
{
    Answer a;
    a.kind = Answer::Framed;
    a.delay = m_config.replyDelay;
    a.source = m_config.address;
    return a;
}

Device::Answer Device::reply(Bytes data) const
{
    Answer a = ack();
    a.data = std::move(data);
    return a;
}

Device::Answer Device::text(const std::string &value) const
{
    return reply(Bytes(value.begin(), value.end()));
}

Device::Answer Device::nak() const
{
    Answer a = ack();
    a.header = header::Nak;
    return a;
}

Device::Answer Device::execute(const Frame &request, SimTime t)
{
    const Bytes &d = request.data;
    const auto needs = [&](size_t n) { return d.size() == n; };
    const auto channelOk = [&](uint8_t channel) { return channel >= 1 && channel <= kChannels; };
    auto &c = m_config;

    switch (request.header) {
    case header::SimplePoll:
        return ack();
    case header::AddressPoll:
    case header::AddressClash: {
        Answer a;
        a.kind = Answer::Bare;
        a.source = c.address;
        if (request.header == header::AddressPoll)
            a.delay = 4ms * c.address;
        else
            a.delay = std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 4 * 255)(m_random));
        m_quietSet = true;
        m_quietUntil = t + c.addressPollQuiet;
        return a;
    }
    case header::ChangeAddress: {
        if (!needs(1) || d[0] == kBroadcastAddress || d[0] == kHostAddress)
            return nak();
        Answer a = ack();
        c.address = d[0];
        if (!c.ackAddressChangeFromOldAddress)
            a.source = c.address;
        return a;
    }
    case header::RandomAddress: {
        Answer a = ack();
        c.address = randomAddress();
        if (!c.ackAddressChangeFromOldAddress)
            a.source = c.address;
        return a;
    }
    case header::PollingPriority:
        return reply({c.pollingUnits, c.pollingValue});
    case header::Status:
        return reply({c.status});
    case header::Manufacturer:
        return text(c.manufacturer);
    case header::EquipmentCategory:
        return text(c.equipmentCategory);
    case header::ProductCode:
        return text(c.productCode);
    case header::DatabaseVersion:
        return reply({c.databaseVersion});
    case header::SerialNumber:
        return reply({static_cast<uint8_t>(c.serialNumber), static_cast<uint8_t>(c.serialNumber >> 8),
                      static_cast<uint8_t>(c.serialNumber >> 16)});
    case header::SoftwareRevision:
        return text(c.softwareRevision);
    case header::TestSolenoids:
        if (!needs(1))
            return nak();
        m_lastSolenoidTest = d[0];
        return ack();
    case header::TestOutputLines:
        if (!needs(1))
            return nak();
        m_lastOutputTest = d[0];
        return ack();
    case header::LatchOutputLines:
        if (!needs(1))
            return nak();
        m_latchedOutputs = d[0];
        return ack();
    case header::InputLines:
        return reply({c.inputLines});
    case header::OptoStates:
        return reply({c.optoStates});
    case header::ModifyInhibitStatus:
        if (!needs(2))
            return nak();
        m_enabledChannels = static_cast<uint16_t>(d[0] | (d[1] << 8));
        return ack();
    case header::InhibitStatus:
        return reply({static_cast<uint8_t>(m_enabledChannels), static_cast<uint8_t>(m_enabledChannels >> 8)});
    case header::BufferedCredit: {
        Bytes data{m_events.counter};
        data.insert(data.end(), m_events.results.begin(), m_events.results.end());
        return reply(data);
    }
    case header::PerformSelfCheck:
        if (c.selfCheckExtra >= 0)
            return reply({c.selfCheckFault, static_cast<uint8_t>(c.selfCheckExtra)});
        return reply({c.selfCheckFault});
    case header::CoinPosition: {
        // Coins are numbered as the channels: coin k sits at bit k - 1 of
        // the inhibit mask.
        if (!needs(1) || !channelOk(d[0]))
            return nak();
        const unsigned position = 1u << (d[0] - 1);
        return reply({static_cast<uint8_t>(position), static_cast<uint8_t>(position >> 8)});
    }
    case header::ModifyMasterInhibit:
        if (!needs(1))
            return nak();
        // Bit 0 set means normal operation.
        m_masterInhibit = (d[0] & 1) == 0;
        return ack();
    case header::MasterInhibit:
        return reply({static_cast<uint8_t>(m_masterInhibit ? 0 : 1)});
    case header::ModifySorterPath:
        if (!needs(2) || !channelOk(d[0]) || d[1] > 8)
            return nak();
        c.sorterPaths[d[0] - 1] = d[1];
        return ack();
    case header::SorterPath:
        if (!needs(1) || !channelOk(d[0]))
            return nak();
        return reply({c.sorterPaths[d[0] - 1]});
    case header::CreationDate:
        return reply({static_cast<uint8_t>(c.creationDate), static_cast<uint8_t>(c.creationDate >> 8)});
    case header::ModificationDate:
        return reply({static_cast<uint8_t>(c.modificationDate), static_cast<uint8_t>(c.modificationDate >> 8)});
    case header::BuildCode:
        return text(c.buildCode);
    case header::ModifyCoinId:
        if (!needs(7) || !channelOk(d[0]))
            return nak();
        c.coinIds[d[0] - 1].assign(d.begin() + 1, d.end());
        return ack();
    case header::CoinId:
        if (!needs(1) || !channelOk(d[0]))
            return nak();
        return text(c.coinIds[d[0] - 1]);
    case header::BaseYear:
        return text(c.baseYear);
    case header::AddressMode:
        return reply({c.addressMode});
    case header::CommsRevision:
        return reply({c.commsRevision[0], c.commsRevision[1], c.commsRevision[2]});
    case header::CommsStatus: {
        const CommsCounters &n = m_receiver.counters();
        return reply({n.interByteTimeouts, n.ignoredBytes, n.badChecksums});
    }
    case header::ClearCommsStatus:
        m_receiver.clearCounters();
        return ack();
    case header::ResetDevice: {
        Answer a = ack();
        powerUp();
        return a;
    }
    default:
        return nak();
    }
}

uint8_t Device::randomAddress()
{
    // 0 is the broadcast address, 1 the host and 2 the usual address of a
    // coin acceptor: a random address never takes them.
    return static_cast<uint8_t>(std::uniform_int_distribution<int>(3, 255)(m_random));
}

void Device::logEvent(uint8_t a, uint8_t b)
{
    std::copy_backward(m_events.results.begin(), m_events.results.end() - 2, m_events.results.end());
    m_events.results[0] = a;
    m_events.results[1] = b;
    m_events.counter = m_events.counter == 255 ? 1 : static_cast<uint8_t>(m_events.counter + 1);
}

bool Device::insertCoin(int channel)
{
    if (channel < 1 || channel > kChannels)
        return false;
    const bool enabled = (m_enabledChannels >> (channel - 1)) & 1;
    if (!enabled || m_masterInhibit) {
        logEvent(0, eventCode::InhibitedCoin);
        return false;
    }
    logEvent(static_cast<uint8_t>(channel), m_config.sorterPaths[channel - 1]);
    return true;
}

void Device::raiseError(uint8_t code)
{
    logEvent(0, code);
}

} // namespace ccsim
