#include "PanelTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "PollTimer.h"

void RecordingPlatform::sleepMs(int milliseconds)
{
    if (onSleep)
        onSleep(milliseconds);
    FakePlatform::sleepMs(milliseconds);
}

QDateTime RecordingPlatform::currentDateTime()
{
    ++clockReads;
    now = now.addMSecs(clockStepMs);
    return FakePlatform::currentDateTime();
}

void RecordingPlatform::clearRecords()
{
    clear();
    rawWrites.clear();
    rawReadSizes.clear();
    discards.clear();
    clockReads = 0;
}

bool RecordingPlatform::writePort(PortHandle handle, const uint8_t *bytes, int count)
{
    rawWrites.emplace_back(bytes, bytes + count);
    return FakePlatform::writePort(handle, bytes, count);
}

int RecordingPlatform::readPortUpTo(PortHandle handle, uint8_t *buffer, int max)
{
    rawReadSizes.push_back(max);
    return FakePlatform::readPortUpTo(handle, buffer, max);
}

void RecordingPlatform::discardPortInput(PortHandle handle)
{
    discards.push_back(handle);
    if (!port || !port->isOpen(handle))
        return;
    port->passTime(std::chrono::milliseconds(50));
    std::vector<uint8_t> dropped(port->pendingInput());
    port->receiveUpTo(handle, dropped.data(), static_cast<int32_t>(dropped.size()));
}

PanelWindow::PanelWindow(bool connect)
{
    platform.port = &sim;
    m_installed = std::make_unique<ScopedPortBackend>(sim);
    m_form = std::make_unique<TMainForm>(platform);
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    if (!QTest::qWaitForWindowActive(m_form.get()))
        throw std::runtime_error("the window did not become active");
    if (connect) {
        click("Button41"); // "Init": Com1
        if (m_form->portHandle() <= 0)
            throw std::runtime_error("the window did not connect");
    }
    sim.clearRecords();
    platform.clearRecords();
}

PanelWindow::~PanelWindow()
{
    m_form.reset();
    m_installed.reset();
}

void PanelWindow::click(const char *buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(buttonName), Qt::LeftButton);
}

void PanelWindow::focus(const char *name)
{
    control<QWidget>(name)->setFocus(Qt::MouseFocusReason);
}

bool PanelWindow::tick()
{
    PollTimer &timer = m_form->pollTimer();
    if (!timer.isTicking())
        return false;
    emit timer.tick();
    return true;
}

void PanelWindow::typeInto(const char *lineEditName, const QString &text)
{
    auto *edit = control<QLineEdit>(lineEditName);
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

void PanelWindow::takeDeviceAddress()
{
    click("BitBtn5");
    if (m_form->currentAddress() != 2)
        throw std::runtime_error("the simple poll did not find the device");
    sim.clearRecords();
    platform.clearRecords();
}

std::vector<RecordingPlatform::Bytes> PanelWindow::requests()
{
    // Whole messages from the byte stream: 5 + length bytes each.
    std::vector<RecordingPlatform::Bytes> messages;
    const auto &bytes = sim.hostBytes();
    size_t at = 0;
    while (at + 2 <= bytes.size()) {
        const size_t size = 5u + bytes[at + 1];
        const size_t end = std::min(bytes.size(), at + size);
        messages.emplace_back(bytes.begin() + static_cast<long>(at),
                              bytes.begin() + static_cast<long>(end));
        at = end;
    }
    return messages;
}

uint8_t checksumFor(const std::vector<uint8_t> &head)
{
    unsigned sum = 0;
    for (uint8_t byte : head)
        sum += byte;
    return static_cast<uint8_t>(256u - (sum & 0xFFu));
}

