// ravlin dump and ravlin apply: a device's coin set-up to and from a file.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "CliError.h"
#include "CommandTable.h"
#include "SetupFile.h"

namespace ravlin {

namespace {

// Reads what `wanted` names (everything for a dump). A failed read is
// recorded in `failures` and leaves the setting unread.
Setup readSetup(DeviceLink &device, const Setup *wanted, std::vector<std::string> &failures)
{
    Setup found;
    auto attempt = [&](const std::string &key, auto read) {
        try {
            read();
        } catch (const CliError &error) {
            failures.push_back(key + ": " + error.what());
        }
    };
    if (!wanted || wanted->masterInhibit)
        attempt("master-inhibit", [&] { found.masterInhibit = device.masterInhibit(); });
    if (!wanted || wanted->inhibits)
        attempt("inhibits", [&] { found.inhibits = device.inhibits(); });
    for (uint8_t ch = 1; ch <= 16; ++ch) {
        const std::string n = std::to_string(ch);
        if (!wanted || wanted->coinId[ch - 1])
            attempt("coin-id " + n, [&] { found.coinId[ch - 1] = device.coinId(ch); });
        if (!wanted || wanted->sorter[ch - 1])
            attempt("sorter " + n, [&] { found.sorter[ch - 1] = device.sorter(ch); });
    }
    return found;
}

void runDump(Context &c)
{
    DeviceLink &device = c.device();
    std::vector<std::string> failures;
    const Setup setup = readSetup(device, nullptr, failures);
    if (!failures.empty())
        throw CliError(kExitDevice, failures.front()
                                        + (failures.size() > 1 ? " (and " + std::to_string(failures.size() - 1) + " more)" : ""));
    if (c.args.json) {
        std::vector<JsonObject> list;
        for (int i = 0; i < 16; ++i)
            list.push_back(JsonObject().add("channel", i + 1).add("coin_id", shownText(*setup.coinId[i])).add("sorter", *setup.sorter[i]).addBool("enabled", (*setup.inhibits >> i) & 1));
        c.report("", JsonObject().addBool("master_inhibit", *setup.masterInhibit).add("inhibits", static_cast<int>(*setup.inhibits)).add("channels", list));
        return;
    }
    std::vector<std::string> comments{"ravlin dump of " + c.where()};
    try {
        comments.push_back(shownText(device.manufacturer()) + ", " + shownText(device.product()) + ", serial number "
                           + std::to_string(device.serialNumber()));
    } catch (const CliError &) {
        // The identity is a comment only: the set-up was read in full.
    }
    comments.push_back("ravlin apply FILE writes these settings back and reads them again.");
    c.out << formatSetup(setup, comments) << std::flush;
}

void runApply(Context &c)
{
    const std::string &fileName = c.args.positionals[0];
    Setup wanted;
    std::vector<std::string> errors;
    if (fileName == "-") {
        wanted = parseSetup(std::cin, "(standard input)", &errors);
    } else {
        std::ifstream file(fileName);
        if (!file)
            throw usageError("cannot read " + fileName + ": " + std::strerror(errno));
        wanted = parseSetup(file, fileName, &errors);
    }
    // Every bad line is named, then the file is refused whole.
    if (errors.size() == 1)
        throw usageError(errors.front());
    if (!errors.empty()) {
        for (const std::string &error : errors)
            c.err << "ravlin: apply: " << error << "\n";
        throw usageError(fileName + ": " + std::to_string(errors.size()) + " bad lines, nothing was applied");
    }
    if (wanted.settingCount() == 0)
        throw usageError(fileName + ": no settings in it");
    DeviceLink &device = c.device();
    std::vector<std::string> failures;
    auto attempt = [&](const std::string &key, auto write) {
        try {
            write();
        } catch (const CliError &error) {
            failures.push_back(key + ": " + error.what());
        }
    };
    if (wanted.inhibits)
        attempt("inhibits", [&] { device.setInhibits(*wanted.inhibits); });
    for (uint8_t ch = 1; ch <= 16; ++ch) {
        if (wanted.coinId[ch - 1])
            attempt("coin-id " + std::to_string(ch), [&] { device.setCoinId(ch, *wanted.coinId[ch - 1]); });
        if (wanted.sorter[ch - 1])
            attempt("sorter " + std::to_string(ch), [&] { device.setSorter(ch, *wanted.sorter[ch - 1]); });
    }
    // Last, so that coins are refused or accepted only once the rest is set.
    if (wanted.masterInhibit)
        attempt("master-inhibit", [&] { device.setMasterInhibit(*wanted.masterInhibit); });
    const size_t writeFailures = failures.size();
    std::vector<Difference> differences;
    if (!c.args.noVerify) {
        const Setup found = readSetup(device, &wanted, failures);
        differences = compareSetup(wanted, found);
    }
    std::vector<JsonObject> listed;
    for (const Difference &d : differences) {
        if (!c.args.json)
            c.out << d.key << ": wrote " << d.wanted << ", device has " << d.found << "\n";
        listed.push_back(JsonObject().add("key", d.key).add("wanted", d.wanted).add("found", d.found));
    }
    for (const std::string &f : failures)
        c.err << "ravlin: apply: " << f << "\n";
    const std::string summary = std::to_string(wanted.settingCount())
                                + (wanted.settingCount() == 1 ? " setting" : " settings") + " sent to " + c.where()
                                + (writeFailures ? ", " + std::to_string(writeFailures) + " refused" : "")
                                + (c.args.noVerify ? ", not read back"
                                   : differences.empty() ? ", all read back as written"
                                                         : ", " + std::to_string(differences.size())
                                                               + (differences.size() == 1 ? " differs" : " differ")
                                                               + " when read back");
    if (failures.empty() && differences.empty()) {
        c.report(summary, JsonObject().add("settings", static_cast<long long>(wanted.settingCount())).add("differences", listed));
        return;
    }
    if (c.args.json)
        c.out << JsonObject().add("command", "apply").addBool("ok", false).add("differences", listed).text() << "\n";
    throw CliError(kExitDevice, summary);
}

} // namespace

std::vector<Command> setupCommands()
{
    return {
        {"dump", "", 0, 0, kDevice, 500, "print the device's coin set-up as a set-up file",
         "Reads the master inhibit, the channel inhibits, and the coin id and sorter path of the 16 "
         "channels, and prints them in the set-up file format (see FILES in ravlin --help), with the "
         "device's identity as a comment. Nothing is printed unless every setting was read.",
         {"ravlin dump --address 2 > validator.txt", "ravlin dump --address 2 --json"},
         runDump},
        {"apply", "FILE", 1, 1, kDevice | kNoVerify, 500, "write a set-up file to the device and check it",
         "Writes the settings FILE names (\"-\": standard input): inhibits, coin ids, sorter paths, "
         "then the master inhibit. Then reads each of them back and lists every one that differs "
         "(\"sorter 3: wrote 2, device has 1\"); --no-verify leaves out the read-back. The file is "
         "checked in full before anything is written.",
         {"ravlin apply validator.txt --address 2", "ravlin dump -a 2 | sed 's/^sorter 5 = .*/sorter 5 = 3/' | ravlin apply - -a 2"},
         runApply},
    };
}

} // namespace ravlin
