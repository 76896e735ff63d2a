#include "FrameDecoder.h"

#include <algorithm>
#include <cstdio>

#include "HeaderNames.h"

namespace ravlin {

bool FrameDecoder::goodAt(size_t offset) const
{
    if (m_pending.size() < offset + 5)
        return false;
    const size_t length = lengthAt(offset);
    if (m_pending.size() < offset + length)
        return false;
    unsigned sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += m_pending[offset + i].value;
    return sum % 256 == 0;
}

bool FrameDecoder::awaitedReplyFirst() const
{
    if (!m_awaitingReply || m_pending.size() < 3)
        return false;
    return m_pending[0].value == m_lastRequest.source
           && (m_lastRequest.destination == 0 || m_pending[2].value == m_lastRequest.destination);
}

void FrameDecoder::emit(std::vector<HeardFrame> &out, HeardFrame::Kind kind, size_t count)
{
    // With no request heard (the monitor started in between), a message to
    // address 1, the usual host's, is taken for a reply.
    const bool reply = (kind == HeardFrame::Message || kind == HeardFrame::BadChecksum)
                       && (awaitedReplyFirst() || (!m_awaitingReply && m_pending.front().value == 1));
    HeardFrame frame;
    frame.kind = kind;
    frame.time = m_pending.front().time;
    for (size_t i = 0; i < count; ++i) {
        frame.bytes.push_back(m_pending.front().value);
        m_pending.pop_front();
    }
    if (kind == HeardFrame::Message || kind == HeardFrame::BadChecksum) {
        frame.reply = reply;
        if (!reply) {
            m_lastRequest = {frame.bytes[0], frame.bytes[2], frame.bytes[3]};
            m_awaitingReply = true;
            m_afterAddressPoll = kind == HeardFrame::Message && frame.bytes[3] == 253;
            m_bareUntil = frame.time + 1.1;
        } else {
            frame.answeredHeader = m_lastRequest.header;
            m_awaitingReply = false;
            m_afterAddressPoll = false;
        }
    }
    if (kind == HeardFrame::BareAnswer)
        frame.answeredHeader = 253;
    out.push_back(std::move(frame));
}

void FrameDecoder::decide(std::vector<HeardFrame> &out, bool quiet)
{
    while (!m_pending.empty()) {
        if (m_afterAddressPoll && m_pending.front().time > m_bareUntil)
            m_afterAddressPoll = false;
        if (goodAt(0)) {
            emit(out, HeardFrame::Message, lengthAt(0));
            continue;
        }
        const bool completeAtStart = completeAt(0);
        if (completeAtStart && awaitedReplyFirst()) {
            emit(out, HeardFrame::BadChecksum, lengthAt(0));
            continue;
        }
        // A good message further on: what stands before it is noise, once
        // no start before it can still become a message. Deciding sooner
        // would make the cut depend on how the bytes were split into reads.
        size_t next = 1;
        bool undecided = false;
        while (next < m_pending.size() && !goodAt(next)) {
            undecided = undecided || !completeAt(next);
            ++next;
        }
        if (next < m_pending.size() && ((completeAtStart && !undecided) || quiet)) {
            emit(out, m_afterAddressPoll ? HeardFrame::BareAnswer : HeardFrame::Noise,
                 m_afterAddressPoll ? 1 : next);
            continue;
        }
        if (!quiet && m_pending.size() <= 300)
            return; // more bytes may complete it
        if (completeAtStart && !m_afterAddressPoll) {
            emit(out, HeardFrame::BadChecksum, lengthAt(0));
            continue;
        }
        if (m_afterAddressPoll)
            emit(out, HeardFrame::BareAnswer, 1);
        else
            emit(out, HeardFrame::Noise, m_pending.size());
    }
}

std::vector<HeardFrame> FrameDecoder::feed(const uint8_t *bytes, size_t count, double time, double spacing)
{
    std::vector<HeardFrame> out;
    if (!m_pending.empty() && time - m_pending.back().time > m_gap)
        decide(out, true);
    for (size_t i = 0; i < count; ++i)
        m_pending.push_back({bytes[i], time + static_cast<double>(i) * spacing});
    decide(out, false);
    return out;
}

std::vector<HeardFrame> FrameDecoder::idle(double now)
{
    std::vector<HeardFrame> out;
    if (!m_pending.empty() && now - m_pending.back().time > m_gap)
        decide(out, true);
    return out;
}

namespace {

std::string hexList(const std::vector<uint8_t> &bytes, size_t from, size_t to)
{
    std::string out;
    char one[4];
    for (size_t i = from; i < to && i < bytes.size(); ++i) {
        std::snprintf(one, sizeof one, "%02X", bytes[i]);
        out += (out.empty() ? "" : " ") + std::string(one);
    }
    return out.empty() ? "-" : out;
}

std::string textOf(const std::vector<uint8_t> &bytes, size_t from, size_t to)
{
    std::string out;
    for (size_t i = from; i < to && i < bytes.size(); ++i)
        out += (bytes[i] >= 0x20 && bytes[i] < 0x7F) ? static_cast<char>(bytes[i]) : '.';
    return out;
}

std::string frameName(const HeardFrame &f)
{
    if (!f.reply)
        return headerName(f.bytes[3]) + " (" + std::to_string(f.bytes[3]) + ")";
    const std::string what = f.bytes[3] == 0 ? (f.bytes[1] == 0 ? "ACK" : "reply") : headerName(f.bytes[3]);
    return what + " to " + headerName(f.answeredHeader);
}

} // namespace

std::string describeFrame(const HeardFrame &f)
{
    char time[32];
    std::snprintf(time, sizeof time, "%10.3f", f.time);
    std::string line = time;
    if (f.kind == HeardFrame::Noise)
        return line + "  ??            noise, " + std::to_string(f.bytes.size()) + " byte(s): " + hexList(f.bytes, 0, f.bytes.size());
    if (f.kind == HeardFrame::BareAnswer)
        return line + "  device " + std::to_string(f.bytes[0]) + "      bare answer to address poll: " + std::to_string(f.bytes[0]);
    // The host at 1 is "host"; a host elsewhere shows its address.
    const uint8_t host = f.reply ? f.bytes[0] : f.bytes[2];
    const std::string hostName = host == 1 ? "host" : "host " + std::to_string(host);
    std::string direction;
    if (f.reply) {
        char device[8];
        std::snprintf(device, sizeof device, "%3u", f.bytes[2]);
        direction = device + (" -> " + hostName);
    } else {
        direction = hostName + " -> " + std::to_string(f.bytes[0]);
    }
    direction.resize(std::max<size_t>(direction.size(), 14), ' ');
    const size_t end = f.bytes.size() - 1;
    char name[40];
    std::snprintf(name, sizeof name, "%-34s", frameName(f).c_str());
    line += std::string("  ") + direction + name + "  " + hexList(f.bytes, 4, end);
    const std::string text = textOf(f.bytes, 4, end);
    if (!text.empty())
        line += "  \"" + text + "\"";
    return line + (f.kind == HeardFrame::BadChecksum ? "  BAD CHECKSUM" : "");
}

JsonObject frameJson(const HeardFrame &f)
{
    static const char *const kKinds[] = {"message", "bad_checksum", "noise", "bare_answer"};
    JsonObject o;
    o.add("time", f.time).add("kind", kKinds[f.kind]);
    if (f.kind == HeardFrame::Message || f.kind == HeardFrame::BadChecksum) {
        o.add("direction", f.reply ? "device_to_host" : "host_to_device")
            .add("destination", f.bytes[0])
            .add("source", f.bytes[2])
            .add("header", f.bytes[3])
            .add("name", frameName(f))
            .addNumbers("data", std::vector<uint8_t>(f.bytes.begin() + 4, f.bytes.end() - 1))
            .add("text", textOf(f.bytes, 4, f.bytes.size() - 1));
    }
    o.addNumbers("bytes", f.bytes);
    return o;
}

} // namespace ravlin
