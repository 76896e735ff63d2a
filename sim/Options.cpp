#include "Options.h"

#include <cstdio>
#include <cstdlib>

namespace ccsim {

const char *usageText()
{
    return R"(Usage: ccsim [options]

A virtual ccTalk coin validator on a pseudo-terminal. The first line on
standard output is the path of the terminal a host opens (for the bench:
PONTEL_COM1=<path>). Ends on Ctrl-C, SIGTERM, or the end of standard input
once control commands came in on it.

Bus and program:
  --link PATH            also make a symbolic link PATH to the terminal
                         (removed on exit)
  --tap PATH             a second terminal, linked at PATH, carrying a copy
                         of every byte on the line (for a bus monitor)
  --no-pacing            bytes travel at once instead of at 9600 baud
                         (about 1.04 ms a byte, echo included)
  --trace                decoded bus monitor on standard error: time,
                         direction, addresses, header name, data, checksum
  --coin-every SECONDS   insert a coin in the first device every SECONDS,
                         going round the channels that have a coin id
  --help                 this text

Devices (one coin acceptor at address 2 unless told otherwise). Device
options apply to the device of the last --device, and before any --device
to the first device:
  --device ADDR          a device at ADDR (3 to 255, or 2); the first
                         --device readdresses the first device, each further
                         one adds a device
  --manufacturer TEXT    manufacturer id         (Virtual Validators)
  --category TEXT        equipment category      (Coin Acceptor)
  --product TEXT         product code            (CV-16)
  --serial N             serial number, 24 bits  (1234567)
  --software TEXT        software revision       (V1.04)
  --database N           database version        (3)
  --build TEXT           build code              (STD01)
  --base-year TEXT       base year of the dates  (2000)
  --created YYYY-MM-DD   creation date           (2019-03-15)
  --modified YYYY-MM-DD  last modification date  (2024-06-02)
  --address-mode N       address mode byte       (0x84)
  --comms-revision A.B.C release, major, minor   (1.4.6)
  --polling UNITS,VALUE  polling priority        (2,20: 200 ms)
  --status N             status byte             (0)
  --self-check CODE[,X]  fault code of the self-check, with its extra
                         byte X when it has one (0: no fault)
  --coin CH=ID           coin id of channel CH, 6 characters (EU001A...)
  --path CH=P            sorter path of channel CH (0 to 8)
  --enabled MASK         channels enabled at power-up, bit k = channel k+1
                         (0xFFFF)
  --master-inhibit       the master inhibit is on at power-up
  --inputs N             input lines byte        (0)
  --optos N              opto states byte        (0)
  --reply-delay MS       delay before each reply (2)
  --late-delay MS        extra delay of the late fault (5000)
  --quiet MS             quiet time after an address poll (1200)
  --ack-from-old-address acknowledge an address change from the old address
  --fault NAME           start with a fault (see below)
  --seed N               seed of the device's random choices (1)

Faults: none, silence, checksum (wrong reply checksum), nak, busy, late,
truncated (half a reply), garbage (noise ahead of each reply), no-echo (the
bus returns no echo while the device has it).

Control commands on standard input, one a line; ADDR is optional and names
the device (the first one by default):
  coin CH [ADDR]         insert a coin on channel CH
  error CODE [ADDR]      log the error event (0, CODE)
  inputs MASK [ADDR]     set the input lines
  optos MASK [ADDR]      set the opto states
  inhibit on|off [ADDR]  switch the master inhibit
  fault NAME [ADDR]      switch a fault (none to clear it)
  pacing on|off          line pacing
  state [ADDR]           print the state of the devices (or of one)
  help                   list the commands
  quit                   end the program
)";
}

long parseNumber(const std::string &text, long min, long max, const std::string &what)
{
    char *end = nullptr;
    const char *begin = text.c_str();
    const long value = text.empty() ? 0 : std::strtol(begin, &end, 0);
    if (text.empty() || *end != '\0' || value < min || value > max)
        throw OptionError(what + ": '" + text + "' is not a number from " + std::to_string(min) + " to "
                          + std::to_string(max));
    return value;
}

namespace {

struct DeviceDates
{
    int created[3] = {2019, 3, 15};
    int modified[3] = {2024, 6, 2};
};

void parseDate(const std::string &text, int date[3], const std::string &what)
{
    int y = 0, m = 0, d = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) != 3 || m < 1 || m > 12 || d < 1 || d > 31)
        throw OptionError(what + ": '" + text + "' is not a date YYYY-MM-DD");
    date[0] = y;
    date[1] = m;
    date[2] = d;
}

// "CH=VALUE" with CH a channel number.
std::pair<int, std::string> channelAssignment(const std::string &text, const std::string &what)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        throw OptionError(what + ": '" + text + "' is not CHANNEL=VALUE");
    return {static_cast<int>(parseNumber(text.substr(0, eq), 1, kChannels, what + " channel")),
            text.substr(eq + 1)};
}

} // namespace

ProgramOptions parseOptions(const std::vector<std::string> &arguments)
{
    ProgramOptions options;
    options.devices.emplace_back();
    std::vector<DeviceDates> dates(1);
    bool deviceNamed = false;

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &name = arguments[i];
        const auto value = [&]() -> const std::string & {
            if (i + 1 >= arguments.size())
                throw OptionError(name + " needs a value");
            return arguments[++i];
        };
        const auto byte = [&](const std::string &what) {
            return static_cast<uint8_t>(parseNumber(value(), 0, 255, what));
        };
        const auto ms = [&](const std::string &what) {
            return SimTime(std::chrono::milliseconds(parseNumber(value(), 0, 3600000, what)));
        };
        DeviceConfig &device = options.devices.back();

        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--link") {
            options.linkPath = value();
        } else if (name == "--no-pacing") {
            options.bus.pacing = false;
        } else if (name == "--trace") {
            options.trace = true;
        } else if (name == "--coin-every") {
            const std::string &text = value();
            char *end = nullptr;
            options.coinEverySeconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(options.coinEverySeconds >= 0.01))
                throw OptionError("--coin-every: '" + text + "' is not a number of seconds (0.01 or more)");
        } else if (name == "--device") {
            const auto address = static_cast<uint8_t>(parseNumber(value(), 2, 255, "--device"));
            if (deviceNamed) {
                options.devices.emplace_back();
                dates.emplace_back();
            }
            deviceNamed = true;
            options.devices.back().address = address;
            options.devices.back().randomSeed = static_cast<uint32_t>(options.devices.size());
        } else if (name == "--manufacturer") {
            device.manufacturer = value();
        } else if (name == "--category") {
            device.equipmentCategory = value();
        } else if (name == "--product") {
            device.productCode = value();
        } else if (name == "--serial") {
            device.serialNumber = static_cast<uint32_t>(parseNumber(value(), 0, 0xFFFFFF, name));
        } else if (name == "--software") {
            device.softwareRevision = value();
        } else if (name == "--database") {
            device.databaseVersion = byte(name);
        } else if (name == "--build") {
            device.buildCode = value();
        } else if (name == "--base-year") {
            device.baseYear = value();
        } else if (name == "--created") {
            parseDate(value(), dates.back().created, name);
        } else if (name == "--modified") {
            parseDate(value(), dates.back().modified, name);
        } else if (name == "--address-mode") {
            device.addressMode = byte(name);
        } else if (name == "--comms-revision") {
            const std::string &text = value();
            unsigned a = 0, b = 0, c = 0;
            char rest = 0;
            if (std::sscanf(text.c_str(), "%u.%u.%u%c", &a, &b, &c, &rest) != 3 || a > 255 || b > 255 || c > 255)
                throw OptionError(name + ": '" + text + "' is not RELEASE.MAJOR.MINOR");
            device.commsRevision = {uint8_t(a), uint8_t(b), uint8_t(c)};
        } else if (name == "--polling") {
            const std::string &text = value();
            const auto comma = text.find(',');
            if (comma == std::string::npos)
                throw OptionError(name + ": '" + text + "' is not UNITS,VALUE");
            device.pollingUnits = static_cast<uint8_t>(parseNumber(text.substr(0, comma), 0, 255, name));
            device.pollingValue = static_cast<uint8_t>(parseNumber(text.substr(comma + 1), 0, 255, name));
        } else if (name == "--status") {
            device.status = byte(name);
        } else if (name == "--self-check") {
            const std::string &text = value();
            const auto comma = text.find(',');
            device.selfCheckFault = static_cast<uint8_t>(parseNumber(text.substr(0, comma), 0, 255, name));
            device.selfCheckExtra = comma == std::string::npos
                ? -1
                : static_cast<int>(parseNumber(text.substr(comma + 1), 0, 255, name));
        } else if (name == "--coin") {
            const auto [channel, id] = channelAssignment(value(), name);
            if (id.size() != 6)
                throw OptionError(name + ": a coin id has 6 characters, not '" + id + "'");
            device.coinIds[channel - 1] = id;
        } else if (name == "--path") {
            const auto [channel, path] = channelAssignment(value(), name);
            device.sorterPaths[channel - 1] = static_cast<uint8_t>(parseNumber(path, 0, 8, name));
        } else if (name == "--enabled") {
            device.powerUpEnabledChannels = static_cast<uint16_t>(parseNumber(value(), 0, 0xFFFF, name));
        } else if (name == "--master-inhibit") {
            device.powerUpMasterInhibit = true;
        } else if (name == "--inputs") {
            device.inputLines = byte(name);
        } else if (name == "--optos") {
            device.optoStates = byte(name);
        } else if (name == "--reply-delay") {
            device.replyDelay = ms(name);
        } else if (name == "--late-delay") {
            device.lateDelay = ms(name);
        } else if (name == "--quiet") {
            device.addressPollQuiet = ms(name);
        } else if (name == "--ack-from-old-address") {
            device.ackAddressChangeFromOldAddress = true;
        } else if (name == "--fault") {
            const std::string &text = value();
            const auto fault = parseFault(text);
            if (!fault)
                throw OptionError(name + ": no fault named '" + text + "'");
            device.fault = *fault;
        } else if (name == "--seed") {
            device.randomSeed = static_cast<uint32_t>(parseNumber(value(), 0, 0x7FFFFFFF, name));
        } else {
            throw OptionError("unknown option '" + name + "' (see ccsim --help)");
        }
    }

    for (size_t d = 0; d < options.devices.size(); ++d) {
        DeviceConfig &device = options.devices[d];
        // Dates count from the base year; a base year that is not a number
        // (a fault worth simulating) counts as 2000 here.
        char *end = nullptr;
        long base = std::strtol(device.baseYear.c_str(), &end, 10);
        if (device.baseYear.empty() || *end != '\0')
            base = 2000;
        const int *c = dates[d].created;
        const int *m = dates[d].modified;
        device.creationDate = dateCode(c[0], c[1], c[2], static_cast<int>(base));
        device.modificationDate = dateCode(m[0], m[1], m[2], static_cast<int>(base));
    }
    return options;
}

} // namespace ccsim
