// The window on the in-process virtual validator for the tests of the I/O
// panel, the event buffer and poll, the fast test and the comms counters:
// a shown and active TMainForm on the window tests' platform, with the raw
// port access recorded and a clock that moves when the window sleeps. Not a
// test fixture: some tests open two windows, or put another port behind one.
#pragma once

#include <QAbstractButton>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "FakePlatform.h"
#include "First.h"
#include "SimPort.h"
#include "WindowFixture.h"

// The test platform of the window tests, which also records the fast
// test's raw port access, lets a test move the clock at every read of it,
// and discards the port's input on the virtual validator.
class RecordingPlatform : public FakePlatform
{
public:
    using Bytes = std::vector<uint8_t>;

    void sleepMs(int milliseconds) override;
    QDateTime currentDateTime() override;
    bool writePort(PortHandle handle, const uint8_t *bytes, int count) override;
    int readPortUpTo(PortHandle handle, uint8_t *buffer, int max) override;
    // Lets the virtual line finish what it carries, then drops the input.
    void discardPortInput(PortHandle handle) override;

    // Forgets what was recorded.
    void clearRecords();

    // Every raw write as asked for, and the size of every raw read.
    std::vector<Bytes> rawWrites;
    std::vector<int> rawReadSizes;
    std::vector<PortHandle> discards;
    int clockReads = 0;
    // Added to the clock at every read of it (the time a request takes).
    qint64 clockStepMs = 0;
    // Called at every wait, before it is recorded.
    std::function<void(int)> onSleep;
    // The virtual validator behind the port, for the discard.
    SimPort *port = nullptr;
};

class PanelWindow
{
public:
    // A window on the default validator (a coin acceptor at address 2 on
    // Com1); connected when asked, with the records cleared afterwards.
    explicit PanelWindow(bool connect = true);
    ~PanelWindow();

    SimPort sim;
    RecordingPlatform platform;
    TMainForm &form() { return *m_form; }

    template <typename T>
    T *control(const char *name)
    {
        T *found = m_form->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return found;
    }

    // A mouse click: the focus moves to the button first (the pause on
    // focus runs), then the click runs the handler.
    void click(const char *buttonName);
    // Puts the focus on a widget, as a click on it would.
    void focus(const char *name);
    // Fires the poll timer once, if it would tick now; true when it did.
    bool tick();
    // Types text into a line edit that has the focus (replacing its text).
    void typeInto(const char *lineEditName, const QString &text);

    // "SimplePool": the current address becomes the device's (2).
    void takeDeviceAddress();

    // Every request frame that went out since the last clearRecords(), as
    // whole messages (the library writes head, data and checksum apart).
    std::vector<RecordingPlatform::Bytes> requests();

private:
    std::unique_ptr<ScopedPortBackend> m_installed;
    std::unique_ptr<TMainForm> m_form;
};

// The checksum byte that makes a message add up to 0 modulo 256.
uint8_t checksumFor(const std::vector<uint8_t> &head);
