// The ccsim program itself: its first line, its link, its ends, its options
// and its control commands, with the terminal driven directly.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <termios.h>
#include <unistd.h>

#include "CcsimProcess.h"
#include "ControlCommands.h"
#include "Options.h"

using namespace ccsim;

namespace {

std::string linkPath()
{
    return ::testing::TempDir() + "ccsim-link-" + std::to_string(getpid());
}

bool exists(const std::string &path)
{
    struct stat info{};
    return lstat(path.c_str(), &info) == 0;
}

// Writes a request on the terminal and collects what comes back within
// `waitMs` of the last byte.
std::vector<uint8_t> exchange(int fd, std::vector<uint8_t> bytes, int waitMs = 300)
{
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    std::vector<uint8_t> in;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, waitMs) > 0) {
        uint8_t chunk[256];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        in.insert(in.end(), chunk, chunk + n);
    }
    return in;
}

int openRaw(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

bool exclusiveModeSet(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == EBUSY;
    int exclusive = 0;
    const bool set = ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    close(fd);
    return set;
}

// Whether the exclusive mode is `set` within five seconds.
bool exclusiveModeBecomes(const std::string &path, bool set)
{
    for (int i = 0; i < 100; ++i) {
        if (exclusiveModeSet(path) == set)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// A host that opens the terminal, puts it in exclusive mode (with an
// advisory lock too, or not) and waits to be killed.
pid_t exclusiveHost(const std::string &path, bool lock)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
        const bool held = fd >= 0 && (!lock || flock(fd, LOCK_EX | LOCK_NB) == 0) && ioctl(fd, TIOCEXCL) == 0;
        if (write(ready[1], held ? "y" : "n", 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    char held = 'n';
    if (pid < 0 || read(ready[0], &held, 1) != 1 || held != 'y') {
        if (pid > 0)
            kill(pid, SIGKILL);
        pid = -1;
    }
    close(ready[0]);
    close(ready[1]);
    return pid;
}

void kill9(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

TEST(CcsimProgram, ExclusiveModeLeftByAHostThatDiedIsCleared)
{
    CcsimProcess sim({"--no-pacing"});
    ASSERT_TRUE(sim.started());
    for (bool lock : {true, false}) {
        SCOPED_TRACE(lock ? "host with a lock" : "host without a lock");
        const int bystander = open(sim.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(bystander, 0);
        const pid_t host = exclusiveHost(sim.path(), lock);
        ASSERT_GT(host, 0);
        if (lock) {
            // Someone else closing does not take a living host's hold away.
            close(bystander);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            EXPECT_TRUE(exclusiveModeSet(sim.path()));
        }
        kill9(host);
        EXPECT_TRUE(exclusiveModeBecomes(sim.path(), false));
        if (!lock)
            close(bystander);
        // The next host opens it and is served.
        const int fd = openRaw(sim.path());
        ASSERT_GE(fd, 0);
        EXPECT_EQ(exchange(fd, {2, 0, 1, 254, 255}).size(), 10u);
        close(fd);
    }
}

TEST(CcsimProgram, ServesOnTheTerminalItNamesAndSurvivesTheHostReopening)
{
    CcsimProcess sim({"--no-pacing", "--link", linkPath()});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(sim.path().rfind("/dev/pts/", 0), 0u) << sim.path();
    char target[256] = {};
    ASSERT_GT(readlink(linkPath().c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), sim.path());

    for (int round = 0; round < 2; ++round) {
        const int fd = openRaw(linkPath());
        ASSERT_GE(fd, 0);
        EXPECT_EQ(exchange(fd, {2, 0, 1, 254, 255}), (std::vector<uint8_t>{2, 0, 1, 254, 255, 1, 0, 2, 0, 253}));
        close(fd);
    }
    EXPECT_EQ(sim.terminate(SIGINT), 0);
    EXPECT_FALSE(exists(linkPath()));
}

TEST(CcsimProgram, EndsOnSigtermAndOnTheEndOfAControlSessionRemovingItsLink)
{
    {
        CcsimProcess sim({"--link", linkPath()});
        ASSERT_TRUE(exists(linkPath()));
        EXPECT_EQ(sim.terminate(SIGTERM), 0);
        EXPECT_FALSE(exists(linkPath()));
    }
    {
        CcsimProcess sim({"--link", linkPath()});
        EXPECT_EQ(sim.control("inputs 5"), "device 2: inputs 5");
        EXPECT_EQ(sim.closeInput(), 0);
        EXPECT_FALSE(exists(linkPath()));
    }
}

TEST(CcsimProgram, ReplacesAStaleLinkButNoOtherFile)
{
    ASSERT_EQ(symlink("/nonexistent/pts", linkPath().c_str()), 0);
    {
        CcsimProcess sim({"--link", linkPath()});
        ASSERT_TRUE(sim.started());
        EXPECT_EQ(sim.terminate(SIGTERM), 0);
    }
    EXPECT_FALSE(exists(linkPath()));

    const int file = open(linkPath().c_str(), O_CREAT | O_WRONLY, 0644);
    close(file);
    CcsimProcess sim({"--link", linkPath()});
    EXPECT_FALSE(sim.started());
    EXPECT_TRUE(exists(linkPath()));
    unlink(linkPath().c_str());
}

TEST(CcsimProgram, ControlCommandsReachTheDevicesOnTheBus)
{
    CcsimProcess sim({"--no-pacing", "--device", "2", "--device", "3", "--serial", "0x0A0B0C"});
    ASSERT_TRUE(sim.started());
    const int fd = openRaw(sim.path());
    EXPECT_EQ(sim.control("coin 4 3"), "device 3: coin on channel 4 credited, event counter 1");
    EXPECT_EQ(sim.control("inhibit on"), "device 2: master inhibit on");
    EXPECT_EQ(sim.control("coin 4"), "device 2: coin on channel 4 refused (inhibited), event counter 1");
    EXPECT_EQ(sim.control("fault nak 9"), "no device at address 9");
    EXPECT_EQ(sim.control("wobble"), "unknown command 'wobble' (type help)");

    const auto reply = exchange(fd, {3, 0, 1, 229, 23});
    ASSERT_EQ(reply.size(), 5u + 16u);
    EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 9, reply.begin() + 12), (std::vector<uint8_t>{1, 4, 1}));
    EXPECT_EQ(exchange(fd, {3, 0, 1, 242, 10}),
              (std::vector<uint8_t>{3, 0, 1, 242, 10, 1, 3, 3, 0, 0x0C, 0x0B, 0x0A, 0xD8}));

    EXPECT_EQ(sim.control("fault silence 3"), "device 3: fault silence");
    EXPECT_EQ(exchange(fd, {3, 0, 1, 254, 254}).size(), 5u);
    close(fd);
}

TEST(CcsimProgram, PeriodicCoinsAndTheTraceFile)
{
    const std::string traceFile = ::testing::TempDir() + "ccsim-trace-" + std::to_string(getpid());
    {
        CcsimProcess sim({"--coin-every", "0.05", "--trace"}, traceFile);
        ASSERT_TRUE(sim.started());
        const int fd = openRaw(sim.path());
        usleep(300000);
        const auto reply = exchange(fd, {2, 0, 1, 229, 24});
        ASSERT_EQ(reply.size(), 5u + 16u);
        EXPECT_GE(reply[9], 3); // event counter
        EXPECT_GE(reply[10], 1); // newest result: a channel
        close(fd);
        EXPECT_EQ(sim.terminate(SIGTERM), 0);
    }
    std::ifstream in(traceFile);
    const std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(trace.find("read buffered credit or error codes (229)"), std::string::npos) << trace;
    EXPECT_NE(trace.find("coin on channel 1 credited"), std::string::npos) << trace;
    unlink(traceFile.c_str());
}

TEST(CcsimProgram, ServesTheBusWhenNobodyReadsItsOutputAndStillEndsOnSigterm)
{
    // Standard error is a pipe that is never read, standard output is never
    // read either; each "state" prints some 400 bytes there and notes the
    // command in the trace: far more than either pipe holds.
    const std::string fifo = ::testing::TempDir() + "ccsim-unread-" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int unread = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(unread, 0);
    CcsimProcess sim({"--no-pacing", "--trace"}, fifo);
    ASSERT_TRUE(sim.started());
    std::string commands;
    for (int i = 0; i < 3000; ++i)
        commands += "state\n";
    ASSERT_TRUE(sim.sendInput(commands));
    ASSERT_TRUE(sim.inputTaken(20000)) << "ccsim stopped reading its commands";

    const int fd = openRaw(sim.path());
    const std::vector<uint8_t> poll{2, 0, 1, 254, 255};
    std::vector<uint8_t> expected = poll;
    expected.insert(expected.end(), {1, 0, 2, 0, 253});
    EXPECT_EQ(exchange(fd, poll), expected);
    close(fd);
    EXPECT_EQ(sim.terminate(SIGTERM), 0);
    close(unread);
    unlink(fifo.c_str());
}

TEST(CcsimProgram, AControlLineTooLongIsIgnoredAndTheNextCommandsWork)
{
    CcsimProcess sim({"--no-pacing"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.sendInput(std::string(4 << 20, 'x')));
    EXPECT_EQ(sim.control("coin 3").substr(0, 80), "error: control line longer than 4096 characters, ignored");
    // The first "coin 3" ended the long line, which is not carried out.
    EXPECT_EQ(sim.control("coin 3"), "device 2: coin on channel 3 credited, event counter 1");
}

TEST(CcsimOptions, DeviceOptionsApplyToTheLastDevice)
{
    const ProgramOptions o = parseOptions({"--serial", "7", "--device", "5", "--device", "6", "--fault", "busy",
                                           "--coin", "3=GB010A", "--base-year", "1990", "--created",
                                           "2001-02-03", "--no-pacing", "--quiet", "0", "--self-check", "2,3"});
    ASSERT_EQ(o.devices.size(), 2u);
    EXPECT_EQ(o.devices[0].address, 5);
    EXPECT_EQ(o.devices[0].serialNumber, 7u);
    EXPECT_EQ(o.devices[0].fault, Fault::None);
    EXPECT_EQ(o.devices[1].address, 6);
    EXPECT_EQ(o.devices[1].fault, Fault::Busy);
    EXPECT_EQ(o.devices[1].coinIds[2], "GB010A");
    EXPECT_EQ(o.devices[1].creationDate, dateCode(2001, 2, 3, 1990));
    EXPECT_EQ(o.devices[1].addressPollQuiet, SimTime(0));
    EXPECT_EQ(o.devices[1].selfCheckFault, 2);
    EXPECT_EQ(o.devices[1].selfCheckExtra, 3);
    EXPECT_EQ(parseOptions({"--self-check", "9"}).devices[0].selfCheckExtra, -1);
    EXPECT_FALSE(o.bus.pacing);
    EXPECT_TRUE(parseOptions({}).bus.pacing);
}

TEST(CcsimOptions, BadValuesAreRefusedWithTheirReason)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--serial", "16777216"}, {"--device", "1"},    {"--device", "0"},       {"--fault", "sleepy"},
        {"--coin", "17=EU001A"},  {"--coin", "1=EU1"},  {"--created", "2020-13-01"}, {"--path", "1=9"},
        {"--reply-delay"},        {"--frobnicate"},     {"--coin-every", "0"},   {"--comms-revision", "1.2"},
        {"--self-check", "256"},  {"--self-check", "1,x"},
    };
    for (const auto &arguments : bad)
        EXPECT_THROW(parseOptions(arguments), OptionError) << arguments[0];
}

TEST(CcsimControl, StatePrintsEveryDeviceAndHelpListsTheCommands)
{
    Bus bus;
    bus.addDevice();
    DeviceConfig second;
    second.address = 9;
    bus.addDevice(second);
    ControlCommands control(bus);
    const std::string state = control.execute("state").output;
    EXPECT_NE(state.find("device 2:"), std::string::npos);
    EXPECT_NE(state.find("device 9:"), std::string::npos);
    EXPECT_NE(state.find("14:TK001A/4"), std::string::npos);
    EXPECT_EQ(control.execute("error 7 9").output, "device 9: error event 7, event counter 1\n");
    EXPECT_EQ(bus.device(9)->events().results[1], 7);
    EXPECT_EQ(control.execute("optos 3").output, "device 2: optos 3\n");
    EXPECT_EQ(bus.device(2)->optoStates(), 3);
    EXPECT_EQ(control.execute("pacing on").output, "pacing on\n");
    EXPECT_TRUE(bus.pacing());
    EXPECT_TRUE(control.execute("quit").quit);
    for (const char *command : {"coin", "error", "inputs", "optos", "inhibit", "fault", "pacing", "state"})
        EXPECT_NE(control.execute("help").output.find(command), std::string::npos) << command;
}
