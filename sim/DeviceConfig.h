// What a simulated device is at power-up: its identity, its stored settings
// and its behaviour on the bus. The defaults describe a 16-channel coin
// acceptor at address 2.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Fault.h"
#include "SimTime.h"

namespace ccsim {

constexpr int kChannels = 16;

// ccTalk date code: day in bits 0-4, month in bits 5-8, years after the base
// year in bits 9-13.
uint16_t dateCode(int year, int month, int day, int baseYear);

struct DeviceConfig
{
    uint8_t address = 2;

    // Identity.
    std::string manufacturer = "Virtual Validators";
    std::string equipmentCategory = "Coin Acceptor";
    std::string productCode = "CV-16";
    uint32_t serialNumber = 1234567; // 24 bits, sent low byte first
    std::string softwareRevision = "V1.04";
    uint8_t databaseVersion = 3;
    std::string buildCode = "STD01";
    std::string baseYear = "2000";
    uint16_t creationDate = dateCode(2019, 3, 15, 2000);
    uint16_t modificationDate = dateCode(2024, 6, 2, 2000);
    uint8_t addressMode = 0x84;
    std::array<uint8_t, 3> commsRevision{1, 4, 6}; // release, major, minor
    uint8_t pollingUnits = 2;                       // 2: tens of milliseconds
    uint8_t pollingValue = 20;                      // 200 ms
    uint8_t status = 0;
    // What a self-check finds: fault code 0 is no fault; some codes name the
    // part at fault (a coil, a sensor) in an extra byte, -1 for none.
    uint8_t selfCheckFault = 0;
    int selfCheckExtra = -1;

    // Channels (index 0 is channel 1).
    std::array<std::string, kChannels> coinIds{
        "EU001A", "EU002A", "EU005A", "EU010A", "EU020A", "EU050A", "EU100A", "EU200A",
        "EU010B", "EU020B", "EU050B", "EU100B", "EU200B", "TK001A", "......", "......"};
    std::array<uint8_t, kChannels> sorterPaths{1, 1, 1, 1, 2, 2, 3, 3, 1, 1, 2, 3, 3, 4, 1, 1};
    uint16_t powerUpEnabledChannels = 0xFFFF; // bit k: channel k + 1 enabled
    bool powerUpMasterInhibit = false;        // true: the acceptor refuses all coins

    uint8_t inputLines = 0;
    uint8_t optoStates = 0;

    // Behaviour.
    SimTime replyDelay = 2ms;
    SimTime lateDelay = 5s; // added to the reply delay by the late-reply fault
    SimTime addressPollQuiet = 1200ms;
    bool ackAddressChangeFromOldAddress = false;
    Fault fault = Fault::None;
    uint32_t randomSeed = 1;
};

} // namespace ccsim
