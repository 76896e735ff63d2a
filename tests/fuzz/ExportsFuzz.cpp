// The library's 34 exports over a line that the input plays.
//
// The Pontel functions are defined here (libRavlin.so's calls bind to them,
// the program exports its symbols): every byte a read gets, echo and reply
// alike, comes from the input, and bits of the input make reads and writes
// fail; a failing read delivers part of what was asked for, as a time-out
// does. Input: byte 0 picks the export, bytes 1 to 8 its arguments, byte 9
// the failing writes (bit k: write k), bytes 10 to 13 the failing reads
// (bit k: read k), then the coin identifier (6 bytes) for CCset_CoinId, the
// request block's head and its data for the raw command; the rest is the
// line.
//
// Beyond the sanitizers, each run replays the exchange on its own model of
// the protocol (written apart from the library) and checks that:
// - the library wrote exactly the request, checksum included, and read
//   exactly the pieces the protocol asks for, stopping at the first failure;
// - no read asks for more than the buffer it fills has room for;
// - the results and the outputs are those the declarations promise, and
//   outputs not named are untouched (guard bytes around every buffer);
// - a CountedString never counts more bytes than the device sent.
//
// The date exports wait 500 ms before the base-year request; the wait is
// recorded here instead of spent (nanosleep below), and checked.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

#include "CCTalkComDeclar.h"
#include "IntegerText.h"
#include "PontelDeclar.h"

#if defined(__SANITIZE_ADDRESS__)
#define FUZZ_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FUZZ_ASAN 1
#endif
#endif
#ifdef FUZZ_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

constexpr PortHandle kHandle = 7;

[[noreturn]] void fail(const char *what, int line)
{
    std::fprintf(stderr, "exports (line %d): %s\n", line, what);
    std::abort();
}
#define CHECK(condition, what)                                                                           \
    do {                                                                                                 \
        if (!(condition))                                                                                \
            fail(what, __LINE__);                                                                        \
    } while (0)

struct Transfer
{
    std::vector<uint8_t> bytes; // written, or delivered to the buffer
    int32_t count = 0;          // asked for
    bool ok = false;
};

// The line as the input plays it, and what the library did on it.
struct Line
{
    const uint8_t *input = nullptr;
    size_t size = 0;
    size_t at = 0;
    uint8_t writeFailures = 0;
    uint32_t readFailures = 0;
    std::vector<Transfer> writes, reads;
    bool waiting = false;        // an export is running: waits are recorded
    std::vector<long long> waits; // nanoseconds, in the order asked
    std::vector<size_t> waitBeforeWrite; // how many writes had been made then
} g_line;

} // namespace

// The wait of the date exports: recorded, not spent, while an export runs;
// anyone else (libFuzzer's own threads) sleeps for real.
extern "C" int nanosleep(const struct timespec *request, struct timespec *remaining)
{
    if (g_line.waiting && request) {
        g_line.waits.push_back(static_cast<long long>(request->tv_sec) * 1000000000LL + request->tv_nsec);
        g_line.waitBeforeWrite.push_back(g_line.writes.size());
        return 0;
    }
    return static_cast<int>(syscall(SYS_nanosleep, request, remaining));
}

extern "C" {

CCBool PortComFree(uint8_t)
{
    return 0;
}

PortHandle ComInit(uint8_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t)
{
    return -1;
}

CCBool CloseCom(PortHandle *)
{
    return 0;
}

CCBool SendToCom(PortHandle *port, const uint8_t *bytes, int32_t count)
{
    CHECK(port != nullptr && *port == kHandle, "a write on another handle than the caller's");
    CHECK(bytes != nullptr && count > 0 && count <= 260, "a write of no bytes or of more than a message");
#ifdef FUZZ_ASAN
    CHECK(__asan_region_is_poisoned(const_cast<uint8_t *>(bytes), static_cast<size_t>(count)) == nullptr,
          "a write takes bytes from beyond its buffer");
#endif
    Transfer t;
    t.bytes.assign(bytes, bytes + count);
    t.count = count;
    const size_t index = g_line.writes.size();
    t.ok = !(index < 8 && (g_line.writeFailures >> index) & 1);
    g_line.writes.push_back(t);
    return t.ok;
}

CCBool RcvFromCom(PortHandle *port, uint8_t *buffer, int32_t count)
{
    CHECK(port != nullptr && *port == kHandle, "a read on another handle than the caller's");
    CHECK(buffer != nullptr && count > 0 && count <= 260, "a read of no bytes or of more than a message");
#ifdef FUZZ_ASAN
    CHECK(__asan_region_is_poisoned(buffer, static_cast<size_t>(count)) == nullptr,
          "a read asks for more than its buffer holds");
#endif
    CHECK(g_line.reads.size() < 100000, "reads without end");
    const size_t index = g_line.reads.size();
    const size_t available = g_line.size - g_line.at;
    const bool failing = index < 32 && (g_line.readFailures >> index) & 1;
    size_t delivered = std::min<size_t>(available, static_cast<size_t>(count));
    if (failing)
        delivered = std::min<size_t>(delivered, static_cast<size_t>(count) / 2);
    Transfer t;
    t.count = count;
    t.ok = !failing && delivered == static_cast<size_t>(count);
    t.bytes.assign(g_line.input + g_line.at, g_line.input + g_line.at + delivered);
    std::memcpy(buffer, g_line.input + g_line.at, delivered);
    g_line.at += delivered;
    g_line.reads.push_back(t);
    return t.ok;
}

CCBool PontelIsOpen(PortHandle handle)
{
    return handle == kHandle;
}

int32_t PontelReadUpTo(PortHandle *, uint8_t *, int32_t)
{
    return -1;
}

CCBool PontelLastExchange(PortHandle, PontelExchange *)
{
    return 0;
}

int32_t PontelOpenFailure(uint8_t, char *text, int32_t size)
{
    if (text && size > 0)
        text[0] = '\0';
    return PONTEL_OPEN_NO_DEVICE;
}

} // extern "C"

namespace {

using Bytes = std::vector<uint8_t>;

uint8_t checksumOf(const Bytes &bytes)
{
    unsigned sum = 0;
    for (const uint8_t b : bytes)
        sum += b;
    return static_cast<uint8_t>((256 - sum % 256) % 256);
}

bool sumsToZero(const Bytes &bytes)
{
    unsigned sum = 0;
    for (const uint8_t b : bytes)
        sum += b;
    return sum % 256 == 0;
}

// The protocol as this target understands it, replayed over what the
// library did: each step takes the next write or read, checks that it is
// the one expected, and tells whether it succeeded.
class Model
{
public:
    bool write(const Bytes &expected)
    {
        CHECK(m_write < g_line.writes.size(), "a write is missing");
        const Transfer &t = g_line.writes[m_write++];
        CHECK(t.bytes == expected, "the library wrote other bytes than the request");
        return t.ok;
    }
    const Transfer &read(int32_t count)
    {
        CHECK(m_read < g_line.reads.size(), "a read is missing");
        const Transfer &t = g_line.reads[m_read++];
        CHECK(t.count == count, "a read of another size than the protocol's");
        return t;
    }
    void done() const
    {
        CHECK(m_write == g_line.writes.size(), "more writes than the request");
        CHECK(m_read == g_line.reads.size(), "reads after the operation ended");
    }

    // Writes head, data and checksum, then reads their echo in pieces of the
    // same sizes. The echoed head is kept: the library goes by it.
    bool request(uint8_t destination, uint8_t header, const Bytes &data, Bytes *echoedData = nullptr,
                 uint8_t source = 1)
    {
        const Bytes head = {destination, static_cast<uint8_t>(data.size()), source, header};
        Bytes message = head;
        message.insert(message.end(), data.begin(), data.end());
        const uint8_t checksum = checksumOf(message);
        if (!write(head) || (!data.empty() && !write(data)) || !write({checksum}))
            return false;
        const Transfer &echo = read(4);
        if (!echo.ok)
            return false;
        echoedHead = echo.bytes;
        if (!data.empty()) {
            const Transfer &echoed = read(static_cast<int32_t>(data.size()));
            if (echoedData)
                *echoedData = echoed.bytes;
            if (!echoed.ok)
                return false;
        }
        return read(1).ok;
    }

    // A fixed reply of n data bytes, in one read: its data when it passes.
    std::optional<Bytes> fixed(uint8_t address, int n)
    {
        const Transfer &t = read(n + 5);
        if (!t.ok)
            return std::nullopt;
        const Bytes &r = t.bytes;
        if (!sumsToZero(r) || r[0] != 1 || r[1] != n || (r[2] != address && address != 0) || r[3] != 0)
            return std::nullopt;
        return Bytes(r.begin() + 4, r.begin() + 4 + n);
    }

    std::optional<Bytes> requestFixed(uint8_t address, uint8_t header, int n, const Bytes &data = {})
    {
        if (!request(address, header, data))
            return std::nullopt;
        return fixed(address, n);
    }

    // An acknowledgement: its source when it passes. Any source passes for
    // address 0 and after an echoed header 250.
    std::optional<uint8_t> ack(uint8_t expected)
    {
        const Transfer &t = read(5);
        if (!t.ok)
            return std::nullopt;
        const Bytes &r = t.bytes;
        const bool anySource = expected == 0 || echoedHead[3] == 250;
        if (!sumsToZero(r) || r[0] != 1 || r[1] != 0 || (r[2] != expected && !anySource) || r[3] != 0)
            return std::nullopt;
        return r[2];
    }

    std::optional<uint8_t> requestAck(uint8_t address, uint8_t header, const Bytes &data, uint8_t expected)
    {
        if (!request(address, header, data))
            return std::nullopt;
        return ack(expected);
    }

    // A text reply: head, then length + 1 bytes; only the checksum counts,
    // and 255 data bytes give an empty text.
    Bytes text()
    {
        const Transfer &head = read(4);
        if (!head.ok)
            return {};
        const int length = head.bytes[1];
        const Transfer &rest = read(length + 1);
        if (!rest.ok)
            return {};
        Bytes whole = head.bytes;
        whole.insert(whole.end(), rest.bytes.begin(), rest.bytes.end());
        if (!sumsToZero(whole) || length > 254)
            return {};
        return Bytes(rest.bytes.begin(), rest.bytes.begin() + length);
    }

    Bytes requestText(uint8_t address, uint8_t header, const Bytes &data = {})
    {
        if (!request(address, header, data))
            return {};
        return text();
    }

    // The base year: the wait, then the text as an integer.
    std::optional<int32_t> baseYear(uint8_t address)
    {
        CHECK(m_wait < g_line.waits.size(), "no wait before the base-year request");
        CHECK(g_line.waits[m_wait] >= 500000000LL, "a wait of less than 500 ms before the base-year request");
        CHECK(g_line.waitBeforeWrite[m_wait] == m_write, "the wait is not right before the base-year request");
        ++m_wait;
        const Bytes text = requestText(address, 170);
        int32_t value = 0;
        if (!tryReadInteger(latin1ToUtf8(std::string(text.begin(), text.end())), value))
            return std::nullopt;
        return value;
    }

    size_t waitsChecked() const { return m_wait; }

    Bytes echoedHead = {0, 0, 0, 0};

private:
    size_t m_write = 0, m_read = 0, m_wait = 0;
};

constexpr uint8_t kGuard = 0x5A;
constexpr size_t kGuardSize = 16;

// A caller's buffer with guard bytes on both sides, filled beforehand.
template <size_t N> struct Guarded
{
    uint8_t before[kGuardSize];
    uint8_t bytes[N];
    uint8_t after[kGuardSize];

    explicit Guarded(uint8_t fill)
    {
        std::memset(before, kGuard, sizeof before);
        std::memset(bytes, fill, sizeof bytes);
        std::memset(after, kGuard, sizeof after);
    }
    void checkGuards() const
    {
        for (size_t i = 0; i < kGuardSize; ++i)
            CHECK(before[i] == kGuard && after[i] == kGuard, "a write outside the caller's buffer");
    }
};

// A CountedString output: the count is the text's length, bytes 1 to n the
// text, the rest as the caller left it.
void checkCounted(const Guarded<256> &result, const Bytes &expected)
{
    result.checkGuards();
    CHECK(result.bytes[0] <= 254, "a text count above 254");
    CHECK(result.bytes[0] == expected.size(), "the text count is not the length of the text received");
    CHECK(std::equal(expected.begin(), expected.end(), result.bytes + 1), "the text is not the bytes received");
    for (size_t i = 1 + expected.size(); i < 256; ++i)
        CHECK(result.bytes[i] == 0xCC, "a text byte written past its count");
}

void checkDate(const std::optional<Bytes> &reply, const std::optional<int32_t> &base, bool manufacturing,
               CCBool result, const uint16_t date[3])
{
    if (!reply) {
        CHECK(!result, "a date read as good after a failed reply");
        CHECK(date[0] == 1900 && date[1] == 1 && date[2] == 1, "a failed date reply does not give 1900-01-01");
        return;
    }
    const uint8_t d0 = (*reply)[0], d1 = (*reply)[1];
    const auto year = static_cast<uint16_t>(static_cast<uint32_t>(*base) + ((d1 >> 1) & 0x1F));
    const auto month = static_cast<uint16_t>(((d1 & 1) << 3) | (d0 >> 5));
    const auto day = static_cast<uint16_t>(d0 & 0x1F);
    CHECK(date[0] == year && date[1] == month && date[2] == day, "the date is not the one the device sent");
    const bool good = !manufacturing || (month >= 1 && month <= 12);
    CHECK(result == (good ? 1 : 0), "the date's result is not as its month says");
}

class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    size_t at() const { return m_at; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    const int which = in.byte() % 34;
    uint8_t arg[8];
    for (uint8_t &a : arg)
        a = in.byte();
    const uint8_t writeFailures = in.byte();
    uint32_t readFailures = 0;
    for (int i = 0; i < 4; ++i)
        readFailures |= static_cast<uint32_t>(in.byte()) << (8 * i);

    // The coin identifier and the raw command's request block, read from
    // the input before the line.
    Guarded<6> identifier(0);
    if (which == 31) {
        for (uint8_t &b : identifier.bytes)
            b = in.byte();
    }
    Guarded<255> request(0xEE);
    if (which == 33) {
        for (int i = 0; i < 4; ++i)
            request.bytes[i] = in.byte();
        const size_t n = std::min<size_t>(request.bytes[1], 251);
        for (size_t i = 0; i < n; ++i)
            request.bytes[4 + i] = in.byte();
    }

    g_line = Line();
    g_line.input = data + in.at();
    g_line.size = size - in.at();
    g_line.writeFailures = writeFailures;
    g_line.readFailures = readFailures;

    PortHandle port = kHandle;
    Model m;
    const uint8_t a0 = arg[0], a1 = arg[1], a2 = arg[2];
    Guarded<256> text(0xCC);
    Guarded<1> one(0xCC);
    Guarded<1> two(0xCC);
    Guarded<3> three(0xCC);
    uint16_t date[3] = {0xBEEF, 0xBEEF, 0xBEEF};
    Guarded<254> events(0xCC);
    Guarded<260> reply(0xCC);
    const Guarded<255> requestBefore = request;
    bool threw = false; // the base-year text did not convert

    g_line.waiting = true;
    try {
        switch (which) {
        case 0: {
            one.bytes[0] = a0;
            const CCBool r = CCGet_Simple_Poll(&port, one.bytes);
            std::optional<uint8_t> source;
            if (m.request(a0, 254, {})) {
                const Transfer &t = m.read(5);
                const Bytes &b = t.bytes;
                if (t.ok && sumsToZero(b) && b[0] == 1 && b[1] == 0 && b[3] == 0)
                    source = b[2];
            }
            CHECK(r == (source ? 1 : 0), "simple poll: another result than the reply's");
            CHECK(one.bytes[0] == (source ? *source : a0), "simple poll: the address is not the replier's");
            break;
        }
        case 1: {
            const uint8_t r = CCGet_Adress(&port);
            uint8_t expected = 0;
            if (m.request(0, 253, {})) {
                const Transfer &t = m.read(1);
                if (t.ok)
                    expected = t.bytes[0];
            }
            CHECK(r == expected, "address poll: not the first byte that answered");
            break;
        }
        case 2: {
            const CCBool r = CCSet_Adress(&port, a0, a1);
            CHECK(r == (m.requestAck(a0, 251, {a1}, a1) ? 1 : 0), "change address: another result");
            break;
        }
        case 3: {
            one.bytes[0] = a0;
            const CCBool r = CCSet_Rand_Adress(&port, one.bytes);
            const std::optional<uint8_t> source = m.requestAck(a0, 250, {}, a0);
            CHECK(r == (source ? 1 : 0), "random address: another result");
            CHECK(one.bytes[0] == (source ? *source : a0), "random address: the address is not the acknowledger's");
            break;
        }
        case 4: {
            const CCBool r = CCGet_Polling(&port, a0, one.bytes, two.bytes);
            const auto d = m.requestFixed(a0, 249, 2);
            CHECK(r == (d ? 1 : 0), "polling priority: another result");
            CHECK(one.bytes[0] == (d ? (*d)[0] : 0xCC) && two.bytes[0] == (d ? (*d)[1] : 0xCC),
                  "polling priority: outputs other than the reply's data");
            break;
        }
        case 5: case 9: case 16: case 23: case 24: case 28: {
            static const uint8_t kHeaders[] = {248, 243, 169, 237, 236, 227};
            const int k = which == 5 ? 0 : which == 9 ? 1 : which == 16 ? 2 : which == 23 ? 3 : which == 24 ? 4 : 5;
            uint8_t r = 0;
            switch (which) {
            case 5: r = CCGet_Status(&port, a0); break;
            case 9: r = CCGet_DB(&port, a0); break;
            case 16: r = CCGet_Adress_Mode(&port, a0); break;
            case 23: r = CCGet_InputLines(&port, a0); break;
            case 24: r = CCGet_Opto_Status(&port, a0); break;
            default: r = CCGet_Master_Inhibit(&port, a0); break;
            }
            const auto d = m.requestFixed(a0, kHeaders[k], 1);
            uint8_t expected = which == 5 ? 255 : 0;
            if (d)
                expected = which == 28 ? (((*d)[0] & 1) == 0 ? 1 : 0) : (*d)[0];
            CHECK(r == expected, "one-byte request: another result than the reply's");
            break;
        }
        case 6: case 7: case 8: case 11: case 12: {
            static const uint8_t kHeaders[] = {246, 245, 244, 0, 0, 241, 192};
            switch (which) {
            case 6: CCGet_Manufacturer(reinterpret_cast<CountedString *>(text.bytes), &port, a0); break;
            case 7: CCGet_Equipement(reinterpret_cast<CountedString *>(text.bytes), &port, a0); break;
            case 8: CCGet_Product(reinterpret_cast<CountedString *>(text.bytes), &port, a0); break;
            case 11: CCSoftVersion(reinterpret_cast<CountedString *>(text.bytes), &port, a0); break;
            default: CCGet_BuildCode(reinterpret_cast<CountedString *>(text.bytes), &port, a0); break;
            }
            checkCounted(text, m.requestText(a0, kHeaders[which - 6]));
            break;
        }
        case 10: {
            const int32_t r = CCGet_Serial_Number(&port, a0);
            const auto d = m.requestFixed(a0, 242, 3);
            CHECK(r == (d ? (*d)[0] | ((*d)[1] << 8) | ((*d)[2] << 16) : -1), "serial number: another value");
            break;
        }
        case 13: case 14: {
            const bool manufacturing = which == 13;
            CCBool r = 0;
            try {
                r = manufacturing ? CCGet_Manufacturing_Date(&port, a0, &date[0], &date[1], &date[2])
                                  : CCGet_Modification_Date(&port, a0, &date[0], &date[1], &date[2]);
            } catch (const IntegerConversionError &) {
                threw = true;
            }
            const auto d = m.requestFixed(a0, manufacturing ? 196 : 195, 2);
            std::optional<int32_t> base;
            if (d) {
                base = m.baseYear(a0);
                CHECK(base.has_value() != threw, "date: a base year error not as its text says");
            } else {
                CHECK(!threw, "date: a base year error after a failed date reply");
            }
            if (threw)
                CHECK(date[0] == 0xBEEF && date[1] == 0xBEEF && date[2] == 0xBEEF, "date: outputs written before the error");
            else
                checkDate(d, base, manufacturing, r, date);
            break;
        }
        case 15: {
            std::optional<int32_t> r;
            try {
                r = CCRequest_Base_Year(&port, a0);
            } catch (const IntegerConversionError &) {
            }
            CHECK(m.baseYear(a0) == r, "base year: another value, or an error not as its text says");
            break;
        }
        case 17: case 18: {
            std::memset(three.bytes, 0xCC, 3);
            const CCBool r = which == 17 ? CCGet_cctalk_Version(&port, a0, three.bytes)
                                         : CCGet_CommsStatus(&port, a0, three.bytes);
            const auto d = m.requestFixed(a0, which == 17 ? 4 : 2, 3);
            CHECK(r == (d ? 1 : 0), "three-byte request: another result");
            for (int i = 0; i < 3; ++i)
                CHECK(three.bytes[i] == (d ? (*d)[i] : 255), "three-byte request: outputs other than promised");
            three.checkGuards();
            break;
        }
        case 19: {
            const CCBool r = CCClearsCom(&port, a0);
            CHECK(r == (m.requestAck(a0, 3, {}, a0) ? 1 : 0), "clear comms status: another result");
            break;
        }
        case 20: {
            one.bytes[0] = a0;
            const CCBool r = CCReSet(&port, one.bytes);
            const std::optional<uint8_t> source = m.requestAck(a0, 1, {}, a0);
            CHECK(r == (source ? 1 : 0), "reset: another result");
            CHECK(one.bytes[0] == (source ? *source : a0), "reset: the address is not the acknowledger's");
            break;
        }
        case 21: {
            const uint8_t solenoid = a1 % 10;
            const CCBool r = CCTestSolenoid(&port, a0, solenoid);
            bool expected = false;
            if (solenoid < 8)
                expected = m.requestAck(a0, 240, {static_cast<uint8_t>(1u << solenoid)}, a0).has_value();
            CHECK(r == (expected ? 1 : 0), "test solenoid: another result");
            break;
        }
        case 22: {
            const uint8_t mode = a2 % 3;
            const CCBool r = CCTestOutput(&port, a0, a1, mode);
            const auto header = static_cast<uint8_t>(238 - 5 * mode);
            CHECK(r == (m.requestAck(a0, header, {a1}, a0) ? 1 : 0), "test output: another result");
            break;
        }
        case 25: {
            const auto mask = static_cast<uint16_t>(a1 | (a2 << 8));
            const CCBool r = CCSet_Channel_Enable(&port, a0, mask);
            CHECK(r == (m.requestAck(a0, 231, {a1, a2}, a0) ? 1 : 0), "set inhibits: another result");
            break;
        }
        case 26: {
            const uint16_t r = CCGet_Channel_Enable(&port, a0);
            const auto d = m.requestFixed(a0, 230, 2);
            CHECK(r == (d ? (*d)[0] | ((*d)[1] << 8) : 0), "inhibits: another mask");
            break;
        }
        case 27: {
            CCGet_Buffer(&port, a0, events.bytes);
            const Bytes e = m.requestText(a0, 229);
            events.checkGuards();
            CHECK(std::equal(e.begin(), e.end(), events.bytes), "event buffer: not the bytes received");
            for (size_t i = e.size(); i < 254; ++i)
                CHECK(events.bytes[i] == 0xCC, "event buffer: a byte written past the reply's data");
            break;
        }
        case 29: {
            const CCBool r = CCModify_Sorter(&port, a0, a1, a2);
            CHECK(r == (m.requestAck(a0, 210, {a1, a2}, a0) ? 1 : 0), "modify sorter: another result");
            break;
        }
        case 30: {
            const uint8_t r = CCRequest_Sorter(&port, a0, a1);
            const auto d = m.requestFixed(a0, 209, 1, {a1});
            CHECK(r == (d ? (*d)[0] : 0), "sorter path: another path");
            break;
        }
        case 31: {
            const Guarded<6> identifierBefore = identifier;
            const CCBool r = CCset_CoinId(&port, a0, a1, identifier.bytes);
            Bytes payload = {a1};
            payload.insert(payload.end(), identifier.bytes, identifier.bytes + 6);
            CHECK(r == (m.requestAck(a0, 185, payload, a0) ? 1 : 0), "modify coin id: another result");
            CHECK(std::memcmp(&identifier, &identifierBefore, sizeof identifier) == 0,
                  "modify coin id: the caller's identifier changed");
            break;
        }
        case 32: {
            CCGet_CoinId(reinterpret_cast<CountedString *>(text.bytes), &port, a0, a1);
            checkCounted(text, m.requestText(a0, 184, {a1}));
            break;
        }
        default: {
            const CCBool r = CCSend_Command(&port, request.bytes, reply.bytes);
            request.checkGuards();
            reply.checkGuards();
            const int n = requestBefore.bytes[1];
            Guarded<260> expected(0xCC);
            Guarded<255> expectedRequest = requestBefore;
            bool ok = false;
            if (n > 251) {
                std::memset(expected.bytes, 0, 254);
            } else {
                const Bytes data(requestBefore.bytes + 4, requestBefore.bytes + 4 + n);
                Bytes echoed;
                const bool sent = m.request(requestBefore.bytes[0], requestBefore.bytes[3], data, &echoed,
                                              requestBefore.bytes[2]);
                // The echo of the data lands in the request block (what was
                // read of it); the head's echo does not.
                std::copy(echoed.begin(), echoed.end(), expectedRequest.bytes + 4);
                if (!sent) {
                    std::memset(expected.bytes, 0, 254);
                } else if (m.echoedHead[3] >= 250 && m.echoedHead[3] <= 253) {
                    int i = 5;
                    while (i < 260) {
                        const Transfer &t = m.read(1);
                        // A failed read leaves what it got where it read.
                        std::copy(t.bytes.begin(), t.bytes.end(), expected.bytes + i);
                        if (!t.ok)
                            break;
                        ++i;
                    }
                    expected.bytes[0] = 0;
                    expected.bytes[1] = static_cast<uint8_t>(i - 5);
                    expected.bytes[2] = 0;
                    ok = i > 5;
                } else {
                    const Transfer &head = m.read(2);
                    std::copy(head.bytes.begin(), head.bytes.end(), expected.bytes);
                    if (head.ok) {
                        const Transfer &rest = m.read(head.bytes[1] + 3);
                        std::copy(rest.bytes.begin(), rest.bytes.end(), expected.bytes + 2);
                        ok = rest.ok;
                    }
                }
            }
            CHECK(r == (ok ? 1 : 0), "raw command: another result");
            CHECK(std::memcmp(reply.bytes, expected.bytes, 260) == 0, "raw command: the reply buffer is not as promised");
            CHECK(std::memcmp(request.bytes, expectedRequest.bytes, 255) == 0,
                  "raw command: the request block holds other than its data's echo");
            break;
        }
        }
    } catch (const IntegerConversionError &) {
        g_line.waiting = false;
        CHECK(false, "an integer conversion error from an export that does not read the base year");
    }
    g_line.waiting = false;
    CHECK(port == kHandle, "the caller's handle changed");
    m.done();
    CHECK(m.waitsChecked() == g_line.waits.size(), "a wait where the protocol has none");
    return 0;
}
