// The window on the in-process virtual validator for the tests of the I/O
// panel, the event buffer and poll, the fast test and the comms counters:
// a shown and active TMainForm whose platform records dialogs, waits and raw
// port access, with a clock that moves only when the window sleeps.
#pragma once

#include <QAbstractButton>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "BenchPlatform.h"
#include "First.h"
#include "SimPort.h"

// The QApplication of the test program (offscreen unless told otherwise).
void ensureTestApplication();

class RecordingPlatform : public BenchPlatform
{
public:
    using Bytes = std::vector<uint8_t>;

    void showMessage(QWidget *, const QString &text) override { messages.push_back(text); }
    void showError(QWidget *, const QString &text) override { errors.push_back(text); }
    bool confirm(QWidget *, const QString &) override { return true; }

    // No real wait: the wait is recorded and the clock moves by it.
    void sleepMs(int milliseconds) override;
    QDateTime currentDateTime() override;
    QString shortDateFormat() override { return QStringLiteral("dd/MM/yyyy"); }

    bool startTool(const QString &, const QString &) override { return false; }
    void waitForTool(const QString &) override {}

    // The serial layer's raw access (interposed: the virtual validator).
    bool writePort(PortHandle handle, const uint8_t *bytes, int count) override;
    int readPortUpTo(PortHandle handle, uint8_t *buffer, int max) override;
    // Lets the virtual line finish what it carries, then drops the input.
    void discardPortInput(PortHandle handle) override;

    std::vector<QString> messages;
    std::vector<QString> errors;
    std::vector<int> sleeps;
    // Every raw write as asked for, and the size of every raw read.
    std::vector<Bytes> rawWrites;
    std::vector<int> rawReadSizes;
    std::vector<PortHandle> discards;
    // The virtual validator behind the port, for the discard.
    SimPort *port = nullptr;
    int clockReads = 0;
    QDateTime clock{QDate(2026, 3, 2), QTime(9, 0)};
    // Called at every wait, before it is recorded.
    std::function<void(int)> onSleep;
    // Added to the clock at every read of it (the time a request takes).
    qint64 clockStepMs = 0;

    // Forgets what was recorded.
    void clearRecords();
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
// A whole request: destination, length, source 1, header, data, checksum.
std::vector<uint8_t> requestFrame(uint8_t destination, uint8_t header,
                                  std::vector<uint8_t> data = {});
