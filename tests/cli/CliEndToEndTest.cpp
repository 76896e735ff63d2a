// The real ravlin program against the real ccsim program over
// pseudo-terminals: the port given as a path, a good, a silent and a faulty
// device, the watch with coins arriving, scans of two and three devices, the
// monitor on ccsim's tap, and a dump/apply round trip.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "CcsimProcess.h"

using namespace std::chrono_literals;

namespace {

struct Outcome
{
    int status = -1;
    std::string out, err;
};

// The ravlin program, run with its output collected.
class Ravlin
{
public:
    explicit Ravlin(std::vector<std::string> words, const std::string &input = {})
    {
        int out[2], err[2], in[2];
        if (pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC) || pipe2(in, O_CLOEXEC))
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            std::vector<char *> argv;
            std::string program = RAVLIN_PATH;
            argv.push_back(program.data());
            for (auto &w : words)
                argv.push_back(w.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        close(in[0]);
        if (!input.empty() && write(in[1], input.data(), input.size()) < 0) {
        }
        close(in[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~Ravlin()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
        close(m_err);
    }

    void interrupt() { kill(m_pid, SIGINT); }

    // Collects the output until the program ends (killed after 60 s).
    Outcome finish()
    {
        Outcome o;
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        bool outOpen = true, errOpen = true;
        while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
            pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
            if (poll(fds, 2, 1000) <= 0)
                continue;
            char chunk[4096];
            for (int i = 0; i < 2; ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP)))
                    continue;
                const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
                if (n <= 0)
                    (i == 0 ? outOpen : errOpen) = false;
                else
                    (i == 0 ? o.out : o.err).append(chunk, static_cast<size_t>(n));
            }
        }
        if (outOpen || errOpen)
            kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return o;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1, m_err = -1;
};

Outcome ravlin(std::vector<std::string> words, const std::string &input = {})
{
    return Ravlin(std::move(words), input).finish();
}

std::string tempPath(const std::string &name)
{
    return "/tmp/cli-e2e-" + std::to_string(getpid()) + "-" + name;
}

size_t count(const std::string &text, const std::string &part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(CliEndToEnd, AGoodDeviceASilentOneAndAFaultyOneThroughAPath)
{
    CcsimProcess sim({"--no-pacing", "--device", "2", "--device", "3", "--fault", "silence", "--device", "4", "--fault",
                      "checksum"});
    ASSERT_TRUE(sim.started());
    Outcome o = ravlin({"serial-number", "--port", sim.path(), "--address", "2"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "1234567\n");
    o = ravlin({"coin-id", "7", "--port", sim.path(), "--address", "2", "--json"});
    EXPECT_EQ(o.out, "{\"command\":\"coin-id\",\"port\":\"" + sim.path()
                         + "\",\"address\":2,\"ok\":true,\"channel\":7,\"coin_id\":\"EU100A\"}\n");
    o = ravlin({"serial-number", "--port", sim.path(), "--address", "3", "--timeout", "200"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "ravlin: serial-number: no reply from address 3 on " + sim.path() + " (timed out)\n");
    o = ravlin({"manufacturer", "--port", sim.path(), "--address", "4"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "ravlin: manufacturer: bad reply from address 4 on " + sim.path() + " (wrong checksum)\n");
    o = ravlin({"set-sorter", "3", "--port", sim.path()});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "ravlin: set-sorter: usage: ravlin set-sorter CHANNEL PATH (ravlin help set-sorter)\n");
    o = ravlin({"serial-number", "--port", "/dev/no-such-port"});
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "ravlin: serial-number: cannot open /dev/no-such-port: no such file\n");
}

// A reply that comes late (after the 500 ms time-out, up to a second past
// it), garbled or cut short fails its command, and is never read as the
// answer to the next request: the next run gets its own answer.
TEST(CliEndToEnd, AfterAFailedExchangeTheNextRunGetsItsOwnAnswer)
{
    struct Case
    {
        const char *fault, *delay, *reason;
    };
    const Case cases[] = {
        {"late", "600", "no reply from address 2"},
        {"late", "1000", "no reply from address 2"},
        {"late", "1450", "no reply from address 2"},
        {"garbage", "0", "ravlin: serial-number: "}, // the noise is random
        {"truncated", "0", "incomplete reply from address 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " " + c.delay);
        CcsimProcess sim({"--no-pacing", "--fault", c.fault, "--late-delay", c.delay});
        ASSERT_TRUE(sim.started());
        Outcome o = ravlin({"serial-number", "--port", sim.path(), "--address", "2"});
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find(c.reason), std::string::npos) << o.err;
        sim.control("fault none");
        o = ravlin({"events", "--port", sim.path(), "--address", "2"});
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, "counter 0\n");
    }
}

TEST(CliEndToEnd, WatchShowsCoinsOnceAndEndsCleanlyOnCtrlC)
{
    CcsimProcess sim({"--no-pacing"});
    ASSERT_TRUE(sim.started());
    sim.control("coin 3");
    Ravlin watch({"watch", "--port", sim.path(), "--address", "2", "--interval", "50"});
    std::this_thread::sleep_for(1s); // the first poll sets the starting counter
    sim.control("coin 5");
    sim.control("error 2");
    std::this_thread::sleep_for(1s);
    for (int i = 0; i < 7; ++i) // more than the buffer holds, between two polls at best
        sim.control("coin 1");
    std::this_thread::sleep_for(1s);
    watch.interrupt();
    const Outcome o = watch.finish();
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("watching address 2 on " + sim.path() + ", event counter 1"), std::string::npos) << o.out;
    EXPECT_EQ(count(o.out, "credit on channel 3"), 0u) << o.out; // older than the watch
    EXPECT_EQ(count(o.out, "  2  credit on channel 5, sorter path 2"), 1u) << o.out;
    EXPECT_EQ(count(o.out, "  3  error 2: inhibited coin"), 1u) << o.out;
    // Counters 4 to 10 are all accounted for: shown or lost.
    const size_t ones = count(o.out, "credit on channel 1,");
    size_t lost = 0;
    const size_t at = o.out.find(" lost: the counter moved");
    if (at != std::string::npos)
        lost = std::stoul(o.out.substr(o.out.rfind("  ", at) + 2));
    EXPECT_EQ(ones + lost, 7u) << o.out;
    EXPECT_NE(o.out.find("stopped after "), std::string::npos);

    // --count counts new events: of three coins, two are shown, and the watch ends by itself.
    Ravlin counted({"watch", "--port", sim.path(), "--address", "2", "--interval", "50", "--count", "2"});
    std::this_thread::sleep_for(1s);
    for (int i = 0; i < 3; ++i)
        sim.control("coin 4");
    const Outcome two = counted.finish();
    EXPECT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(count(two.out, "credit on channel 4"), 2u) << two.out;
    EXPECT_NE(two.out.find(" s: 2 new events, "), std::string::npos) << two.out;
}

TEST(CliEndToEnd, ScanOfTwoThenThreeDevicesWithTwoOnOneAddress)
{
    {
        CcsimProcess sim({"--no-pacing", "--quiet", "0", "--device", "2", "--device", "9", "--product", "CV-9"});
        ASSERT_TRUE(sim.started());
        const Outcome o = ravlin({"scan", "--port", sim.path(), "--range", "2-12"});
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, "address poll on " + sim.path() + ": 2 9\n"
                         "address 2  Coin Acceptor  Virtual Validators  CV-16  serial 1234567\n"
                         "address 9  Coin Acceptor  Virtual Validators  CV-9  serial 1234567\n"
                         "2 addresses answer on " + sim.path() + " (simple poll of addresses 2 to 12)\n");
        EXPECT_EQ(o.err, "ravlin: scan: addresses 2 to 12, about 3 s (--range and --timeout shorten it)\n");
        const Outcome polled = ravlin({"address-poll", "--port", sim.path()});
        EXPECT_EQ(polled.out, "addresses 2 9\n") << polled.err;
    }
    CcsimProcess sim({"--no-pacing", "--quiet", "0", "--device", "2", "--device", "3", "--device", "3", "--serial",
                      "999"});
    ASSERT_TRUE(sim.started());
    const Outcome o = ravlin({"scan", "--port", sim.path(), "--range", "2-4", "--json"});
    EXPECT_EQ(o.status, 0) << o.err;
    const std::string named = "{\"command\":\"scan\",\"port\":\"" + sim.path() + "\",";
    EXPECT_NE(o.out.find(named + "\"event\":\"address_poll\",\"answers\":[2,3]}"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find(named + "\"event\":\"device\",\"address\":2,\"simple_poll\":true,\"address_poll\":true,"
                         "\"category\":\"Coin Acceptor\""),
              std::string::npos);
    EXPECT_NE(o.out.find(named + "\"event\":\"device\",\"address\":3,\"simple_poll\":true,\"address_poll\":true,"
                         "\"collision\":true"),
              std::string::npos)
        << o.out;
}

TEST(CliEndToEnd, MonitorDecodesTheConversationOnTheTap)
{
    const std::string tap = tempPath("tap");
    CcsimProcess sim({"--tap", tap, "--fault", "garbage"}); // paced, as on a real line
    ASSERT_TRUE(sim.started());
    Ravlin monitor({"monitor", "--port", tap, "--for", "8"});
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(ravlin({"serial-number", "--port", sim.path(), "--address", "2"}).status, 1);
    sim.control("fault none");
    EXPECT_EQ(ravlin({"product", "--port", sim.path(), "--address", "2"}).out, "CV-16\n");
    EXPECT_EQ(ravlin({"raw", "253", "--port", sim.path(), "--timeout", "300"}).out, "bare answer: 2\n");
    monitor.interrupt();
    const Outcome o = monitor.finish();
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("host -> 2     serial number (242)"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("noise, 3 byte(s)"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("2 -> host   reply to serial number              87 D6 12"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("2 -> host   reply to product code               43 56 2D 31 36  \"CV-16\""), std::string::npos);
    EXPECT_NE(o.out.find("device 2      bare answer to address poll: 2"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("BAD CHECKSUM"), std::string::npos) << o.out;
}

TEST(CliEndToEnd, DumpThenApplyAnEditedFileThenReadItBack)
{
    CcsimProcess sim({"--no-pacing"});
    ASSERT_TRUE(sim.started());
    Outcome dump = ravlin({"dump", "--port", sim.path(), "--address", "2"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("\ncoin-id 16 = ......\nsorter 16 = 1\n"), std::string::npos) << dump.out;
    std::string edited = dump.out;
    edited.replace(edited.find("coin-id 3 = EU005A"), 18, "coin-id 3 = \"GB 05A\"");
    edited.replace(edited.find("master-inhibit = off"), 20, "master-inhibit = on");
    edited.replace(edited.find("inhibits = 0xFFFF"), 17, "inhibits = 0x7FFF");
    Outcome apply = ravlin({"apply", "-", "--port", sim.path(), "--address", "2"}, edited);
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.out, "34 settings sent to address 2 on " + sim.path() + ", all read back as written\n");
    const Outcome again = ravlin({"dump", "--port", sim.path(), "--address", "2"});
    edited.replace(edited.find("(1-16)"), 6, "(1-15)");
    EXPECT_EQ(again.out, edited);
    // A refused write is reported per setting, and the run fails.
    apply = ravlin({"apply", "-", "--port", sim.path(), "--address", "2"}, "sorter 1 = 200\n");
    EXPECT_EQ(apply.status, 1);
    EXPECT_NE(apply.err.find("ravlin: apply: sorter 1: address 2 on " + sim.path() + " refused the request (NAK)\n"),
              std::string::npos)
        << apply.err;
    EXPECT_EQ(apply.out, "sorter 1: wrote 200, device has 1\n");
}

} // namespace
