#include "functionbustools.h"

#include "connectwait.h"
#include "functioneditor.h"
#include "mainwindow.h"
#include "program.h"

#include "bus/busaddress.h"
#include "link/buslearn.h"
#include "link/bustest.h"
#include "model/language.h"
#include "openhab/bushints.h"
#include "openhab/openhabgenerator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

using namespace Qt::StringLiterals;

BusServer ProjectBusServer(const Program& program)
{
    const OpenHabGenerator& openHab = program.openHab;
    return BusServer{openHab.serverIP, openHab.serverPort.toUShort(), openHab.serverPass};
}

FunctionBusTools::FunctionBusTools(Program& program, FunctionEditor& editor, QWidget* parent)
    : QWidget(parent), m_program(program), m_editor(editor), m_test(new BusTest(this)),
      m_learn(new BusLearn(this))
{
    btnTest = new QPushButton(this);
    btnTest->setObjectName(u"btnTest"_s);
    btnTest->setAutoDefault(false);
    edLevel = new QSpinBox(this);
    edLevel->setRange(0, 100);
    edLevel->setValue(50);
    edLevel->setSuffix(u" %"_s);
    btnLearn = new QPushButton(this);
    btnLearn->setObjectName(u"btnLearn"_s);
    btnLearn->setAutoDefault(false);
    lblBusStatus = new QLabel(this);
    lblBusStatus->setWordWrap(true);
    lblBusStatus->setMinimumWidth(300);
    m_wait = new ConnectWait(program.language, lblBusStatus, this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(btnTest);
    row->addWidget(edLevel);
    row->addWidget(btnLearn);
    row->addWidget(lblBusStatus, 1);

    connect(btnTest, &QPushButton::clicked, this, &FunctionBusTools::testClick);
    connect(btnLearn, &QPushButton::clicked, this, &FunctionBusTools::learnClick);
    connect(m_test, &BusTest::finished, this, &FunctionBusTools::testFinished);
    connect(m_learn, &BusLearn::listening, this, [this] {
        setStatus(
            m_program.language.GetMsg(Msg::PressKeyNow, QString::number(BusLearn::defaultLimitMs / 1000)));
    });
    connect(m_learn, &BusLearn::unfit, this, [this](const QByteArray& frame) {
        const QString words = FrameInWords(m_program.language, frame);
        setStatus(m_program.language.GetMsg(Msg::KindMismatch,
                                            words.isEmpty() ? QString::fromLatin1(frame) : words));
    });
    connect(m_learn, &BusLearn::unusable, this, [this](const QByteArray& frame, const Problem& reason) {
        setStatus(m_program.language.GetMsg(Msg::BusFrameNotHeld, QString::fromLatin1(frame),
                                            reason.text(m_program.language)));
    });
    connect(m_learn, &BusLearn::learned, this, &FunctionBusTools::learned);
    connect(m_learn, &BusLearn::timedOut, this, [this] {
        setStatus(
            m_program.language.GetMsg(Msg::NoKeyPress, QString::number(BusLearn::defaultLimitMs / 1000)));
        updateControls();
    });
    connect(m_learn, &BusLearn::failed, this, [this](BusError error, const QString& detail) {
        setStatus(BusErrorText(m_program.language, error, detail));
        updateControls();
    });
    // Every kind changes what the tools offer.
    connect(&editor, &FunctionEditor::kindChanged, this, [this] {
        m_nextStep = 0;
        updateControls();
        showHints();
    });
    connect(&editor, &FunctionEditor::addressChanged, this, &FunctionBusTools::showHints);
}

FunctionBusTools::~FunctionBusTools() = default;

void FunctionBusTools::reset()
{
    m_test->cancel();
    m_learn->cancel();
    m_nextStep = 0;
    setStatus({});
    updateControls();
}

void FunctionBusTools::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateControls();
}

void FunctionBusTools::updateControls()
{
    const bool bTesting = m_test->isRunning();
    const bool bLearning = m_learn->isRunning();
    // Each says what it stops: the editor's own Abbrechen stands beside them.
    const Language& language = m_program.language;
    btnTest->setText(language.GetMsg(bTesting ? Msg::StopTest : Msg::Test));
    btnLearn->setText(language.GetMsg(bLearning ? Msg::StopLearning : Msg::LearnAddress));
    btnTest->setEnabled(!bLearning);
    btnLearn->setEnabled(!bTesting && m_editor.kind() != FunctionEntry::GroupScene);
    edLevel->setVisible(m_editor.kind() == FunctionEntry::Dimmer);
}

bool FunctionBusTools::typedFunction(FunctionEntry& v, bool quiet)
{
    const FunctionEditor::Typed typed = m_editor.typed();
    v = typed.row;
    if (v.kind == FunctionEntry::GroupScene)
        return !v.groups.isEmpty();
    const Result<QString> stored = BusAddress::check(v.address, v.key, v.kind, typed.addressKind);
    if (!stored) {
        if (!quiet)
            setStatus(stored.problem().text(m_program.language));
        return false;
    }
    v.address = *stored;
    return true;
}

void FunctionBusTools::testClick()
{
    if (m_test->isRunning()) {
        m_test->cancel();
        return;
    }
    FunctionEntry v;
    if (!typedFunction(v))
        return;
    // The editor switches one way per press: a light on, then off; a blind up, stop, down, stop.
    TestCommand command;
    if (v.kind == FunctionEntry::Switch) {
        command.word = m_nextStep % 2 == 0 ? TestCommand::On : TestCommand::Off;
    } else if (v.kind == FunctionEntry::Dimmer) {
        command = {TestCommand::Level, edLevel->value()};
    } else if (v.kind == FunctionEntry::Automation) {
        static constexpr TestCommand::Word blindSteps[] = {TestCommand::Up, TestCommand::Stop,
                                                           TestCommand::Down, TestCommand::Stop};
        command.word = blindSteps[m_nextStep % 4];
    }
    const QList<FunctionEntry> rows =
        m_program.mainWindow ? m_program.mainWindow->items().entries() : QList<FunctionEntry>();
    const auto steps = TestSteps(v, rows, command);
    if (!steps || steps->isEmpty())
        return;
    ++m_nextStep;
    const BusServer server = ProjectBusServer(m_program);
    // First the count, so that a failure at once replaces it.
    m_wait->start(server);
    m_test->start(server, *steps);
    updateControls();
}

void FunctionBusTools::testFinished(BusError error, const QString& detail)
{
    setStatus(TestResultText(m_program.language, error, detail, m_editor.kind()));
    updateControls();
}

void FunctionBusTools::showHints()
{
    // A running tool's progress, and a learned address's result, stay in the line.
    if (m_bFilling || m_test->isRunning() || m_learn->isRunning())
        return;
    FunctionEntry v;
    // An address still being typed is not valid yet; saving says why, the line only stays empty.
    if (m_editor.kind() == FunctionEntry::GroupScene || !typedFunction(v, true)) {
        setStatus({});
        return;
    }
    const QList<FunctionEntry> rows =
        m_program.mainWindow ? m_program.mainWindow->items().entries() : QList<FunctionEntry>();
    const BusHints hints(m_program.openHab, rows);
    const QString name = u'"' + v.label + u'"';
    QStringList lines = hints.forFunction(v, name, m_editor.editedRow());
    // "12" is point 2 of room 1: the stored form says so while the user types.
    if (v.address != m_editor.typed().row.address.trimmed())
        lines.prepend(m_program.language.GetMsg(Msg::AddressStoredAs, v.address));
    setStatus(lines.join(u'\n'));
}

void FunctionBusTools::learnClick()
{
    if (m_learn->isRunning()) {
        m_learn->cancel();
        return;
    }
    const BusServer server = ProjectBusServer(m_program);
    // First the count, so that a failure at once replaces it.
    m_wait->start(server);
    m_learn->start(server, m_editor.kind());
    updateControls();
}

void FunctionBusTools::learned(const BusDevice& device)
{
    m_bFilling = true;
    m_editor.showDevice(device);
    m_bFilling = false;
    // Named as the editor now holds it: a light point learned for a dimmer is the dimmer.
    BusDevice named = device;
    named.kind = m_editor.kind();
    setStatus(m_program.language.GetMsg(Msg::BusLearnedAs, DeviceInWords(m_program.language, named)));
    updateControls();
}

void FunctionBusTools::setStatus(const QString& text)
{
    m_wait->stop();
    lblBusStatus->setText(text);
}
