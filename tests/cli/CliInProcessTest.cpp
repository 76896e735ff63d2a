// The whole tool in process against the in-process validator: what each
// command prints and its exit status for a good, a silent and a faulty
// device and for bad arguments, and the bytes some of them put on the wire.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "Run.h"
#include "SimPort.h"

namespace {

struct Outcome
{
    int status;
    std::string out, err;
};

Outcome run(std::vector<std::string> words)
{
    std::ostringstream out, err;
    const int status = ravlin::runRavlin(words, out, err);
    return {status, out.str(), err.str()};
}

struct Case
{
    std::vector<std::string> words;
    std::string out;
};

TEST(CliInProcess, EachCommandPrintsItsDecodedReplyFromAGoodDevice)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    const Case cases[] = {
        {{"serial-number"}, "1234567\n"},
        {{"manufacturer"}, "Virtual Validators\n"},
        {{"category"}, "Coin Acceptor\n"},
        {{"status"}, "0 ok\n"},
        {{"polling"}, "200 ms\n"},
        {{"creation-date"}, "2019-03-15\n"},
        {{"address-mode"}, "0x84 EEPROM, SERIAL & NON VOLATILE\n"},
        {{"cctalk-version"}, "level 1, version 4.6\n"},
        {{"coin-id", "7"}, "EU100A\n"},
        {{"sorter", "12"}, "3\n"},
        {{"inhibits"}, "0xFFFF enabled: 1-16\n"},
        {{"master-inhibit"}, "off (coins accepted)\n"},
        // Results equal to an export's failure value, confirmed as real.
        {{"inputs"}, "0x00 (none set)\n"},
        {{"events"}, "counter 0\n"},
        {{"raw", "254"}, "01 00 02 00 FD  from 2, header 0 (ACK), 0 data bytes, checksum good\n"},
        {{"poll", "--address", "0"}, "device 2 answers\n"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> words = c.words;
        if (words.size() < 3)
            words.insert(words.end(), {"--address", "2"});
        const Outcome o = run(words);
        EXPECT_EQ(o.status, 0) << c.words[0] << ": " << o.err;
        EXPECT_EQ(o.out, c.out) << c.words[0];
        EXPECT_EQ(o.err, "") << c.words[0];
    }
}

TEST(CliInProcess, WritesPutTheRequestOnTheWireAndChangeTheDevice)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    Outcome o = run({"set-sorter", "3", "2", "-a", "2"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "channel 3 sorts to path 2\n");
    EXPECT_EQ(sim.writes().at(0), (std::vector<uint8_t>{2, 2, 1, 210}));
    EXPECT_EQ(sim.writes().at(1), (std::vector<uint8_t>{3, 2}));
    sim.clearRecords();
    o = run({"set-inhibits", "0x00FF", "-a", "2"});
    EXPECT_EQ(o.out, "0x00FF enabled: 1-8\n");
    EXPECT_EQ(sim.writes().at(1), (std::vector<uint8_t>{0xFF, 0x00}));
    o = run({"set-coin-id", "16", "GB050B", "-a", "2"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(run({"coin-id", "16", "-a", "2"}).out, "GB050B\n");
    EXPECT_EQ(run({"sorter", "3", "-a", "2", "--json"}).out,
              "{\"command\":\"sorter\",\"port\":\"Com1\",\"address\":2,\"ok\":true,\"channel\":3,\"path\":2}\n");
}

TEST(CliInProcess, FailuresSayWhatTheDeviceDidOnOneLine)
{
    struct FaultCase
    {
        ccsim::Fault fault;
        std::vector<std::string> words;
        std::string err;
    };
    const FaultCase cases[] = {
        {ccsim::Fault::Silence, {"serial-number"}, "ravlin: serial-number: no reply from address 2 on Com1 (timed out)\n"},
        // 0 is the failure value of the input lines: it must not pass as a reading.
        {ccsim::Fault::Silence, {"inputs"}, "ravlin: inputs: no reply from address 2 on Com1 (timed out)\n"},
        {ccsim::Fault::Silence, {"master-inhibit"}, "ravlin: master-inhibit: no reply from address 2 on Com1 (timed out)\n"},
        {ccsim::Fault::WrongChecksum, {"manufacturer"}, "ravlin: manufacturer: bad reply from address 2 on Com1 (wrong checksum)\n"},
        {ccsim::Fault::Nak, {"set-sorter", "3", "2"}, "ravlin: set-sorter: address 2 on Com1 refused the request (NAK)\n"},
        {ccsim::Fault::Busy, {"coin-id", "3"}, "ravlin: coin-id: address 2 on Com1 is busy (BUSY)\n"},
    };
    for (const FaultCase &c : cases) {
        SimPort sim;
        ScopedPortBackend installed(sim);
        sim.device(2).setFault(c.fault);
        std::vector<std::string> words = c.words;
        words.insert(words.end(), {"--address", "2"});
        const Outcome o = run(words);
        EXPECT_EQ(o.status, 1) << c.words[0];
        EXPECT_EQ(o.out, "") << c.words[0];
        EXPECT_EQ(o.err, c.err);
    }
}

TEST(CliInProcess, BadArgumentsAreRefusedBeforeAnythingIsSent)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    const Case cases[] = {
        {{"coin-id", "17"}, "ravlin: coin-id: the channel must be 1 to 16, not 17\n"},
        {{"set-coin-id", "5", "EU10"}, "ravlin: set-coin-id: a coin id has 6 characters, not 4 ('EU10')\n"},
        {{"sorter"}, "ravlin: sorter: usage: ravlin sorter CHANNEL (ravlin help sorter)\n"},
        {{"serial-number", "--address", "300"}, "ravlin: serial-number: --address must be 0 to 255, not 300\n"},
        {{"serial-number", "--port", "Com0"}, "ravlin: serial-number: --port must be Com1 to Com9 or a device path, not 'Com0'\n"},
        {{"serial-number", "--interval", "5"}, "ravlin: serial-number: --interval does not apply to serial-number\n"},
        {{"frobnicate"}, "ravlin: frobnicate: no command 'frobnicate' (ravlin --help lists them)\n"},
        {{"raw", "254", "0x1FF"}, "ravlin: raw: data byte 1 must be 0 to 255, not 0x1FF\n"},
        {{}, "usage: ravlin COMMAND [--port PORT] [--address N] [options]\n"
             "ravlin --help lists the commands and options; ravlin help COMMAND shows one.\n"},
        {{"apply", "/no/such/file"}, "ravlin: apply: cannot read /no/such/file: No such file or directory\n"},
    };
    for (const Case &c : cases) {
        const Outcome o = run(c.words);
        EXPECT_EQ(o.status, 2) << (c.words.empty() ? "" : c.words[0]);
        EXPECT_EQ(o.err, c.out);
        EXPECT_EQ(o.out, "");
    }
    EXPECT_TRUE(sim.hostBytes().empty());
    // A port that cannot be opened.
    const Outcome closed = run({"serial-number", "--port", "Com4"});
    EXPECT_EQ(closed.status, 3);
    EXPECT_NE(closed.err.find("cannot open Com4"), std::string::npos) << closed.err;
}

TEST(CliInProcess, ABadSetupFileOrADeadDeviceStopsEarly)
{
    SimPort sim;
    ScopedPortBackend installed(sim);
    const std::string file = "/tmp/cli-test-" + std::to_string(getpid()) + ".txt";
    std::ofstream(file) << "sorter 1 = 2\ncoin-id 2 = TOOLONG\n";
    Outcome o = run({"apply", file, "-a", "2"});
    std::remove(file.c_str());
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "ravlin: apply: " + file + ":2: a coin id has 6 characters, not 7 ('TOOLONG')\n");
    EXPECT_TRUE(sim.hostBytes().empty()); // the first, good line was not written either
    // Every bad line is named before the file is refused.
    std::ofstream(file) << "sorter 1 = 2\ncoin-id 2 = TOOLONG\nsorter 1 = 3\nspeed = 9\n";
    o = run({"apply", file, "-a", "2"});
    std::remove(file.c_str());
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "ravlin: apply: " + file + ":2: a coin id has 6 characters, not 7 ('TOOLONG')\n"
                     "ravlin: apply: " + file + ":3: sorter 1 given twice\n"
                     "ravlin: apply: " + file + ":4: unknown key 'speed'\n"
                     "ravlin: apply: " + file + ": 3 bad lines, nothing was applied\n");
    EXPECT_TRUE(sim.hostBytes().empty());
    // A watch of a silent device reports each failed poll and fails.
    sim.device(2).setFault(ccsim::Fault::Silence);
    o = run({"watch", "-a", "2", "--polls", "2", "--interval", "0"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out.rfind("stopped after 2 polls in ", 0), 0u) << o.out;
    EXPECT_NE(o.out.find(" s: 0 new events, 0 lost, 2 failed polls\n"), std::string::npos) << o.out;
    EXPECT_EQ(o.err, "ravlin: watch: no reply from address 2 on Com1 (timed out)\n"
                     "ravlin: watch: no reply from address 2 on Com1 (timed out)\n"
                     "ravlin: watch: every poll failed\n");
}

TEST(CliInProcess, HelpListsEveryExportAndEachCommandHasExamples)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *name : {"serial-number", "set-coin-id", "raw", "watch", "scan", "monitor", "dump", "apply",
                             "EXIT STATUS", "EXAMPLES"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    const Outcome one = run({"help", "set-sorter"});
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("ravlin set-sorter 3 2 --address 2"), std::string::npos) << one.out;
}

TEST(CliInProcess, ScanFindsEachDeviceAndSaysWhenTwoShareAnAddress)
{
    ccsim::DeviceConfig first, twin, third;
    twin.serialNumber = 7654321;
    third.address = 7;
    third.productCode = "CV-8";
    SimPort sim({first, twin, third});
    ScopedPortBackend installed(sim);
    sim.setAddressPollQuiet(std::chrono::milliseconds(0));
    const Outcome o = run({"scan", "--range", "2-8"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "address poll on Com1: 2 7\n"
                     "address 2  colliding replies: more than one device answers at this address "
                     "(bad reply from address 2 on Com1 (wrong checksum))\n"
                     "address 7  Coin Acceptor  Virtual Validators  CV-8  serial 1234567\n"
                     "2 addresses answer on Com1 (simple poll of addresses 2 to 8)\n");
}

} // namespace
