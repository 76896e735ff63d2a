// Identity, addressing, dates, versions, comms counters and reset: one
// subcommand per export.
#include <cstdio>

#include "CliError.h"
#include "CommandTable.h"

namespace ravlin {

namespace {

void textCommand(Context &c, std::string (DeviceLink::*read)(), const char *key)
{
    const std::string text = shownText((c.device().*read)());
    c.report(text, JsonObject().add(key, text));
}

std::string dateText(const Date &d)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", d.year, d.month, d.day);
    return text;
}

void dateCommand(Context &c, bool creation)
{
    const Date d = creation ? c.device().creationDate() : c.device().modificationDate();
    c.report(dateText(d), JsonObject().add("date", dateText(d)).add("year", d.year).add("month", d.month).add("day", d.day));
}

void confirmAddressChange(Context &c, const std::string &what, uint8_t newAddress)
{
    c.report("address " + std::to_string(c.args.address) + " " + what + ": the device now answers at address "
                 + std::to_string(newAddress),
             JsonObject().add("new_address", newAddress));
}

} // namespace

std::vector<Command> identityCommands()
{
    return {
        {"poll", "", 0, 0, kDevice, 500, "simple poll: which device answers",
         "Sends a simple poll (header 254) to --address and prints the address of the device that "
         "acknowledged. With address 0 whichever device is on the line answers.",
         {"ravlin poll --port Com1", "ravlin poll --address 2 --json"},
         [](Context &c) {
             const uint8_t answered = c.device().simplePoll();
             c.report("device " + std::to_string(answered) + " answers", JsonObject().add("answered", answered));
         }},
        {"address-poll", "", 0, 0, kTimeout, 1200, "address poll: the addresses of the devices that answer",
         "Sends the address poll (header 253, always to address 0). Each device answers with one bare byte, "
         "its address, after a delay of 4 ms times the address; this prints every answer, in the order "
         "they came, until none comes within the time-out. Devices keep quiet for about a second after it.",
         {"ravlin address-poll"},
         [](Context &c) {
             const std::vector<uint8_t> answers = c.device().addressPoll();
             if (answers.empty())
                 throw CliError(kExitDevice, "no device answered the address poll on " + c.port().shown()
                                                 + " (timed out)");
             std::string line = answers.size() == 1 ? "address" : "addresses";
             for (const uint8_t a : answers)
                 line += " " + std::to_string(a);
             c.report(line, JsonObject().add("first_address", answers[0]).addNumbers("addresses", answers));
         }},
        {"set-address", "NEW", 1, 1, kDevice, 500, "give the device at --address a new address",
         "Sends header 251 with NEW to --address; the device acknowledges from its new address.",
         {"ravlin set-address 3 --address 2"},
         [](Context &c) {
             const uint8_t next = byteArgument(c.args.positionals[0], "the new address");
             c.device().setAddressTo(next);
             confirmAddressChange(c, "moved", next);
         }},
        {"random-address", "", 0, 0, kDevice, 500, "let the device at --address pick a random address",
         "Sends header 250; the device acknowledges from the address it picked, which is printed.",
         {"ravlin random-address --address 2"},
         [](Context &c) { confirmAddressChange(c, "moved at random", c.device().randomAddress()); }},
        {"polling", "", 0, 0, kDevice, 500, "the polling interval the device asks for",
         "Header 249: units and value, printed as an interval (\"200 ms\").",
         {"ravlin polling --address 2"},
         [](Context &c) {
             const auto [units, value] = c.device().polling();
             c.report(pollingText(units, value),
                      JsonObject().add("units", units).add("value", value).add("text", pollingText(units, value)));
         }},
        {"status", "", 0, 0, kDevice, 500, "the device status byte",
         "Header 248: 0 ok, 1 coin return mechanism activated, 2 C.O.S. mechanism activated.",
         {"ravlin status --address 2"},
         [](Context &c) {
             const uint8_t status = c.device().status();
             c.report(std::to_string(status) + " " + statusName(status),
                      JsonObject().add("status", status).add("text", statusName(status)));
         }},
        {"manufacturer", "", 0, 0, kDevice, 500, "the manufacturer's name (header 246)", "",
         {"ravlin manufacturer --address 2"},
         [](Context &c) { textCommand(c, &DeviceLink::manufacturer, "manufacturer"); }},
        {"category", "", 0, 0, kDevice, 500, "the equipment category (header 245)", "",
         {"ravlin category --address 2"},
         [](Context &c) { textCommand(c, &DeviceLink::category, "category"); }},
        {"product", "", 0, 0, kDevice, 500, "the product code (header 244)", "", {"ravlin product --address 2"},
         [](Context &c) { textCommand(c, &DeviceLink::product, "product"); }},
        {"database-version", "", 0, 0, kDevice, 500, "the coin database version (header 243)", "",
         {"ravlin database-version --address 2"},
         [](Context &c) {
             const uint8_t version = c.device().databaseVersion();
             c.report(std::to_string(version), JsonObject().add("database_version", version));
         }},
        {"serial-number", "", 0, 0, kDevice, 500, "the serial number (header 242)",
         "The three bytes of the reply, least significant first, as one number.",
         {"ravlin serial-number --port Com1 --address 2", "ravlin serial-number --port /dev/ttyUSB0 --json"},
         [](Context &c) {
             const uint32_t serial = c.device().serialNumber();
             c.report(std::to_string(serial), JsonObject().add("serial_number", static_cast<long long>(serial)));
         }},
        {"software-version", "", 0, 0, kDevice, 500, "the software revision (header 241)", "",
         {"ravlin software-version --address 2"},
         [](Context &c) { textCommand(c, &DeviceLink::softwareVersion, "software_version"); }},
        {"build-code", "", 0, 0, kDevice, 500, "the build code (header 192)", "", {"ravlin build-code --address 2"},
         [](Context &c) { textCommand(c, &DeviceLink::buildCode, "build_code"); }},
        {"creation-date", "", 0, 0, kDevice, 500, "the date of manufacture (header 196, then the base year)",
         "Two exchanges: the date code, then the base year (header 170) after a pause of half a second. "
         "A month outside 1 to 12 is an error.",
         {"ravlin creation-date --address 2"}, [](Context &c) { dateCommand(c, true); }},
        {"modification-date", "", 0, 0, kDevice, 500, "the date of the last change (header 195, then the base year)",
         "As creation-date, without the month check.", {"ravlin modification-date --address 2"},
         [](Context &c) { dateCommand(c, false); }},
        {"base-year", "", 0, 0, kDevice, 500, "the base year of the device's dates (header 170)",
         "Waits half a second, then asks; the reply text must be a whole number.", {"ravlin base-year --address 2"},
         [](Context &c) {
             const int32_t year = c.device().baseYear();
             c.report(std::to_string(year), JsonObject().add("base_year", year));
         }},
        {"address-mode", "", 0, 0, kDevice, 500, "how the device's address is set (header 169)",
         "The mode byte and the names of its bits (ROM, RAM, EEPROM, CONNECTOR, LINKS, SWITCH, "
         "SERIAL & VOLATILE, SERIAL & NON VOLATILE).",
         {"ravlin address-mode --address 2"},
         [](Context &c) {
             const uint8_t mode = c.device().addressMode();
             char hex[8];
             std::snprintf(hex, sizeof hex, "0x%02X", mode);
             c.report(std::string(hex) + " " + addressModeText(mode),
                      JsonObject().add("mode", mode).add("text", addressModeText(mode)));
         }},
        {"cctalk-version", "", 0, 0, kDevice, 500, "the comms revision (header 4)", "Level, major and minor.",
         {"ravlin cctalk-version --address 2"},
         [](Context &c) {
             const auto v = c.device().cctalkVersion();
             c.report("level " + std::to_string(v[0]) + ", version " + std::to_string(v[1]) + "." + std::to_string(v[2]),
                      JsonObject().add("level", v[0]).add("major", v[1]).add("minor", v[2]));
         }},
        {"comms-status", "", 0, 0, kDevice, 500, "the device's comms error counters (header 2)",
         "Inter-byte time-outs, rejected bytes and bad checksums the device has counted.",
         {"ravlin comms-status --address 2"},
         [](Context &c) {
             const auto v = c.device().commsStatus();
             c.report("time-outs " + std::to_string(v[0]) + ", rejected bytes " + std::to_string(v[1])
                          + ", bad checksums " + std::to_string(v[2]),
                      JsonObject().add("timeouts", v[0]).add("rejected_bytes", v[1]).add("bad_checksums", v[2]));
         }},
        {"clear-comms", "", 0, 0, kDevice, 500, "clear the comms error counters (header 3)", "",
         {"ravlin clear-comms --address 2"},
         [](Context &c) {
             c.device().clearComms();
             c.report("comms counters cleared");
         }},
        {"reset", "", 0, 0, kDevice, 500, "reset the device (header 1)",
         "The device acknowledges, then restarts; with address 0 this prints which device acknowledged.",
         {"ravlin reset --address 2"},
         [](Context &c) {
             const uint8_t answered = c.device().reset();
             c.report("device " + std::to_string(answered) + " reset", JsonObject().add("answered", answered));
         }},
    };
}

} // namespace ravlin
