// Pontel.dll under Wine against the real ccsim: port naming and freedom,
// the handle table, the line and time-out settings as the driver holds them,
// reads, writes and each time-out, the purge of a freshly opened port, and a
// hang-up. The win32 pieces are compiled in as well, to check the DCB and
// COMMTIMEOUTS they build and the sharing rule of the open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "DeviceAccess.h"
#include "LineSettings.h"
#include "PontelDeclar.h"
#include "TimedIo.h"
#include "WinePorts.h"

using namespace std::chrono_literals;
using namespace wineports;
using Bytes = std::vector<uint8_t>;

namespace {

struct Timeouts
{
    int32_t interval, perByte, constant, writePerByte, writeConstant;
};

const Timeouts kWindow{200, 200, 3000, 0, 0};
const Timeouts kShort{50, 10, 150, 0, 0};

PortHandle openPort(uint8_t n, const Timeouts &t, int32_t baud = 9600)
{
    return ComInit(n, baud, 8, 0, 1, t.interval, t.perByte, t.constant, t.writePerByte, t.writeConstant);
}

int64_t millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

// A serial-number request to address 2, and what ccsim answers: the echo of
// the request, then the reply with 1234567 (0x12D687).
const Bytes kRequest{2, 0, 1, 242, 11};
const Bytes kReply{1, 3, 2, 0, 0x87, 0xD6, 0x12, 0x8B};

Bytes concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

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
    EXPECT_EQ(copy, handle);
}

DWORD bytesInPipe(HANDLE readEnd)
{
    DWORD available = 0;
    EXPECT_TRUE(PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr));
    return available;
}

class OpenPortTest : public ::testing::Test
{
protected:
    void open(uint8_t n, const Timeouts &timeouts)
    {
        m_handle = openPort(n, timeouts);
        ASSERT_GT(m_handle, 0);
    }

    void send(const Bytes &bytes)
    {
        EXPECT_EQ(SendToCom(&m_handle, bytes.data(), int32_t(bytes.size())), 1);
    }

    Bytes read(int32_t count, bool expectSuccess = true)
    {
        Bytes buffer(size_t(count), 0xEE);
        EXPECT_EQ(RcvFromCom(&m_handle, buffer.data(), count), expectSuccess ? 1 : 0);
        return buffer;
    }

    void TearDown() override { CloseCom(&m_handle); }

    PortHandle m_handle = -1;
};

} // namespace

// ---- Naming, freedom, opening ---------------------------------------------

TEST(WinPorts, PortNumbersOutsideOneToNineNameNothing)
{
    for (uint8_t n : {0, 10, 255}) {
        SCOPED_TRACE(int(n));
        EXPECT_EQ(PortComFree(n), 0);
        EXPECT_EQ(openPort(n, kShort), -1);
    }
}

TEST(WinPorts, PortIsFreeOnlyWhenItsDeviceCanBeOpenedNow)
{
    EXPECT_EQ(PortComFree(kFast), 1);
    EXPECT_EQ(PortComFree(kRegularFile), 0);
    EXPECT_EQ(openPort(kRegularFile, kShort), -1);
    EXPECT_EQ(PortComFree(kMissing), 0);
    EXPECT_EQ(openPort(kMissing, kShort), -1);

    PortHandle handle = openPort(kFast, kShort);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(PortComFree(kFast), 0); // held by ourselves
    EXPECT_EQ(CloseCom(&handle), 1);
    EXPECT_EQ(PortComFree(kFast), 1);
}

TEST(WinPorts, TheOpenSharesTheDeviceWithNobody)
{
    // openExclusive opens with a share mode of 0: Windows then refuses every
    // other open of the device until the handle is closed. Wine applies that
    // rule to files, not to serial devices (see the next test), so the rule
    // itself is checked here on a file, through the same call.
    const std::string file = portsFolder() + "sharing-check";
    const HANDLE create = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(create, INVALID_HANDLE_VALUE);
    CloseHandle(create);

    const HANDLE first = pontel::openUnshared(file);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    const HANDLE second = pontel::openUnshared(file);
    EXPECT_EQ(second, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    const HANDLE reader = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(reader, INVALID_HANDLE_VALUE);
    CloseHandle(first);
    const HANDLE again = pontel::openUnshared(file);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
    DeleteFileA(file.c_str());
}

TEST(WinPorts, AnotherOpenOfAPortWeHold)
{
    PortHandle handle = openPort(kFast, kShort);
    ASSERT_GT(handle, 0);
    const HANDLE other = CreateFileA("\\\\.\\COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     0, nullptr);
    if (underWine()) {
        // Wine does not apply sharing to serial devices: the second open
        // succeeds. Windows refuses it with ERROR_ACCESS_DENIED.
        EXPECT_NE(other, INVALID_HANDLE_VALUE);
        RecordProperty("wine_second_open_of_a_held_port", other != INVALID_HANDLE_VALUE ? "succeeds" : "refused");
    } else {
        EXPECT_EQ(other, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    }
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    // Pontel itself never opens a port twice: PortComFree says no.
    EXPECT_EQ(PortComFree(kFast), 0);
    EXPECT_EQ(CloseCom(&handle), 1);
}

TEST(WinPorts, OpeningAnOpenPortNumberAgainReleasesTheEarlierHandle)
{
    PortHandle earlier = openPort(kFast, kShort);
    ASSERT_GT(earlier, 0);
    PortHandle later = openPort(kFast, kShort);
    ASSERT_GT(later, 0);
    // The earlier handle was closed first; Windows may hand its number out
    // again, so it is refused only when the new handle has another number.
    if (later != earlier) {
        EXPECT_EQ(PontelIsOpen(earlier), 0);
    }
    EXPECT_EQ(SendToCom(&later, kRequest.data(), 5), 1);
    Bytes answer(13);
    EXPECT_EQ(RcvFromCom(&later, answer.data(), 13), 1);
    EXPECT_EQ(answer, concat(kRequest, kReply));

    // A failed re-open (bad settings) releases it as well.
    EXPECT_EQ(ComInit(kFast, 12345, 8, 0, 1, 0, 0, 100, 0, 0), -1);
    EXPECT_EQ(PontelIsOpen(later), 0);
    EXPECT_EQ(PortComFree(kFast), 1);

    // Other port numbers are not affected.
    PortHandle one = openPort(kLine, kShort);
    PortHandle two = openPort(kFast, kShort);
    ASSERT_GT(one, 0);
    ASSERT_GT(two, 0);
    PortHandle twoAgain = openPort(kFast, kShort);
    ASSERT_GT(twoAgain, 0);
    EXPECT_EQ(PontelIsOpen(one), 1);
    EXPECT_EQ(CloseCom(&twoAgain), 1);
    EXPECT_EQ(CloseCom(&one), 1);
}

TEST(WinPorts, ThePortReopensAfterClose)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        PortHandle handle = openPort(kFast, kShort);
        ASSERT_GT(handle, 0);
        Bytes answer(13);
        EXPECT_EQ(SendToCom(&handle, kRequest.data(), 5), 1);
        EXPECT_EQ(RcvFromCom(&handle, answer.data(), 13), 1);
        EXPECT_EQ(answer, concat(kRequest, kReply));
        EXPECT_EQ(CloseCom(&handle), 1);
        EXPECT_EQ(CloseCom(&handle), 0);
        EXPECT_EQ(PortComFree(kFast), 1);
    }
}

TEST(WinPorts, UnsupportedSettingsAreRefused)
{
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
        EXPECT_EQ(ComInit(kFast, c.baud, c.dataBits, c.parity, c.stopBits, c.interval, c.perByte,
                          c.constant, c.wPerByte, c.wConstant),
                  -1);
        EXPECT_EQ(PortComFree(kFast), 1); // nothing left open
    }
}

// ---- The handle table -------------------------------------------------------

TEST(WinHandles, HandlesPontelDidNotOpenAreRefused)
{
    PortHandle closed = openPort(kFast, kShort);
    ASSERT_GT(closed, 0);
    EXPECT_EQ(PontelIsOpen(closed), 1);
    EXPECT_EQ(CloseCom(&closed), 1);

    for (PortHandle handle : {0, -1, 1, 2, 4, closed, 4095, 123456})
        expectRefused(handle);

    uint8_t bytes[1] = {};
    EXPECT_EQ(SendToCom(nullptr, bytes, 1), 0);
    EXPECT_EQ(RcvFromCom(nullptr, bytes, 1), 0);
    EXPECT_EQ(PontelReadUpTo(nullptr, bytes, 1), -1);
    EXPECT_EQ(CloseCom(nullptr), 0);
}

TEST(WinHandles, ForeignHandlesAreNeverReadNorWritten)
{
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    PortHandle writeHandle = HandleToLong(writeEnd);
    PortHandle readHandle = HandleToLong(readEnd);
    const uint8_t bytes[3] = {9, 8, 7};

    EXPECT_EQ(SendToCom(&writeHandle, bytes, 3), 0);
    EXPECT_EQ(bytesInPipe(readEnd), 0u);

    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writeEnd, bytes, 3, &written, nullptr));
    uint8_t buffer[3] = {};
    EXPECT_EQ(RcvFromCom(&readHandle, buffer, 3), 0);
    EXPECT_EQ(PontelReadUpTo(&readHandle, buffer, 3), -1);
    EXPECT_EQ(CloseCom(&readHandle), 0);
    EXPECT_EQ(CloseCom(&writeHandle), 0);
    EXPECT_EQ(bytesInPipe(readEnd), 3u); // still there, both ends still open
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(readEnd, buffer, 3, &got, nullptr));
    EXPECT_EQ(Bytes(buffer, buffer + got), Bytes(bytes, bytes + 3));
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
}

TEST(WinHandles, AStaleHandleTakenByAnotherObjectIsRefused)
{
    PortHandle stale = openPort(kFast, kShort);
    ASSERT_GT(stale, 0);
    ASSERT_EQ(CloseCom(&stale), 1);
    // Windows reuses handle values: make pipes until one carries the old
    // number (it usually is the first), then offer that number to Pontel.
    std::vector<HANDLE> handles;
    HANDLE reuser = nullptr, reuserPeer = nullptr;
    for (int i = 0; i < 64 && !reuser; ++i) {
        HANDLE r = nullptr, w = nullptr;
        ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
        if (HandleToLong(w) == stale) {
            reuser = w;
            reuserPeer = r;
        } else {
            handles.push_back(r);
            handles.push_back(w);
        }
    }
    const uint8_t bytes[2] = {1, 2};
    EXPECT_EQ(SendToCom(&stale, bytes, 2), 0);
    EXPECT_EQ(CloseCom(&stale), 0);
    if (reuser) {
        EXPECT_EQ(bytesInPipe(reuserPeer), 0u);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(reuser, bytes, 2, &written, nullptr)); // not closed by Pontel
        CloseHandle(reuser);
        CloseHandle(reuserPeer);
    }
    RecordProperty("stale_handle_reused", reuser ? "yes" : "no");
    for (HANDLE h : handles)
        CloseHandle(h);
}

// ---- Settings as the driver holds them -------------------------------------

TEST(WinSettings, TheDcbIsRawWithoutFlowControl)
{
    const struct
    {
        pontel::LineSettings settings;
        BYTE parity, stopBits;
    } cases[] = {
        {{9600, 8, 0, 1}, NOPARITY, ONESTOPBIT},
        {{115200, 7, 2, 2}, EVENPARITY, TWOSTOPBITS},
        {{1200, 5, 1, 1}, ODDPARITY, ONESTOPBIT},
        {{4800, 6, 3, 1}, MARKPARITY, ONESTOPBIT},
        {{300, 8, 4, 2}, SPACEPARITY, TWOSTOPBITS},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.settings.baud);
        DCB dcb{};
        // Whatever the port held before.
        dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = dcb.fNull = dcb.fErrorChar = TRUE;
        dcb.fAbortOnError = dcb.fDsrSensitivity = dcb.fParity = TRUE;
        dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        ASSERT_TRUE(pontel::makeDcb(c.settings, dcb));
        EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
        EXPECT_EQ(dcb.BaudRate, DWORD(c.settings.baud));
        EXPECT_EQ(dcb.ByteSize, BYTE(c.settings.dataBits));
        EXPECT_EQ(dcb.Parity, c.parity);
        EXPECT_EQ(dcb.StopBits, c.stopBits);
        EXPECT_EQ(dcb.fBinary, 1u);
        EXPECT_EQ(dcb.fParity, 0u);
        EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
        EXPECT_EQ(dcb.fDsrSensitivity, 0u);
        EXPECT_EQ(dcb.fOutX, 0u);
        EXPECT_EQ(dcb.fInX, 0u);
        EXPECT_EQ(dcb.fErrorChar, 0u);
        EXPECT_EQ(dcb.fNull, 0u);
        EXPECT_EQ(dcb.fAbortOnError, 0u);
        EXPECT_EQ(dcb.fDtrControl, DWORD(DTR_CONTROL_ENABLE));
        EXPECT_EQ(dcb.fRtsControl, DWORD(RTS_CONTROL_ENABLE));
    }
    DCB dcb{};
    EXPECT_FALSE(pontel::makeDcb({14400, 8, 0, 1}, dcb)); // a Windows rate, not a termios one
    EXPECT_TRUE(pontel::lineSettingsValid({4000000, 8, 0, 1}));
    EXPECT_TRUE(pontel::lineSettingsValid({50, 5, 4, 2}));
}

TEST(WinSettings, TheFiveTimeOutsAreTheCommTimeoutsFields)
{
    const COMMTIMEOUTS mapped = pontel::commTimeouts({11, 22, 33}, {44, 55});
    EXPECT_EQ(mapped.ReadIntervalTimeout, 11u);
    EXPECT_EQ(mapped.ReadTotalTimeoutMultiplier, 22u);
    EXPECT_EQ(mapped.ReadTotalTimeoutConstant, 33u);
    EXPECT_EQ(mapped.WriteTotalTimeoutMultiplier, 44u);
    EXPECT_EQ(mapped.WriteTotalTimeoutConstant, 55u);

    // And the driver holds them, with the speed, once the port is open.
    PortHandle handle = ComInit(kFast, 19200, 8, 0, 1, 200, 200, 3000, 7, 70);
    ASSERT_GT(handle, 0);
    COMMTIMEOUTS held{};
    ASSERT_TRUE(GetCommTimeouts(pontel::deviceHandle(handle), &held));
    EXPECT_EQ(held.ReadIntervalTimeout, 200u);
    EXPECT_EQ(held.ReadTotalTimeoutMultiplier, 200u);
    EXPECT_EQ(held.ReadTotalTimeoutConstant, 3000u);
    EXPECT_EQ(held.WriteTotalTimeoutMultiplier, 7u);
    EXPECT_EQ(held.WriteTotalTimeoutConstant, 70u);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(pontel::deviceHandle(handle), &dcb));
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(CloseCom(&handle), 1);
}

// ---- Reads, writes, time-outs -------------------------------------------------

TEST_F(OpenPortTest, AnExchangeWithTheDeviceComesBackWhole)
{
    open(kFast, kWindow);
    send(kRequest);
    EXPECT_EQ(read(5), kRequest); // the bus echo
    EXPECT_EQ(read(8), kReply);
}

TEST_F(OpenPortTest, BytesArrivedBeforeTheReadStayQueuedInOrder)
{
    open(kFast, kShort);
    send(kRequest);
    std::this_thread::sleep_for(100ms);
    Bytes got;
    for (int i = 0; i < 13; ++i)
        got.push_back(read(1)[0]);
    EXPECT_EQ(got, concat(kRequest, kReply));
}

TEST_F(OpenPortTest, OpeningThePortDiscardsWhatAnEarlierUserLeftUnread)
{
    open(kFast, kShort);
    send(kRequest);
    std::this_thread::sleep_for(100ms); // echo and reply wait, unread
    EXPECT_EQ(CloseCom(&m_handle), 1);
    open(kFast, kShort);
    uint8_t byte = 0;
    EXPECT_EQ(PontelReadUpTo(&m_handle, &byte, 1), 0);
    // And the line is in step for the next exchange.
    send(kRequest);
    EXPECT_EQ(read(13), concat(kRequest, kReply));
}

TEST_F(OpenPortTest, SilenceFailsWithinTheTotalTimeOut)
{
    // The window's time-outs: a 5-byte read waits 200 x 5 + 3000 ms.
    open(kSilent, kWindow);
    send(kRequest);
    EXPECT_EQ(read(5), kRequest); // the bus still echoes
    auto start = std::chrono::steady_clock::now();
    read(5, false);
    int64_t elapsed = millisecondsSince(start);
    EXPECT_GE(elapsed, 3950);
    EXPECT_LT(elapsed, 4600);
    RecordProperty("silent_5_byte_read_ms", std::to_string(elapsed));

    // Short ones, for 1 and 20 bytes: 10 x n + 150 ms.
    EXPECT_EQ(CloseCom(&m_handle), 1);
    open(kSilent, kShort);
    for (int32_t count : {1, 20}) {
        SCOPED_TRACE(count);
        start = std::chrono::steady_clock::now();
        read(count, false);
        elapsed = millisecondsSince(start);
        EXPECT_GE(elapsed, 10 * count + 150 - 50);
        EXPECT_LT(elapsed, 10 * count + 150 + 500);
    }
}

TEST_F(OpenPortTest, AGapLongerThanTheIntervalEndsTheReadAndLaterBytesStayInStep)
{
    // The reply comes 300 ms after the request; the interval is 100 ms and
    // there is no total time-out.
    open(kSlowReply, {100, 0, 0, 0, 0});
    send(kRequest);
    const auto start = std::chrono::steady_clock::now();
    Bytes buffer(13, 0xEE);
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer.data(), 13), 5);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 5), kRequest);
    const int64_t elapsed = millisecondsSince(start);
    EXPECT_GE(elapsed, 90);
    EXPECT_LT(elapsed, 290);
    EXPECT_EQ(read(8), kReply); // waits for the first byte, then whole

    // RcvFromCom is false for the same short read.
    send(kRequest);
    read(13, false);
    std::this_thread::sleep_for(400ms);
    uint8_t rest[8] = {};
    EXPECT_EQ(PontelReadUpTo(&m_handle, rest, 8), 8);
    EXPECT_EQ(Bytes(rest, rest + 8), kReply);
}

TEST_F(OpenPortTest, TheTotalTimeOutEndsAReadWhoseBytesTrickleWithinTheInterval)
{
    // Paced at 9600 baud, the 13 bytes of an exchange take 15 ms; the read
    // may take 6.
    open(kLine, {100, 0, 6, 0, 0});
    send(kRequest);
    const auto start = std::chrono::steady_clock::now();
    Bytes buffer(13);
    const int32_t got = PontelReadUpTo(&m_handle, buffer.data(), 13);
    EXPECT_LT(got, 13);
    EXPECT_LT(millisecondsSince(start), 100);
    std::this_thread::sleep_for(100ms);
    Bytes rest(13);
    EXPECT_EQ(PontelReadUpTo(&m_handle, rest.data(), 13), 13 - got);
}

TEST_F(OpenPortTest, ZeroBytesAndBadArgumentsOfAnOpenPort)
{
    open(kFast, kShort);
    send(kRequest);
    std::this_thread::sleep_for(50ms);
    uint8_t buffer[5] = {};
    EXPECT_EQ(RcvFromCom(&m_handle, nullptr, 2), 0);
    EXPECT_EQ(RcvFromCom(&m_handle, buffer, -1), 0);
    EXPECT_EQ(RcvFromCom(&m_handle, buffer, 0), 1);
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 0), 0);
    EXPECT_EQ(PontelReadUpTo(&m_handle, nullptr, 2), 0);
    EXPECT_EQ(SendToCom(&m_handle, buffer, 0), 1);
    EXPECT_EQ(SendToCom(&m_handle, buffer, -1), 0);
    EXPECT_EQ(SendToCom(&m_handle, nullptr, 3), 0);
    // None of the refused calls consumed or sent anything.
    EXPECT_EQ(read(13), concat(kRequest, kReply));
    EXPECT_EQ(PontelReadUpTo(&m_handle, buffer, 1), 0);
}

TEST_F(OpenPortTest, AReadWaitingOnOneThreadDoesNotHoldUpAWriteOnAnother)
{
    open(kFast, {0, 0, 3000, 0, 0});
    std::atomic<int32_t> got{-2};
    std::thread reader([&] {
        Bytes buffer(13);
        got = PontelReadUpTo(&m_handle, buffer.data(), 13);
    });
    std::this_thread::sleep_for(100ms);
    const auto start = std::chrono::steady_clock::now();
    send(kRequest);
    EXPECT_LT(millisecondsSince(start), 1000);
    reader.join();
    EXPECT_EQ(got.load(), 13);
    EXPECT_LT(millisecondsSince(start), 1500);
}

TEST_F(OpenPortTest, AReadWithoutTimeOutsEndsWhenTheDeviceGoesAway)
{
    // No time-out at all: only the hang-up can end this read.
    open(kSpare, {0, 0, 0, 0, 0});
    std::atomic<int32_t> got{-2};
    std::thread reader([&] {
        Bytes buffer(3);
        got = PontelReadUpTo(&m_handle, buffer.data(), 3);
    });
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(control(kSpare, "inputs 0"), "device 2: inputs 0");
    const auto start = std::chrono::steady_clock::now();
    tell(kSpare, "quit"); // ccsim ends, its terminal hangs up
    while (got.load() == -2 && millisecondsSince(start) < 5000)
        std::this_thread::sleep_for(10ms);
    const bool ended = got.load() != -2;
    RecordProperty("read_end_after_quit_ms", ended ? std::to_string(millisecondsSince(start)) : "never");
    EXPECT_TRUE(ended) << "the read still waits 5 s after the hang-up";
    if (!ended) {
        // Let the thread go: cancel its read.
        CancelIoEx(pontel::deviceHandle(m_handle), nullptr);
    }
    reader.join();
    EXPECT_EQ(got.load(), 0);
    EXPECT_EQ(PontelIsOpen(m_handle), 1); // still ours to close
}
