#include "Frame.h"

#include <map>

namespace ccsim {

uint8_t checksumOf(const uint8_t *bytes, size_t count)
{
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(256 - (sum % 256));
}

bool checksumGood(const Bytes &bytes)
{
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    return !bytes.empty() && sum % 256 == 0;
}

Bytes encode(const Frame &frame)
{
    const size_t length = frame.data.size() > 255 ? 255 : frame.data.size();
    Bytes bytes(length + 5);
    bytes[0] = frame.destination;
    bytes[1] = static_cast<uint8_t>(length);
    bytes[2] = frame.source;
    bytes[3] = frame.header;
    for (size_t i = 0; i < length; ++i)
        bytes[4 + i] = frame.data[i];
    bytes[4 + length] = checksumOf(bytes.data(), length + 4);
    return bytes;
}

bool decode(const Bytes &bytes, Frame &frame)
{
    if (bytes.size() < 5 || bytes.size() != size_t(bytes[1]) + 5)
        return false;
    frame.destination = bytes[0];
    frame.source = bytes[2];
    frame.header = bytes[3];
    frame.data.assign(bytes.begin() + 4, bytes.end() - 1);
    return true;
}

std::string headerName(uint8_t value)
{
    static const std::map<uint8_t, const char *> names = {
        {header::Reply, "reply"},
        {header::ResetDevice, "reset device"},
        {header::CommsStatus, "request comms status variables"},
        {header::ClearCommsStatus, "clear comms status variables"},
        {header::CommsRevision, "request comms revision"},
        {header::Nak, "NAK"},
        {header::Busy, "BUSY"},
        {header::AddressMode, "request address mode"},
        {header::BaseYear, "request base year"},
        {header::CoinId, "request coin id"},
        {header::ModifyCoinId, "modify coin id"},
        {header::BuildCode, "request build code"},
        {header::ModificationDate, "request last modification date"},
        {header::CreationDate, "request creation date"},
        {header::SorterPath, "request sorter paths"},
        {header::ModifySorterPath, "modify sorter paths"},
        {header::CoinPosition, "request coin position"},
        {header::MasterInhibit, "request master inhibit status"},
        {header::ModifyMasterInhibit, "modify master inhibit status"},
        {header::BufferedCredit, "read buffered credit or error codes"},
        {header::InhibitStatus, "request inhibit status"},
        {header::ModifyInhibitStatus, "modify inhibit status"},
        {header::PerformSelfCheck, "perform self-check"},
        {header::LatchOutputLines, "latch output lines"},
        {header::OptoStates, "read opto states"},
        {header::InputLines, "read input lines"},
        {header::TestOutputLines, "test output lines"},
        {header::TestSolenoids, "test solenoids"},
        {header::SoftwareRevision, "request software revision"},
        {header::SerialNumber, "request serial number"},
        {header::DatabaseVersion, "request database version"},
        {header::ProductCode, "request product code"},
        {header::EquipmentCategory, "request equipment category id"},
        {header::Manufacturer, "request manufacturer id"},
        {header::Status, "request status"},
        {header::PollingPriority, "request polling priority"},
        {header::RandomAddress, "address random"},
        {header::ChangeAddress, "address change"},
        {header::AddressClash, "address clash"},
        {header::AddressPoll, "address poll"},
        {header::SimplePoll, "simple poll"},
    };
    const auto it = names.find(value);
    return it != names.end() ? it->second : "header " + std::to_string(value);
}

} // namespace ccsim
