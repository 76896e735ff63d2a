// The ccTalk message as it travels on the wire: destination, data length,
// source, header, data, checksum. The checksum makes the sum of all bytes a
// multiple of 256.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ccsim {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kHostAddress = 1;
constexpr uint8_t kBroadcastAddress = 0;

namespace header {
constexpr uint8_t Reply = 0;
constexpr uint8_t ResetDevice = 1;
constexpr uint8_t CommsStatus = 2;
constexpr uint8_t ClearCommsStatus = 3;
constexpr uint8_t CommsRevision = 4;
constexpr uint8_t Nak = 5;
constexpr uint8_t Busy = 6;
constexpr uint8_t AddressMode = 169;
constexpr uint8_t BaseYear = 170;
constexpr uint8_t CoinId = 184;
constexpr uint8_t ModifyCoinId = 185;
constexpr uint8_t BuildCode = 192;
constexpr uint8_t ModificationDate = 195;
constexpr uint8_t CreationDate = 196;
constexpr uint8_t SorterPath = 209;
constexpr uint8_t ModifySorterPath = 210;
constexpr uint8_t CoinPosition = 212;
constexpr uint8_t MasterInhibit = 227;
constexpr uint8_t ModifyMasterInhibit = 228;
constexpr uint8_t BufferedCredit = 229;
constexpr uint8_t InhibitStatus = 230;
constexpr uint8_t ModifyInhibitStatus = 231;
constexpr uint8_t PerformSelfCheck = 232;
constexpr uint8_t LatchOutputLines = 233;
constexpr uint8_t OptoStates = 236;
constexpr uint8_t InputLines = 237;
constexpr uint8_t TestOutputLines = 238;
constexpr uint8_t TestSolenoids = 240;
constexpr uint8_t SoftwareRevision = 241;
constexpr uint8_t SerialNumber = 242;
constexpr uint8_t DatabaseVersion = 243;
constexpr uint8_t ProductCode = 244;
constexpr uint8_t EquipmentCategory = 245;
constexpr uint8_t Manufacturer = 246;
constexpr uint8_t Status = 248;
constexpr uint8_t PollingPriority = 249;
constexpr uint8_t RandomAddress = 250;
constexpr uint8_t ChangeAddress = 251;
constexpr uint8_t AddressClash = 252;
constexpr uint8_t AddressPoll = 253;
constexpr uint8_t SimplePoll = 254;
} // namespace header

struct Frame
{
    uint8_t destination = 0;
    uint8_t source = kHostAddress;
    uint8_t header = 0;
    Bytes data;
};

// The byte that makes the sum of the given bytes a multiple of 256.
uint8_t checksumOf(const uint8_t *bytes, size_t count);
inline uint8_t checksumOf(const Bytes &bytes) { return checksumOf(bytes.data(), bytes.size()); }

// True when bytes is one whole message whose bytes add up to 0 mod 256.
bool checksumGood(const Bytes &bytes);

// The wire bytes of a frame (at most 255 data bytes are sent).
Bytes encode(const Frame &frame);

// Parses one whole message; the checksum is not tested. False when the
// bytes are not exactly length + 5 long.
bool decode(const Bytes &bytes, Frame &frame);

// The request's name ("simple poll", "request serial number", ...), or
// "header N" for one this device does not know.
std::string headerName(uint8_t header);

} // namespace ccsim
