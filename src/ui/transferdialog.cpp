#include "transferdialog.h"

#include "dialoglook.h"
#include "filllanguage.h"
#include "headerband.h"
#include "link/gatewaylookup.h"
#include "model/captions.h"
#include "model/captiontags.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "program.h"
#include "sendcheck.h"
#include "style.h"
#include "workspace/prompts.h"
#include "workspace/workspace.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QColor HintColour(204, 0, 0);

QLabel* label(const QString& text, int tag, const QFont& font, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setFont(font);
    setTag(result, tag);
    return result;
}

QLabel* hintLabel(const QString& text, int tag, QWidget* parent)
{
    QLabel* result = label(text, tag, Style::bodyFont(15), parent);
    QPalette colours = result->palette();
    colours.setColor(QPalette::WindowText, HintColour);
    result->setPalette(colours);
    return result;
}

} // namespace

// What the transfer sees of the window: the address, the direction and the places it reports to.
// Every report is painted at once, so the user follows the transfer while it blocks the thread.
class TransferDialog::View : public TransferView
{
public:
    explicit View(TransferDialog& frm) : m_frm(frm) {}

    QString address() const override { return m_frm.edIP->text(); }
    TransferMode mode() const override { return m_frm.mode; }
    void setProgressText(const QString& text) override
    {
        m_frm.lblProgress->setText(text);
        m_frm.repaintNow();
    }
    void setProgress(int value, int maximum) override
    {
        m_frm.pb->setRange(0, maximum);
        m_frm.pb->setValue(value);
        m_frm.repaintNow();
    }
    void advanceProgress() override
    {
        m_frm.pb->setValue(m_frm.pb->value() + 1);
        m_frm.repaintNow();
    }
    void setServerTime(const QString& caption, const QString& hint) override
    {
        m_frm.lblServerTime->setText(caption);
        m_frm.lblServerTime->setToolTip(hint);
        m_frm.repaintNow();
    }
    void showRebootNote() override { m_frm.lblReboot->show(); }
    void showProblem(const Problem& problem) override
    {
        m_frm.m_program.prompts.error(problem.text(m_frm.m_program.language));
    }
    Prompts& prompts() override { return m_frm.m_program.prompts; }
    // The window takes input while the transfer waits, so that its close button can cancel it;
    // every other control is disabled meanwhile.
    bool cancelRequested() override
    {
        QCoreApplication::processEvents();
        return m_frm.m_cancelRequested;
    }

private:
    TransferDialog& m_frm;
};

TransferDialog::TransferDialog(Program& program, QWidget* parent)
    : QDialog(parent), m_program(program), m_view(std::make_unique<View>(*this))
{
    // No title-bar buttons: the window is left through its close button, which a running
    // transfer disables.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    DialogLook::setUp(this, {428, 284});
    // A running transfer disables the buttons; the user has to see that they rest.
    setStyleSheet(styleSheet() + u"QPushButton:disabled { color: #aaaaaa; border-color: #e2e2e2; }"
                                 u"QPushButton[role=\"save\"]:disabled { color: white; background: #f8c6ab;"
                                 u" border-color: #f8c6ab; }"_s);

    buildBand();
    auto* addressLabel =
        label(u"IP-Adresse des Varuno"_s, CaptionTag::GatewayAddress, Style::bodyFont(15), this);
    edIP = new QLineEdit(this);
    edIP->setFont(Style::bodyFont(15));
    edIP->setFixedHeight(30);
    btnSearch = DialogLook::button(u"Suchen"_s, CaptionTag::Search, u"search"_s, this);
    btnSearch->setFixedSize(102, 30);
    btnSearch->setToolTip(
        u"Wenn der openHAB-Server eingeschaltet und im Internet ist, kann über diese Funktion "
        u"die IP-Adresse ermittelt werden"_s);

    auto* addressRow = new QHBoxLayout;
    addressRow->setSpacing(6);
    addressRow->addWidget(edIP, 1);
    addressRow->addWidget(btnSearch);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 8);
    body->setSpacing(4);
    body->addWidget(addressLabel);
    body->addLayout(addressRow);
    body->addSpacing(10);
    body->addWidget(buildHintArea(), 1);
    body->addWidget(buildButtonRow());

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(m_band);
    window->addLayout(body, 1);

    connect(btnSend, &QPushButton::clicked, this, &TransferDialog::transfer);
    connect(btnReceive, &QPushButton::clicked, this, &TransferDialog::transfer);
    connect(btnClose, &QPushButton::clicked, this, &TransferDialog::reject);
    connect(btnSearch, &QPushButton::clicked, this, &TransferDialog::btnSearchClick);
}

TransferDialog::~TransferDialog() = default;

// The direction's picture and title, the serial line and the gateway's clock.
void TransferDialog::buildBand()
{
    m_band = new HeaderBand(u"send"_s, u"Konfiguration senden"_s, CaptionTag::SendConfiguration, this);
    lblSend = m_band->titleLabel();
    lblReceive = m_band->addLine(u"Konfiguration empfangen"_s);
    lblReceive->setFont(Style::headingFont(21));
    setTag(lblReceive, CaptionTag::ReceiveConfiguration);
    lblSerial = m_band->addLine(u"Serial"_s);
    lblSerial->setFont(Style::bodyFont(11));
    lblServerTime = m_band->addLine(u"Server-Zeit:"_s);
    lblServerTime->setFont(Style::bodyFont(11));
}

// The hint, the progress and the notes after a send share one place; only the ones of the
// current state are visible.
QWidget* TransferDialog::buildHintArea()
{
    auto* area = new QWidget(this);
    lblHint = hintLabel(u"Hinweis:"_s, CaptionTag::Hint, area);
    lblHintSend = hintLabel(u"Beim Senden wird die Konfiguration am openHAB-Server mit dieser "
                            u"Projekt-Konfiguration überschrieben!"_s,
                            CaptionTag::SendExplanation, area);
    lblHintReceive = hintLabel(u"Beim Empfangen wird diese Projekt-Konfiguration mit der Konfiguration vom "
                               u"openHAB-Server überschrieben!"_s,
                               CaptionTag::ReceiveExplanation, area);
    lblProgress = new QLabel(area);
    QFont bold = Style::bodyFont(13);
    bold.setBold(true);
    lblProgress->setFont(bold);
    pb = new QProgressBar(area);
    pb->setRange(0, GatewayTransfer::ProgressSteps);
    pb->setTextVisible(false);
    pb->setFixedHeight(17);
    QPalette barColours = pb->palette();
    barColours.setColor(QPalette::Highlight, Style::accent());
    pb->setPalette(barColours);
    lblRefresh =
        label(Captions::RefreshNote.german.toString(), Captions::RefreshNote.tag, Style::bodyFont(12), area);
    lblReboot = label(Captions::RebootNote.german.toString(), Captions::RebootNote.tag, bold, area);
    for (QLabel* wrapped : {lblHintSend, lblHintReceive, lblRefresh, lblReboot})
        wrapped->setWordWrap(true);

    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (QWidget* part : std::initializer_list<QWidget*>{lblHint, lblHintSend, lblHintReceive, lblProgress,
                                                         pb, lblRefresh, lblReboot})
        layout->addWidget(part);
    layout->addStretch();
    return area;
}

QWidget* TransferDialog::buildButtonRow()
{
    auto* row = new QWidget(this);
    btnSend = DialogLook::button(u"Senden"_s, CaptionTag::Send, u"send"_s, row);
    btnReceive = DialogLook::button(u"Empfangen"_s, CaptionTag::Receive, u"receive"_s, row);
    btnClose = DialogLook::button(u"Schließen"_s, CaptionTag::Close, u"close"_s, row);
    // The action is the window's main command, drawn like the other dialogs' "Speichern".
    btnSend->setIcon(Style::icon(u"send"_s, Qt::white, {18, 18}));
    btnReceive->setIcon(Style::icon(u"receive"_s, Qt::white, {18, 18}));
    for (QPushButton* action : {btnSend, btnReceive})
        action->setProperty("role", u"save"_s);
    // The action button on the left, the close button on the right; the latter keeps its place
    // when a successful transfer hides the former.
    for (QPushButton* action : {btnSend, btnReceive})
        action->setFixedSize(190, 42);
    btnClose->setFixedSize(198, 42);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(btnSend);
    layout->addWidget(btnReceive);
    layout->addStretch();
    layout->addWidget(btnClose);
    return row;
}

void TransferDialog::DoTransfer(TransferMode direction)
{
    mode = direction;
    const bool sending = mode == TransferMode::Send;
    const bool receiving = mode == TransferMode::Receive;
    m_band->setPicture(sending ? u"send"_s : u"receive"_s);
    lblSend->setVisible(sending);
    btnSend->setVisible(sending);
    lblHintSend->setVisible(sending);
    lblReceive->setVisible(receiving);
    btnReceive->setVisible(receiving);
    lblHintReceive->setVisible(receiving);
    lblHint->show();
    pb->hide();
    lblProgress->hide();
    lblProgress->clear();

    ini.emplace(m_program.openHab.sProjPath);
    edIP->setText(ini->IP());
    sSerial = ini->Serial();
    lblSerial->setText(sSerial.isEmpty() ? QString()
                                         : m_program.language.GetMsg(Msg::SerialNumber) + u' ' + sSerial);

    FormShow();
    DialogLook::centre(this);
    exec();
    ini.reset();
}

void TransferDialog::FormShow()
{
    lblServerTime->clear();
    lblServerTime->setToolTip({});
    lblRefresh->hide();
    lblReboot->hide();
    edIP->setEnabled(true);
    btnSearch->setVisible(!m_program.workspace->sCloudServer().isEmpty());
    FillLanguage(this, m_program.language);
    setWindowTitle((mode == TransferMode::Receive ? lblReceive : lblSend)->text());
    (mode == TransferMode::Receive ? btnReceive : btnSend)->setDefault(true);
    edIP->setFocus();
}

bool TransferDialog::ShowTransferState(bool bRunning, bool bSuccess)
{
    m_running = bRunning;
    lblProgress->show();
    pb->setVisible(bRunning);
    edIP->setEnabled(!bRunning);
    lblHint->hide();
    lblHintReceive->hide();
    lblHintSend->hide();
    setCommandsEnabled(!bRunning);
    // The close button stays usable: it cancels the transfer and then closes the window.
    btnClose->setEnabled(true);
    // Remembered at the start and at the end of every attempt, also one that fails or is refused.
    const bool bKept = ini->setIP(edIP->text());
    // An attempt that the address refused at its start ends without telling the same failure twice.
    if (!bKept && !m_addressRefused)
        m_program.prompts.error(ini->writeError().text(m_program.language));
    m_addressRefused = bRunning && !bKept;
    if (!bRunning) {
        if (bSuccess) {
            btnSend->hide();
            btnReceive->hide();
            edIP->setEnabled(false);
            lblProgress->setText(m_program.language.GetMsg(Msg::TransferSucceeded));
        } else {
            lblProgress->setText(m_program.language.GetMsg(Msg::TransferFailed));
        }
    }
    repaintNow();
    return bKept;
}

void TransferDialog::transfer()
{
    if (mode == TransferMode::Send && !ConfirmSendAfterCheck(m_program)) {
        // Remembered as for a transfer that the bus-server question refused.
        ini->setIP(edIP->text());
        return;
    }
    m_cancelRequested = false;
    // A project.ini that cannot even take the address is on a disk or in a folder that would not
    // take the files a transfer writes either: nothing is started.
    if (!ShowTransferState(true, false)) {
        ShowTransferState(false, false);
        return;
    }
    // The question comes in the running state, so that the close button cancels the reading of
    // the gateway it needs.
    GatewayTransfer transfer(m_program.openHab, m_program.language, *m_view, m_settings);
    const bool ok = (mode != TransferMode::Send || transfer.ConfirmSend()) && transfer.RunTransfer();
    dropHeldInput();
    ShowTransferState(false, ok);
    if (ok && mode == TransferMode::Send)
        lblRefresh->show();
    if (m_cancelRequested)
        QDialog::reject();
}

// The lookup blocks the thread like a transfer, so the window rests the same way meanwhile.
void TransferDialog::btnSearchClick()
{
    m_running = true;
    setCommandsEnabled(false);
    QString serialLine = lblSerial->text();
    QString address = edIP->text();
    GatewayLookup lookup(m_program.language, m_program.prompts, m_program.workspace->sCloudServer(),
                         ini->inif().fileName());
    m_program.prompts.show(lookup.Search(sSerial, serialLine, address).notices, m_program.language);
    lblSerial->setText(serialLine);
    edIP->setText(address);
    dropHeldInput();
    setCommandsEnabled(true);
    m_running = false;
}

void TransferDialog::setCommandsEnabled(bool enabled)
{
    for (QPushButton* button : {btnReceive, btnSend, btnClose, btnSearch})
        button->setEnabled(enabled);
}

// Clicks and keys held back while the thread was blocked reach the still disabled controls now,
// so none of them starts a second action.
void TransferDialog::dropHeldInput()
{
    QCoreApplication::processEvents();
}

void TransferDialog::repaintNow()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// While a transfer runs, closing cancels it; the window closes once the transfer has stopped.
void TransferDialog::reject()
{
    if (!m_running)
        QDialog::reject();
    else if (btnClose->isEnabled())
        m_cancelRequested = true;
}

void TransferDialog::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        event->ignore();
        reject();
    } else {
        QDialog::closeEvent(event);
    }
}
