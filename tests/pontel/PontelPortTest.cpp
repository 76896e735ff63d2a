// Opening, closing and naming ports, and the refusal of handles Pontel did
// not open.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <linux/serial.h>
#include <unistd.h>

#include "PontelDeclar.h"
#include "PseudoTerminal.h"

using Bytes = std::vector<uint8_t>;

namespace {

const Timeouts kShort{0, 0, 100, 0, 0};

bool pipeHasData(int readEnd)
{
    pollfd entry{readEnd, POLLIN, 0};
    return poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN);
}

class Pipe
{
public:
    Pipe() { EXPECT_EQ(pipe2(m_ends, O_NONBLOCK | O_CLOEXEC), 0); }
    ~Pipe()
    {
        ::close(m_ends[0]);
        ::close(m_ends[1]);
    }
    int readEnd() const { return m_ends[0]; }
    int writeEnd() const { return m_ends[1]; }

private:
    int m_ends[2] = {-1, -1};
};

// Every call that takes a handle refuses this one.
void expectRefused(PortHandle handle)
{
    SCOPED_TRACE(handle);
    PortHandle copy = handle;
    uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(PontelIsOpen(handle), 0);
    EXPECT_EQ(SendToCom(&copy, bytes, 4), 0);
    EXPECT_EQ(RcvFromCom(&copy, bytes, 4), 0);
    EXPECT_EQ(PontelReadUpTo(&copy, bytes, 4), -1);
    EXPECT_EQ(CloseCom(&copy), 0);
    EXPECT_EQ(copy, handle); // the caller's handle is left as it was
}

} // namespace

TEST(PontelHandles, HandlesPontelDidNotOpenAreRefused)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    PortHandle closed = openPort(1, kShort);
    ASSERT_NE(closed, -1);
    EXPECT_EQ(PontelIsOpen(closed), 1);
    EXPECT_EQ(CloseCom(&closed), 1);

    for (PortHandle handle : {0, -1, 1, 2, closed, 4095, 123456})
        expectRefused(handle);

    uint8_t bytes[1] = {};
    EXPECT_EQ(SendToCom(nullptr, bytes, 1), 0);
    EXPECT_EQ(RcvFromCom(nullptr, bytes, 1), 0);
    EXPECT_EQ(PontelReadUpTo(nullptr, bytes, 1), -1);
    EXPECT_EQ(CloseCom(nullptr), 0);
}

TEST(PontelHandles, ForeignDescriptorsAreNeverReadNorWritten)
{
    Pipe pipe;
    PortHandle writeEnd = pipe.writeEnd();
    PortHandle readEnd = pipe.readEnd();
    const uint8_t bytes[3] = {9, 8, 7};

    EXPECT_EQ(SendToCom(&writeEnd, bytes, 3), 0);
    EXPECT_FALSE(pipeHasData(pipe.readEnd()));

    ASSERT_EQ(write(pipe.writeEnd(), bytes, 3), 3);
    uint8_t buffer[3] = {};
    EXPECT_EQ(RcvFromCom(&readEnd, buffer, 3), 0);
    EXPECT_EQ(PontelReadUpTo(&readEnd, buffer, 3), -1);
    EXPECT_EQ(CloseCom(&readEnd), 0);
    ASSERT_EQ(read(pipe.readEnd(), buffer, 3), 3); // still there, still open
    EXPECT_EQ(Bytes(buffer, buffer + 3), Bytes(bytes, bytes + 3));
}

TEST(PontelHandles, StandardInputIsNeverWritten)
{
    // Handle 0 is what the bench holds before any connection: put a pipe on
    // standard input for the time of the call and check that it stays empty.
    Pipe pipe;
    const int savedInput = dup(STDIN_FILENO);
    ASSERT_GE(savedInput, 0);
    ASSERT_EQ(dup2(pipe.writeEnd(), STDIN_FILENO), STDIN_FILENO);
    PortHandle zero = 0;
    const uint8_t bytes[2] = {0x55, 0xAA};
    const CCBool sent = SendToCom(&zero, bytes, 2);
    dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);

    EXPECT_EQ(sent, 0);
    EXPECT_FALSE(pipeHasData(pipe.readEnd()));
}

TEST(PontelHandles, StaleHandleReusedByAnotherDescriptorIsRefused)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    Pipe pipe;
    PortHandle stale = openPort(1, kShort);
    ASSERT_NE(stale, -1);
    ASSERT_EQ(CloseCom(&stale), 1);

    // Someone else's descriptor now carries the old number.
    ASSERT_EQ(dup2(pipe.writeEnd(), stale), stale);
    const uint8_t bytes[2] = {1, 2};
    EXPECT_EQ(SendToCom(&stale, bytes, 2), 0);
    EXPECT_EQ(CloseCom(&stale), 0);
    EXPECT_NE(fcntl(stale, F_GETFD), -1); // not closed by Pontel
    EXPECT_FALSE(pipeHasData(pipe.readEnd()));
    ::close(stale);
}

TEST(PontelPorts, PortNumbersFollowTheirVariables)
{
    PseudoTerminal first;
    PseudoTerminal second;
    ScopedEnvironment mapping1("PONTEL_COM3", first.path());
    ScopedEnvironment mapping2("PONTEL_COM7", second.path());
    PortHandle port3 = openPort(3, kShort);
    PortHandle port7 = openPort(7, kShort);
    ASSERT_NE(port3, -1);
    ASSERT_NE(port7, -1);
    EXPECT_NE(port3, port7);

    const uint8_t to7[] = {0x77, 0x07};
    EXPECT_EQ(SendToCom(&port7, to7, 2), 1);
    EXPECT_EQ(second.receive(2, std::chrono::seconds(2)), Bytes(to7, to7 + 2));
    EXPECT_TRUE(first.receive(1, std::chrono::milliseconds(50)).empty());

    first.send({0x33});
    uint8_t byte = 0;
    EXPECT_EQ(RcvFromCom(&port3, &byte, 1), 1);
    EXPECT_EQ(byte, 0x33);

    EXPECT_EQ(CloseCom(&port3), 1);
    EXPECT_EQ(CloseCom(&port7), 1);
}

TEST(PontelPorts, PortNumbersOutsideOneToNineNameNothing)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping0("PONTEL_COM0", pty.path());
    ScopedEnvironment mapping10("PONTEL_COM10", pty.path());
    for (uint8_t n : {0, 10, 255}) {
        SCOPED_TRACE(int(n));
        EXPECT_EQ(PortComFree(n), 0);
        EXPECT_EQ(openPort(n, kShort), -1);
    }
}

// The cause Pontel gives for port n, and its text.
std::pair<int32_t, std::string> openFailure(uint8_t n)
{
    char text[512];
    const int32_t cause = PontelOpenFailure(n, text, sizeof text);
    return {cause, text};
}

TEST(PontelPorts, PortIsFreeOnlyWhenItsDeviceCanBeOpenedNow)
{
    PseudoTerminal pty;
    char regularFile[] = "/tmp/pontel-not-a-terminal-XXXXXX";
    const int fileFd = mkstemp(regularFile);
    ASSERT_GE(fileFd, 0);
    ScopedEnvironment mapped("PONTEL_COM1", pty.path());
    ScopedEnvironment missing("PONTEL_COM2", "/dev/pontel-no-such-device");
    ScopedEnvironment notTerminal("PONTEL_COM3", regularFile);

    EXPECT_EQ(PortComFree(1), 1);
    EXPECT_EQ(openFailure(1).first, PONTEL_OPEN_OK);
    EXPECT_EQ(PortComFree(2), 0);
    EXPECT_EQ(openFailure(2).first, PONTEL_OPEN_NO_DEVICE);
    EXPECT_EQ(openPort(2, kShort), -1);
    EXPECT_EQ(openFailure(2), std::make_pair(int32_t(PONTEL_OPEN_NO_DEVICE),
                                             std::string("no such device: /dev/pontel-no-such-device (is the "
                                                         "adapter plugged in?)")));
    EXPECT_EQ(PortComFree(3), 0);
    EXPECT_EQ(openPort(3, kShort), -1);
    EXPECT_EQ(openFailure(3), std::make_pair(int32_t(PONTEL_OPEN_NOT_SERIAL),
                                             std::string(regularFile) + " is not a serial port"));

    PortHandle handle = openPort(1, kShort);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(openFailure(1).first, PONTEL_OPEN_OK);
    EXPECT_EQ(PortComFree(1), 0); // held by ourselves
    EXPECT_EQ(openFailure(1).second, pty.path() + " is already open in this program");
    EXPECT_EQ(CloseCom(&handle), 1);
    EXPECT_EQ(PortComFree(1), 1);

    ::close(fileFd);
    unlink(regularFile);
}

TEST(PontelPorts, DeviceHeldBySomeoneElseIsNeitherFreeNorOpened)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());

    // Another program's advisory lock.
    const int other = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(PortComFree(1), 0);
    EXPECT_EQ(openPort(1, kShort), -1);
    // The holder is named: here the test program itself.
    EXPECT_EQ(openFailure(1), std::make_pair(int32_t(PONTEL_OPEN_IN_USE),
                                             pty.path() + " is held by this program: close it, or pick another port"));
    flock(other, LOCK_UN);

    // Another program's exclusive mode.
    ASSERT_EQ(ioctl(other, TIOCEXCL), 0);
    EXPECT_EQ(PortComFree(1), 0);
    EXPECT_EQ(openPort(1, kShort), -1);
    EXPECT_EQ(openFailure(1).first, PONTEL_OPEN_IN_USE);
    ioctl(other, TIOCNXCL);

    EXPECT_EQ(PortComFree(1), 1);
    ::close(other);
}

TEST(PontelPorts, OpenIsExclusiveAcrossPortNumbersNamingOneDevice)
{
    PseudoTerminal pty;
    const std::string link = "/tmp/pontel-link-" + std::to_string(getpid());
    ASSERT_EQ(symlink(pty.path().c_str(), link.c_str()), 0);
    ScopedEnvironment mapping1("PONTEL_COM1", pty.path());
    ScopedEnvironment mapping2("PONTEL_COM2", pty.path());
    ScopedEnvironment mapping3("PONTEL_COM3", link);

    PortHandle first = openPort(1, kShort);
    ASSERT_NE(first, -1);
    // Held by the lock alone: no exclusive mode that could outlive us.
    EXPECT_FALSE(exclusiveMode(pty.path()));
    EXPECT_EQ(openPort(2, kShort), -1);
    EXPECT_EQ(openPort(3, kShort), -1);
    EXPECT_EQ(PortComFree(2), 0);
    EXPECT_EQ(PortComFree(3), 0);
    EXPECT_EQ(PontelIsOpen(first), 1); // the refused opens left it alone

    EXPECT_EQ(CloseCom(&first), 1);
    PortHandle second = openPort(3, kShort);
    EXPECT_NE(second, -1);
    EXPECT_EQ(CloseCom(&second), 1);
    unlink(link.c_str());
}

TEST(PontelPorts, OpeningAnOpenPortNumberAgainReleasesTheEarlierHandle)
{
    PseudoTerminal first;
    PseudoTerminal second;
    ScopedEnvironment mapping1("PONTEL_COM1", first.path());
    ScopedEnvironment mapping2("PONTEL_COM2", second.path());

    // Same device: the new open succeeds only because the earlier handle
    // let go of its lock.
    PortHandle earlier = openPort(1, kShort);
    ASSERT_NE(earlier, -1);
    PortHandle later = openPort(1, kShort);
    ASSERT_NE(later, -1);
    const uint8_t byte = 0x42;
    EXPECT_EQ(SendToCom(&later, &byte, 1), 1);
    EXPECT_EQ(first.receive(1, std::chrono::seconds(2)), Bytes{0x42});

    // A failed re-open (bad settings) releases it as well: the caller is
    // about to overwrite its handle with -1.
    EXPECT_EQ(ComInit(1, 12345, 8, 0, 1, 0, 0, 100, 0, 0), -1);
    EXPECT_EQ(PontelIsOpen(later), 0);
    EXPECT_EQ(PortComFree(1), 1);

    // Other port numbers are not affected.
    PortHandle one = openPort(1, kShort);
    PortHandle two = openPort(2, kShort);
    ASSERT_NE(one, -1);
    ASSERT_NE(two, -1);
    PortHandle oneAgain = openPort(1, kShort);
    ASSERT_NE(oneAgain, -1);
    EXPECT_EQ(PontelIsOpen(two), 1);
    EXPECT_EQ(PortComFree(1), 0);
    EXPECT_EQ(CloseCom(&oneAgain), 1);
    EXPECT_EQ(CloseCom(&two), 1);
}

// A pseudo-terminal has no low-latency mode to give (TIOCGSERIAL fails on
// it), as some drivers have none: the port opens and carries bytes all the
// same.
TEST(PontelPorts, APortWithoutLowLatencyModeStillOpensAndWorks)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    PortHandle handle = openPort(1, kShort);
    ASSERT_NE(handle, -1);
    serial_struct serial{};
    EXPECT_NE(ioctl(handle, TIOCGSERIAL, &serial), 0);
    const uint8_t request[] = {2, 0, 1, 254, 255};
    EXPECT_EQ(SendToCom(&handle, request, sizeof request), 1);
    EXPECT_EQ(pty.receive(sizeof request, std::chrono::seconds(2)), Bytes(request, request + sizeof request));
    pty.send({1, 0, 2, 0, 253});
    uint8_t reply[5];
    EXPECT_EQ(RcvFromCom(&handle, reply, sizeof reply), 1);
    EXPECT_EQ(CloseCom(&handle), 1);
}

TEST(PontelPorts, LineIsRawAtTheSpeedGiven)
{
    // The peer side of a pseudo-terminal reports the port side's settings. A
    // pseudo-terminal keeps the speed and the stop bits but always reports 8
    // data bits and no parity: the character format is checked on the
    // attributes themselves (LineSettingsTest.cpp).
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    const struct
    {
        int32_t baud, dataBits, parity, stopBits;
        speed_t speed;
        bool twoStopBits;
    } cases[] = {
        {9600, 8, 0, 1, B9600, false},
        {115200, 7, 2, 2, B115200, true},
        {1200, 5, 1, 1, B1200, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.baud);
        PortHandle handle = ComInit(1, c.baud, c.dataBits, c.parity, c.stopBits, 0, 0, 100, 0, 0);
        ASSERT_NE(handle, -1);
        termios tio{};
        ASSERT_EQ(tcgetattr(pty.peer(), &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(cfgetispeed(&tio), c.speed);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
        EXPECT_EQ(CloseCom(&handle), 1);
    }

    // Raw both ways: control characters and CR/LF pass untouched.
    PortHandle handle = openPort(1, kShort);
    ASSERT_NE(handle, -1);
    const Bytes control{0x03, 0x0D, 0x0A, 0x11, 0x13, 0x1A, 0x7F, 0x04, 0xFF};
    EXPECT_EQ(SendToCom(&handle, control.data(), int32_t(control.size())), 1);
    EXPECT_EQ(pty.receive(control.size(), std::chrono::seconds(2)), control);
    pty.send(control);
    Bytes back(control.size());
    EXPECT_EQ(RcvFromCom(&handle, back.data(), int32_t(back.size())), 1);
    EXPECT_EQ(back, control);
    EXPECT_EQ(CloseCom(&handle), 1);
}

TEST(PontelPorts, UnsupportedSettingsAreRefused)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    struct Case
    {
        const char *what;
        int32_t baud, dataBits, parity, stopBits, interval, perByte, constant, wPerByte, wConstant;
    };
    const Case cases[] = {
        {"baud 12345", 12345, 8, 0, 1, 0, 0, 100, 0, 0},
        {"baud 0", 0, 8, 0, 1, 0, 0, 100, 0, 0},
        {"baud -9600", -9600, 8, 0, 1, 0, 0, 100, 0, 0},
        {"4 data bits", 9600, 4, 0, 1, 0, 0, 100, 0, 0},
        {"9 data bits", 9600, 9, 0, 1, 0, 0, 100, 0, 0},
        {"parity 5", 9600, 8, 5, 1, 0, 0, 100, 0, 0},
        {"parity -1", 9600, 8, -1, 1, 0, 0, 100, 0, 0},
        {"0 stop bits", 9600, 8, 0, 0, 0, 0, 100, 0, 0},
        {"3 stop bits", 9600, 8, 0, 3, 0, 0, 100, 0, 0},
        {"negative interval", 9600, 8, 0, 1, -1, 0, 100, 0, 0},
        {"negative read constant", 9600, 8, 0, 1, 0, 0, -100, 0, 0},
        {"negative write per byte", 9600, 8, 0, 1, 0, 0, 100, -1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ComInit(1, c.baud, c.dataBits, c.parity, c.stopBits, c.interval, c.perByte,
                          c.constant, c.wPerByte, c.wConstant),
                  -1);
        EXPECT_EQ(PortComFree(1), 1); // nothing left open or locked
    }
}
