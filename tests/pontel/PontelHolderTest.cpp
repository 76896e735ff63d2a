// What a holder leaves behind: nothing when it dies without closing, and no
// handle number that the next opens give out again at once.
#include <gtest/gtest.h>

#include <csignal>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

#include "PontelDeclar.h"
#include "PseudoTerminal.h"

namespace {

const Timeouts kShort{0, 0, 100, 0, 0};

// A child process that opens port n, says so on a pipe and waits to be
// killed; its pid, or -1 when it could not open the port.
pid_t childHoldingPort(uint8_t n)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(ready[0]);
        const char opened = openPort(n, kShort) != -1 ? 'y' : 'n';
        if (write(ready[1], &opened, 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    ::close(ready[1]);
    char opened = 'n';
    const bool told = pid > 0 && read(ready[0], &opened, 1) == 1;
    ::close(ready[0]);
    if (!told || opened != 'y') {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        return -1;
    }
    return pid;
}

} // namespace

TEST(PontelHolder, PortKilledWithoutCloseComCanBeOpenedAgain)
{
    PseudoTerminal pty; // keeps the terminal alive, as ccsim does
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    const pid_t holder = childHoldingPort(1);
    ASSERT_GT(holder, 0);
    EXPECT_EQ(PortComFree(1), 0) << "held by the child";
    EXPECT_EQ(openPort(1, kShort), -1);

    ASSERT_EQ(kill(holder, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_FALSE(exclusiveMode(pty.path()));
    EXPECT_EQ(PortComFree(1), 1);
    PortHandle again = openPort(1, kShort);
    ASSERT_NE(again, -1);
    const uint8_t byte = 0x5A;
    EXPECT_EQ(SendToCom(&again, &byte, 1), 1);
    EXPECT_EQ(pty.receive(1, std::chrono::seconds(2)), std::vector<uint8_t>{0x5A});
    EXPECT_EQ(CloseCom(&again), 1);
}

TEST(PontelHolder, ClosedHandleIsNotGivenOutByTheNextOpens)
{
    PseudoTerminal first;
    PseudoTerminal second;
    ScopedEnvironment mapping1("PONTEL_COM1", first.path());
    ScopedEnvironment mapping2("PONTEL_COM2", second.path());
    PortHandle stale = openPort(1, kShort);
    ASSERT_NE(stale, -1);
    const PortHandle closed = stale;
    ASSERT_EQ(CloseCom(&stale), 1);

    // Many opens later the closed number still names nothing, and a write
    // through it reaches neither terminal.
    std::set<PortHandle> given{closed};
    PortHandle last = -1;
    for (int i = 0; i < 100; ++i) {
        last = openPort(uint8_t(1 + i % 2), kShort);
        ASSERT_NE(last, -1);
        EXPECT_TRUE(given.insert(last).second) << "handle " << last << " given out again";
        if (i < 99) {
            EXPECT_EQ(CloseCom(&last), 1);
        }
    }
    PortHandle copy = closed;
    const uint8_t byte = 0x11;
    EXPECT_EQ(PontelIsOpen(closed), 0);
    EXPECT_EQ(SendToCom(&copy, &byte, 1), 0);
    EXPECT_TRUE(first.receive(1, std::chrono::milliseconds(50)).empty());
    EXPECT_TRUE(second.receive(1, std::chrono::milliseconds(50)).empty());
    EXPECT_EQ(CloseCom(&last), 1);
}

TEST(PontelHolder, HandleNumbersGoRoundBelowSelectsLimit)
{
    PseudoTerminal pty;
    ScopedEnvironment mapping("PONTEL_COM1", pty.path());
    PortHandle previous = openPort(1, kShort);
    ASSERT_NE(previous, -1);
    ASSERT_EQ(CloseCom(&previous), 1);
    bool wentRound = false;
    for (int i = 0; i < 1100 && !wentRound; ++i) {
        PortHandle handle = openPort(1, kShort);
        ASSERT_GT(handle, 2);
        ASSERT_LT(handle, 1024);
        wentRound = handle < previous;
        previous = handle;
        ASSERT_EQ(CloseCom(&handle), 1);
    }
    EXPECT_TRUE(wentRound);
}
