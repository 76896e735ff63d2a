// The real TMainForm under the offscreen platform, talking to the in-process
// virtual validator through the interposed serial layer, with dialogs and
// waits answered by FakePlatform.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <vector>

#include "DisplayFormat.h"
#include "FakePlatform.h"
#include "First.h"
#include "PollTimer.h"
#include "SimPort.h"

// Forwards to the virtual validator and records what the window asked of
// the serial layer itself.
class RecordingPort : public PortBackend
{
public:
    explicit RecordingPort(SimPort &sim) : m_sim(sim) {}

    struct Opening {
        uint8_t port;
        std::array<int32_t, 9> settings;
    };
    std::vector<uint8_t> freeQueries;
    std::vector<Opening> openings;
    std::vector<PortHandle> closings;

    bool portFree(uint8_t n) override
    {
        freeQueries.push_back(n);
        return m_sim.portFree(n);
    }
    PortHandle open(uint8_t n, const int32_t settings[9]) override
    {
        Opening opening{n, {}};
        std::copy(settings, settings + 9, opening.settings.begin());
        openings.push_back(opening);
        return m_sim.open(n, settings);
    }
    bool close(PortHandle handle) override
    {
        closings.push_back(handle);
        return m_sim.close(handle);
    }
    bool send(PortHandle handle, const uint8_t *bytes, int32_t count) override
    {
        return m_sim.send(handle, bytes, count);
    }
    bool receive(PortHandle handle, uint8_t *buffer, int32_t count) override
    {
        return m_sim.receive(handle, buffer, count);
    }
    int32_t receiveSome(PortHandle handle, uint8_t *buffer, int32_t count) override
    {
        return m_sim.receiveSome(handle, buffer, count);
    }
    bool isOpen(PortHandle handle) override { return m_sim.isOpen(handle); }
    int32_t receiveUpTo(PortHandle handle, uint8_t *buffer, int32_t max) override
    {
        return m_sim.receiveUpTo(handle, buffer, max);
    }
    int32_t openFailure(uint8_t n, std::string &text) override { return m_sim.openFailure(n, text); }

private:
    SimPort &m_sim;
};

class WindowTest : public ::testing::Test
{
protected:
    WindowTest() { m_sim.setAddressPollQuiet(ccsim::SimTime(0)); }

    // Creates and shows the window (FormCreate lists the free ports).
    void openWindow()
    {
        m_form = std::make_unique<TMainForm>(m_platform);
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        // An X server without a window manager (xvfb-run) never activates
        // the window; shown is what the pictures of the pages need there.
        if (QGuiApplication::platformName() == QLatin1String("xcb") && qEnvironmentVariableIsSet("CCBENCH_SCREENSHOTS"))
            ASSERT_TRUE(QTest::qWaitForWindowExposed(m_form.get()));
        else
            ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }

    // Opens the window and connects to Com1, then forgets the records.
    void openConnected()
    {
        openWindow();
        click("Button41");
        ASSERT_TRUE(m_platform.messages.isEmpty());
        forget();
    }

    void forget()
    {
        m_sim.clearRecords();
        m_platform.clear();
    }

    template <typename Control = QWidget>
    Control *control(const QString &name)
    {
        auto *found = m_form->findChild<Control *>(name);
        if (!found)
            ADD_FAILURE() << "no control " << name.toStdString();
        return found;
    }

    // A display's text (a long one is painted cut, whole in its tooltip),
    // or a field's text.
    QString text(const QString &name)
    {
        if (auto *label = m_form->findChild<QLabel *>(name))
            return label->text();
        if (auto *edit = m_form->findChild<QLineEdit *>(name))
            return edit->text();
        ADD_FAILURE() << "no text control " << name.toStdString();
        return {};
    }

    void setTextOf(const QString &name, const QString &value)
    {
        if (auto *label = m_form->findChild<QLabel *>(name))
            label->setText(value);
        else if (auto *edit = m_form->findChild<QLineEdit *>(name))
            edit->setText(value);
        else
            ADD_FAILURE() << "no text control " << name.toStdString();
    }

    // A mouse click: the press moves the focus to the button, the release
    // clicks it.
    void click(const QString &name)
    {
        QAbstractButton *button = control<QAbstractButton>(name);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::vector<uint8_t> hostBytes() const { return m_sim.hostBytes(); }

    PollTimer &timer() { return m_form->pollTimer(); }

    SimPort m_sim;
    RecordingPort m_port{m_sim};
    ScopedPortBackend m_installed{m_port};
    FakePlatform m_platform;
    std::unique_ptr<TMainForm> m_form;
};

// A ccTalk request frame with its checksum.
std::vector<uint8_t> requestFrame(uint8_t destination, uint8_t header,
                                  std::vector<uint8_t> data = {});
