#include "OutputQueue.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

namespace ccsim {

struct OutputQueue::Shared
{
    int fd;
    size_t capacity;
    std::mutex mutex;
    std::condition_variable changed;
    std::string pending;
    size_t dropped = 0;
    bool writing = false;
    bool stop = false;
    bool broken = false; // the reader went away: nothing more is written

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stop || !pending.empty() || dropped > 0; });
            if (pending.empty() && dropped == 0)
                return; // stopped with nothing left
            std::string text;
            text.swap(pending);
            if (dropped > 0) {
                text += "ccsim: " + std::to_string(dropped) + " bytes of output lost: nobody read them\n";
                dropped = 0;
            }
            writing = true;
            lock.unlock();
            writeAll(text);
            lock.lock();
            writing = false;
            changed.notify_all();
        }
    }

    void writeAll(const std::string &text)
    {
        size_t done = 0;
        while (!broken && done < text.size()) {
            const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                broken = true;
            else
                done += static_cast<size_t>(n);
        }
    }
};

OutputQueue::OutputQueue(int fd, size_t capacity) : m_shared(std::make_shared<Shared>())
{
    m_shared->fd = fd;
    m_shared->capacity = capacity;
    // The thread keeps the shared state alive if it outlives this object.
    std::thread([shared = m_shared] { shared->run(); }).detach();
}

OutputQueue::~OutputQueue()
{
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->changed.wait_for(lock, std::chrono::milliseconds(drainMs), [this] {
        return m_shared->pending.empty() && !m_shared->writing;
    });
    m_shared->stop = true;
    m_shared->changed.notify_all();
}

std::streamsize OutputQueue::xsputn(const char *text, std::streamsize count)
{
    if (count <= 0)
        return 0;
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto n = static_cast<size_t>(count);
    if (m_shared->pending.size() + n > m_shared->capacity)
        m_shared->dropped += n;
    else
        m_shared->pending.append(text, n);
    m_shared->changed.notify_all();
    return count; // dropped text counts as taken: the caller never waits
}

OutputQueue::int_type OutputQueue::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    xsputn(&byte, 1);
    return c;
}

} // namespace ccsim
