// The main window of Brevant: layout (First.ui), window-level state shared
// by every command, and the handlers of the controls. Each group of handlers
// lives in its own source file, named in its block below.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <random>

#include "CCTalkComDeclar.h"
#include "ChannelRows.h"
#include "CommandOutcome.h"
#include "HeaderLabels.h"
#include "Lamp.h"

namespace Ui {
class TMainForm;
}
class BenchPlatform;
class FocusEvents;
class PollTimer;
class QAbstractButton;
class QLabel;

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(BenchPlatform &platform, QWidget *parent = nullptr);
    ~TMainForm() override;

    // How a handler's message and error boxes show: in front, waiting for
    // OK; or aside, for a handler that runs at every keystroke, so that the
    // typing goes on (see BenchPlatform).
    enum class Boxes { InFront, Aside };

    // Window-level state, as every command sees it.
    PortHandle portHandle() const { return m_portHandle; }
    uint8_t portNumber() const { return m_portNumber; }
    const QString &connectedPortName() const { return m_connectedPortName; }
    uint8_t currentAddress() const { return m_currentAddress; }
    bool pollRunning() const { return m_pollRunning; }
    PollTimer &pollTimer() { return *m_timer; }
    const ChannelPanels &channelPanels() const { return m_channels; }

    // ---- Start-up, connection and closing (ConnectionHandlers.cpp) -------
    void FormCreate();
    void Button41Click();
    void ComboBox1Change();
    void BitBtn4Click();
    void BitBtn2Enter();
    void PageControl1Change();
    void Edit2Exit();
    void BitBtn26Click();
    void BitBtn2Click();

    // ---- Device information (DeviceInfoHandlers.cpp) ----------------------
    void BitBtn15Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn9Click();
    void BitBtn10Click();
    void BitBtn20Click();
    void BitBtn11Click();
    void BitBtn12Click();
    void BitBtn13Click();
    void BitBtn14Click();
    void BitBtn16Click();
    void Button42Click();
    void Button43Click();
    void Button44Click();
    void BitBtnaClick();

    // ---- I/O test panel (IoPanel.cpp) -------------------------------------
    void Button1Click(); // "Test" of "Test solenoid"
    void Button2Click(); // "Shot"
    void Button5Click(); // "Latch"
    void Button3Click(); // "Test" of "Test Input"
    void Button4Click(); // "Test" of "Test Opto"
    // ---- end of I/O test panel

    // The buttons whose focus entry pauses the poll (BitBtn2Enter).
    bool pausesOnFocus(const QWidget *button) const;

    // ---- Event buffer and repeating poll (EventBuffer.cpp) ----------------
    void BitBtn19Click(); // "Read" of "Events buffer"
    void Timer1Timer();   // tick of the repeating poll
    void BitBtn1Click();  // "Start" of "Shot"
    void BitBtn24Click(); // "Stop" of "Shot"
    void Edit1Exit();     // the interval field loses the focus
    void Button8Click();  // "GetMaster"
    // ---- end of event buffer and repeating poll

    // The resume step: the poll timer is set from the poll-running flag.
    // Every command handler ends with it on every path it completes.
    void resumePoll();

    // ---- Channel sorter and enable (ChannelPanel.cpp) ---------------------
    void BitBtn17Click(); // "Write" of "Channel enable"
    void BitBtn18Click(); // "Read" of "Channel enable"
    void Button7Click();  // "All"
    void Button6Click();  // "Any"
    // Shared by the 16 rows: the channel is the tag of the triggering
    // control (a row's own control, or "Read All" / "Write All").
    void SpinEdit1Change(QObject *trigger); // a path field changed
    void Button11Click(QObject *trigger);   // a row's "Write"
    void Button9Click(QObject *trigger);    // a row's "Read"
    void Button77Click();                   // "Read All"
    void Button78Click();                   // "Write All"
    // ---- end of channel sorter and enable

    // The connection step of "Init" and of the port box.
    void connectionStep(Boxes boxes = Boxes::InFront);

    // ---- Coin identifiers (CoinIdPanel.cpp) -------------------------------
    // Shared by the 16 rows: the channel is the tag of the triggering
    // control (a row's own control, or "Read All").
    void Button61Click(QObject *trigger);   // a row's "Read"
    void Button45Click(QObject *trigger);   // a row's "Write"
    void MaskEdit1Change(QObject *trigger); // a field's text changed
    void Button79Click();                   // "Read All"
    // ---- end of coin identifiers

    // Runs a handler through the error guard, on a port cleared of input
    // that no command asked for.
    void guarded(const std::function<void()> &handler, Boxes boxes = Boxes::InFront);

    // ---- Raw command console (CommandConsole.cpp) -------------------------
    void BitBtn23Click();    // "Send"
    void LabeledEdit2Exit(); // "Header" loses the focus
    // ---- end of raw command console

    // The short date format read at start.
    const QString &shortDateFormat() const { return m_shortDateFormat; }

    // ---- Fast test and comms counters (FastTest.cpp) ----------------------
    void BitBtn25Click(); // "Start" of "Fast test"
    void BitBtn21Click(); // "Read" of "Comms" (CommsCounters.cpp)
    void BitBtn22Click(); // "Clear" of "Comms" (CommsCounters.cpp)
    // ---- end of fast test and comms counters

private:
    // Wiring: a click runs the handler through the error guard. The second
    // form passes the clicked button as the triggering control (tags).
    void onClick(QAbstractButton *button, void (TMainForm::*handler)());
    void onClick(QAbstractButton *button, void (TMainForm::*handler)(QObject *trigger));
    // Focus leaving a control runs the handler through the error guard.
    void onExit(QWidget *control, void (TMainForm::*handler)());
    // A button's command: under the busy cursor, through the error guard,
    // and, for the commands that talk to the device, checked afterwards
    // (CommandOutcome) with the outcome on the button's header label.
    void runCommand(const QObject *button, const std::function<void()> &handler, bool busy = true);
    // "Read All" and "Write All": the row handler once per channel 1 to 16,
    // the button naming the channel by its tag; each channel's exchange is
    // checked on its own.
    void forEachChannel(QAbstractButton *all, void (TMainForm::*row)(QObject *trigger));
    // "Com1" and so on, as failures name the port.
    QString portName() const;

    void installPauseOnFocus();
    void setUpEventGrid();
    void wireConnectionHandlers();
    void wireDeviceInformationHandlers();
    // Shared by the five identity text buttons.
    void showIdentityText(void (*query)(CountedString *, PortHandle *, uint8_t),
                          QLabel *display);
    // Shared by "Creation" and "Modification".
    void showDate(CCBool (*query)(PortHandle *, uint8_t, uint16_t *, uint16_t *, uint16_t *),
                  QLabel *display);

    Ui::TMainForm *ui;
    BenchPlatform &m_platform;
    ChannelPanels m_channels;

    // ---- Window-level state -----------------------------------------------
    PortHandle m_portHandle = 0;
    uint8_t m_portNumber = 0;
    QString m_connectedPortName;
    uint8_t m_currentAddress = 0;
    bool m_pollRunning = false;
    PollTimer *m_timer;
    QString m_shortDateFormat;

    // ---- I/O test panel state ---------------------------------------------
    // The lamps of lines 1 to 6 of a column, top to bottom.
    using LampColumn = std::array<Lamp, 6>;
    void wireIoPanel();
    uint8_t solenoidIndex() const;
    uint8_t outputMask() const;
    static void showLineStates(const LampColumn &lamps, uint8_t states);
    LampColumn m_inputLamps{};
    LampColumn m_optoLamps{};
    // ---- end of I/O test panel state

    // The window's own counted string for the identity texts.
    CountedString m_text{};

    // ---- Event buffer and repeating poll state ----------------------------
    void wireEventBuffer();
    // The read of "Read" and of every tick, with its resume step.
    void readEventBuffer();
    // Handed to the library, which copies as many bytes as the device
    // announces (up to 254); the grid shows bytes 0 to 10.
    std::array<uint8_t, 254> m_eventBuffer{};
    // The poll's status lamp: Image25 off, Image26 on.
    Lamp m_pollLamp;
    // ---- end of event buffer and repeating poll state

    // ---- Channel sorter, coin identifier and console state ----------------
    // Connect the groups' controls to their handlers.
    void wireChannelPanel();
    void wireCoinIdPanel();
    void wireCommandConsole();
    // The row named by the trigger's tag; nullptr outside 1..16.
    const SorterRow *sorterRowOf(const QObject *trigger) const;
    const CoinIdRow *coinIdRowOf(const QObject *trigger) const;
    // The identifier read for one coin id row.
    CountedString m_coinIdText{};
    // The console's request block and the reply buffer that it lends the
    // library.
    std::array<uint8_t, 255> m_consoleRequest{};
    std::array<uint8_t, 260> m_consoleReply{};
    // ---- end of channel sorter, coin identifier and console state

    FocusEvents *m_focus;
    CommandOutcome m_outcome;
    HeaderLabels m_headerLabels;

    // ---- Fast test state ---------------------------------------------------
    // Wires "Fast test" and "Comms".
    void wireFastTestAndComms();
    void showCommsCounters(const uint8_t counters[3]);
    // Never seeded: the random destinations of the fast test come in the
    // same order after every start of the program.
    std::mt19937 m_random;
    // ---- end of fast test state
};
