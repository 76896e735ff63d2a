// ccsim's standard output and standard error, written by a thread of their
// own: a reader that stops reading (a full pipe, a suspended terminal) never
// stops the bus, and a signal still ends the program. Text that the reader
// leaves unread piles up to a bound; past it new text is dropped, and a note
// says how much once the reader takes text again.
#pragma once

#include <cstddef>
#include <memory>
#include <streambuf>

namespace ccsim {

class OutputQueue : public std::streambuf
{
public:
    explicit OutputQueue(int fd, size_t capacity = size_t(1) << 20);
    // Waits up to drainMs for the queued text to be written, then lets the
    // writer go (a writer stuck on a reader that never reads ends with the
    // process).
    ~OutputQueue() override;
    OutputQueue(const OutputQueue &) = delete;
    OutputQueue &operator=(const OutputQueue &) = delete;

    static constexpr int drainMs = 500;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace ccsim
