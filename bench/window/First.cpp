#include "First.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>

#include "BenchPlatform.h"
#include "EnterKey.h"
#include "FocusEvents.h"
#include "HandlerGuard.h"
#include "PollTimer.h"
#include "WindowLook.h"
#include "ui_First.h"

namespace {

// The buttons that do not pause the poll when they take the focus: "Init",
// "Close", "&Norma.", "Start" and "Stop" of "Shot", "Read All" and
// "Write All" of "Channel sorter", "Read All" of "Coin Id" and "Start" of
// "Fast test".
const char *const kButtonsWithoutPause[] = {
    "Button41", "BitBtn4", "BitBtn26", "BitBtn1", "BitBtn24",
    "Button77", "Button78", "Button79", "BitBtn25",
};

// The event grid: three columns, a title row and five event rows.
constexpr int kGridColumnWidths[] = {31, 43, 57};

} // namespace

TMainForm::TMainForm(BenchPlatform &platform, QWidget *parent)
    : QWidget(parent), ui(new Ui::TMainForm), m_platform(platform), m_timer(new PollTimer(this)),
      m_focus(new FocusEvents(this)), m_outcome(platform)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(697, 578);
    // A click on a tab takes the focus, as the page control does: the focus
    // then leaves the old page before it is hidden, instead of being moved
    // onto a control of the new page.
    ui->PageControl1->tabBar()->setFocusPolicy(Qt::StrongFocus);
    // The data field starts with a single blank (the layout file drops it).
    ui->LabeledEdit3->setText(QStringLiteral(" "));

    // ---- I/O test panel wiring
    wireIoPanel();

    m_channels = buildChannelPanels(ui->ChannelSorterGroup, ui->ChannelEnableGroup, ui->CoinIdGroup);
    applyWindowLook(this);

    // ---- Event buffer and repeating poll wiring
    wireEventBuffer();

    setUpEventGrid();
    m_shortDateFormat = m_platform.shortDateFormat();

    // ---- Channel sorter and enable wiring
    wireChannelPanel();

    installPauseOnFocus();
    letEnterPressButtons(this);

    // ---- Coin identifiers wiring
    wireCoinIdPanel();

    FormCreate();

    // ---- Raw command console wiring
    wireCommandConsole();

    wireConnectionHandlers();

    // ---- Fast test and comms counters wiring
    wireFastTestAndComms();

    wireDeviceInformationHandlers();
    m_headerLabels = findHeaderLabels(this, m_channels);
}

TMainForm::~TMainForm()
{
    delete ui;
}

void TMainForm::guarded(const std::function<void()> &handler, Boxes boxes)
{
    // Every handler, the poll's ticks included, starts on a port cleared of
    // what arrived while no command was waiting: a reply that came after the
    // library gave up, or the tail of a garbled one, would otherwise be read
    // as the echo and reply of the handler's own command, and so on for
    // every command after it. Dropping it costs no wait.
    m_platform.dropUnreadInput(m_portHandle);
    if (boxes == Boxes::Aside)
        runGuarded([this](const QString &text) { m_platform.showErrorAside(this, text); }, handler);
    else
        runGuarded(m_platform, this, handler);
}

void TMainForm::onClick(QAbstractButton *button, void (TMainForm::*handler)())
{
    connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
        runCommand(button, [this, handler] { (this->*handler)(); });
    });
}

void TMainForm::onClick(QAbstractButton *button, void (TMainForm::*handler)(QObject *trigger))
{
    connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
        runCommand(button, [this, button, handler] { (this->*handler)(button); });
    });
}

void TMainForm::runCommand(const QObject *button, const std::function<void()> &handler, bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto label = m_headerLabels.constFind(button);
    if (label == m_headerLabels.cend()) {
        guarded(handler);
    } else {
        m_outcome.begin(m_portHandle);
        guarded(handler);
        m_outcome.finish(label.value(), m_portHandle, portName());
    }
    if (busy)
        QApplication::restoreOverrideCursor();
}

void TMainForm::forEachChannel(QAbstractButton *all, void (TMainForm::*row)(QObject *trigger))
{
    for (int n = 1; n <= kChannelCount; ++n) {
        setTag(all, n);
        (this->*row)(all);
        m_outcome.step(m_portHandle, portName(), QStringLiteral("channel %1").arg(n));
    }
}

QString TMainForm::portName() const
{
    return QStringLiteral("Com%1").arg(m_portNumber);
}

void TMainForm::onExit(QWidget *control, void (TMainForm::*handler)())
{
    m_focus->onExit(control, [this, handler] {
        guarded([this, handler] { (this->*handler)(); });
    });
}

void TMainForm::installPauseOnFocus()
{
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        bool pauses = true;
        for (const char *name : kButtonsWithoutPause) {
            if (button->objectName() == QLatin1String(name))
                pauses = false;
        }
        if (!pauses)
            continue;
        m_focus->onEnter(button, [this] { guarded([this] { BitBtn2Enter(); }); });
    }
}

bool TMainForm::pausesOnFocus(const QWidget *button) const
{
    return m_focus->hasEnter(button);
}

void TMainForm::resumePoll()
{
    m_timer->setOn(m_pollRunning);
}

void TMainForm::setUpEventGrid()
{
    QTableWidget *grid = ui->StringGrid1;
    for (int column = 0; column < grid->columnCount(); ++column)
        grid->setColumnWidth(column, kGridColumnWidths[column]);
    // The title row and the five event rows share the grid's height inside
    // its frame, so that all five events show without scrolling.
    const int rowHeight = (grid->height() - 2 * grid->frameWidth()) / grid->rowCount();
    grid->verticalHeader()->setMinimumSectionSize(rowHeight);
    for (int row = 0; row < grid->rowCount(); ++row) {
        grid->setRowHeight(row, rowHeight);
        for (int column = 0; column < grid->columnCount(); ++column) {
            auto *cell = new QTableWidgetItem;
            cell->setFlags(Qt::ItemIsEnabled);
            // Row 0 is the fixed title row.
            if (row == 0)
                cell->setBackground(grid->palette().button());
            grid->setItem(row, column, cell);
        }
    }
}
