#include "BusTrace.h"

#include <cstdio>

namespace ccsim {

namespace {

std::string stamp(SimTime time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%12.3f ms", toMilliseconds(time));
    return text;
}

std::string byteList(const uint8_t *bytes, size_t count)
{
    if (count == 0)
        return "-";
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += (i ? " " : "") + std::to_string(bytes[i]);
    bool printable = count >= 2;
    for (size_t i = 0; i < count && printable; ++i)
        printable = bytes[i] >= 0x20 && bytes[i] < 0x7F;
    if (printable)
        text += " \"" + std::string(bytes, bytes + count) + "\"";
    return text;
}

} // namespace

std::string BusTrace::describe(SimTime time, bool fromHost, const Bytes &message, uint8_t answeredHeader)
{
    Frame frame;
    decode(message, frame);
    std::string name = headerName(frame.header);
    if (!fromHost) {
        if (frame.header == header::Reply)
            name = "reply to " + headerName(answeredHeader);
        else if (frame.header == header::Nak || frame.header == header::Busy)
            name += " to " + headerName(answeredHeader);
    }
    char line[160];
    std::snprintf(line, sizeof line, "%s  %s  %3u -> %-3u  %-44s ", stamp(time).c_str(),
                  fromHost ? "host  " : "device", frame.source, frame.destination,
                  (name + " (" + std::to_string(frame.header) + ")").c_str());
    return line + std::string("data: ") + byteList(frame.data.data(), frame.data.size()) + "  checksum "
        + (checksumGood(message) ? "good" : "BAD");
}

void BusTrace::onActivity(const BusActivity &activity)
{
    if (activity.kind == BusActivity::HostBytes) {
        for (uint8_t byte : activity.bytes)
            hostByte(byte, activity.time);
        return;
    }
    const Bytes &bytes = activity.bytes;
    if (activity.kind == BusActivity::HostOverrun) {
        m_out << stamp(activity.time) << "  host    " << bytes.size()
              << " byte(s) lost: written faster than the line carries\n";
    } else if (activity.kind == BusActivity::DeviceOverrun) {
        m_out << stamp(activity.time) << "  device  " << unsigned(activity.address)
              << " drops a reply: still busy sending earlier ones\n";
    } else if (activity.bare) {
        m_out << stamp(activity.time) << "  device  " << unsigned(activity.address)
              << " answers the address poll with the bare byte " << byteList(bytes.data(), bytes.size()) << "\n";
    } else if (bytes.size() >= 5 && bytes.size() == size_t(bytes[1]) + 5) {
        m_out << describe(activity.time, false, bytes, m_lastRequest) << "\n";
    } else {
        m_out << stamp(activity.time) << "  device  " << unsigned(activity.address)
              << " sends bytes that are not one message: " << byteList(bytes.data(), bytes.size()) << "\n";
    }
    m_out.flush();
}

void BusTrace::hostByte(uint8_t byte, SimTime time)
{
    expire(time);
    if (m_partial.empty())
        m_partialStart = time;
    m_partial.push_back(byte);
    m_lastByte = time;
    if (m_partial.size() >= 2 && m_partial.size() == size_t(m_partial[1]) + 5) {
        m_lastRequest = m_partial[3];
        m_out << describe(m_partialStart, true, m_partial, 0) << "\n";
        m_out.flush();
        m_partial.clear();
    }
}

void BusTrace::expire(SimTime now)
{
    if (!m_partial.empty() && now - m_lastByte > kInterByteTimeout)
        dropPartial();
}

void BusTrace::dropPartial()
{
    m_out << stamp(m_partialStart) << "  host    " << m_partial.size()
          << " byte(s) that make no whole message (dropped after the inter-byte time-out): "
          << byteList(m_partial.data(), m_partial.size()) << "\n";
    m_out.flush();
    m_partial.clear();
}

void BusTrace::note(SimTime time, const std::string &text)
{
    m_out << stamp(time) << "  " << text << "\n";
    m_out.flush();
}

} // namespace ccsim
