#include "settingsdialog.h"

#include "dialoglook.h"
#include "externallinks.h"
#include "filllanguage.h"
#include "headerband.h"
#include "model/captiontags.h"
#include "model/language.h"
#include "openhab/homekit.h"
#include "openhab/openhabgenerator.h"
#include "program.h"
#include "style.h"
#include "toggleswitch.h"
#include "workspace/prompts.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The pairing PIN that homekit.cfg carries for every project; shown so the user can pair.

// A whole number as the user typed it, or fallback when the text is none.
int wholeNumber(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}

QLabel* taggedLabel(const QString& caption, int tag, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    setTag(label, tag);
    return label;
}

QLineEdit* field(const QString& hint, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setToolTip(hint);
    return edit;
}

QLineEdit* readOnlyField(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Base, QColor(246, 246, 246));
    edit->setPalette(colours);
    return edit;
}

ToggleSwitch* toggle(int tag, QWidget* parent)
{
    auto* ts = new ToggleSwitch(parent);
    ts->setOffCaption(u"Aus"_s);
    ts->setOnCaption(u"Ein"_s);
    ts->setColours(Style::text(), Style::accent());
    setTag(ts, tag);
    return ts;
}

} // namespace

SettingsDialog::SettingsDialog(Program& program, QWidget* parent)
    : QDialog(parent), m_program(program),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    DialogLook::setUp(this, {647, 518});

    auto* band = new HeaderBand(u"settings"_s, u"Einstellungen"_s, CaptionTag::Settings, this);
    band->titleLabel()->setObjectName(u"title"_s);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 14);
    body->setSpacing(12);
    body->addWidget(buildServerBox());
    body->addWidget(buildAccountBox());
    body->addWidget(buildHomeKitBox());
    body->addStretch();
    body->addWidget(buildButtonRow());

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(band);
    window->addLayout(body);

    connect(btnSave, &QPushButton::clicked, this, &SettingsDialog::Save);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnReg, &QPushButton::clicked, this,
            [this] { m_openUrl(QUrl(QStringView(CloudServiceHomePage).toString())); });
    connect(btnCheck, &QPushButton::clicked, this,
            [this] { m_openUrl(QUrl(QStringView(CloudServiceStatusPage).toString())); });
}

// One row of fields, each under its label.
QGroupBox* SettingsDialog::buildServerBox()
{
    auto* box = new QGroupBox(u" BTicino-Webserver "_s, this);
    setTag(box, CaptionTag::BusServerBox);
    edAdr = field(u"IP-Adresse des BTicino-Gateways"_s, box);
    edPort = field(u"Port des BTicino-Ports"_s, box);
    edPass = field(u"Passwort des BTicino-Gateways"_s, box);
    tsSetTime = toggle(CaptionTag::OffOn, box);
    tsSetTime->setToolTip(u"Dabei wird automatisch am Bussystem jede Stunde die aktuelle Zeit gesetzt"_s);
    edRescan = field(u"Wie oft openHAB den Status der BTicino-Geräte abfragt (in Sekunden)"_s, box);
    // Kept for the flag in bticino.cfg; the bus servers in use do not offer HMAC, so it is not shown.
    auto* hmacLabel = new QLabel(u"HMAC-Authentifizierung"_s, box);
    tsHMAC = toggle(CaptionTag::None, box);
    hmacLabel->hide();
    tsHMAC->hide();

    auto* rescan = new QHBoxLayout;
    rescan->setSpacing(6);
    rescan->addWidget(edRescan);
    rescan->addWidget(taggedLabel(u"Sek."_s, CaptionTag::Seconds, box));

    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(12, 10, 12, 12);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(4);
    grid->addWidget(taggedLabel(u"IP-Adresse"_s, CaptionTag::IpAddress, box), 0, 0);
    grid->addWidget(edAdr, 1, 0);
    grid->addWidget(taggedLabel(u"Port"_s, CaptionTag::Port, box), 0, 1);
    grid->addWidget(edPort, 1, 1);
    grid->addWidget(taggedLabel(u"OpenWeb-Passwort"_s, CaptionTag::OpenWebPassword, box), 0, 2);
    grid->addWidget(edPass, 1, 2);
    grid->addWidget(taggedLabel(u"Bus-Zeit autom. setzen"_s, CaptionTag::SetBusTime, box), 0, 3);
    grid->addWidget(tsSetTime, 1, 3);
    grid->addWidget(taggedLabel(u"Statusabfrage"_s, CaptionTag::StatusQuery, box), 0, 4);
    grid->addLayout(rescan, 1, 4);
    grid->setColumnStretch(0, 5);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 4);
    grid->setColumnStretch(4, 2);
    edPort->setMinimumWidth(64);
    edRescan->setMaximumWidth(70);
    return box;
}

QGroupBox* SettingsDialog::buildAccountBox()
{
    auto* box = new QGroupBox(u" openHAB-Account"_s, this);
    setTag(box, CaptionTag::OpenHabAccountBox);
    btnReg = DialogLook::button(u"myOpenHAB-Account öffnen"_s, CaptionTag::OpenAccount, u"web"_s, box);
    btnCheck = DialogLook::button(u"myOpenHAB Server-Status prüfen"_s, CaptionTag::CheckServerStatus,
                                  u"status"_s, box);
    edUUID = readOnlyField(box);
    edSecret = readOnlyField(box);

    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(12, 10, 12, 12);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(8);
    auto* links = new QHBoxLayout;
    links->setSpacing(10);
    links->addWidget(btnReg);
    links->addWidget(btnCheck);
    links->addStretch();
    grid->addLayout(links, 0, 0, 1, 2);
    grid->addWidget(taggedLabel(u"UUID"_s, CaptionTag::Uuid, box), 1, 0);
    grid->addWidget(edUUID, 1, 1);
    grid->addWidget(taggedLabel(u"Secret"_s, CaptionTag::Secret, box), 2, 0);
    grid->addWidget(edSecret, 2, 1);
    return box;
}

QGroupBox* SettingsDialog::buildHomeKitBox()
{
    auto* box = new QGroupBox(u"Apple HomeKit"_s, this);
    setTag(box, CaptionTag::HomeKitBox);
    edPin = readOnlyField(box);
    edPin->setText(QString::fromUtf16(HomeKitPin));
    edPin->setMaximumWidth(120);

    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(12, 10, 12, 12);
    row->setSpacing(14);
    row->addWidget(taggedLabel(u"PIN"_s, CaptionTag::Pin, box));
    row->addWidget(edPin);
    row->addStretch();
    return box;
}

QWidget* SettingsDialog::buildButtonRow()
{
    auto* row = new QWidget(this);
    btnSave = DialogLook::saveButton(row);
    btnCancel = DialogLook::cancelButton(row);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addStretch();
    layout->addWidget(btnSave);
    layout->addWidget(btnCancel);
    return row;
}

void SettingsDialog::Execute()
{
    FormShow();
    DialogLook::centre(this);
    exec();
}

// The stored values every time, also after an earlier cancel: the dialog has no defaults of its own.
void SettingsDialog::FormShow()
{
    const OpenHabGenerator& openHab = m_program.openHab;
    edAdr->setText(openHab.serverIP);
    edPort->setText(openHab.serverPort);
    edPass->setText(openHab.serverPass);
    edRescan->setText(openHab.serverRescan);
    edUUID->setText(openHab.uuid);
    edSecret->setText(openHab.secret);
    tsSetTime->setChecked(openHab.settime);
    tsHMAC->setChecked(openHab.hmac);
    FillLanguage(this, m_program.language);
    setWindowTitle(findChild<QLabel*>(QStringLiteral("title"))->text());
    edAdr->setFocus();
}

bool SettingsDialog::CheckInput()
{
    // openHAB cannot reach a bus server on a port outside the TCP range.
    const int port = wholeNumber(edPort->text(), 0);
    if (port < 1 || port > 65535) {
        m_program.prompts.error(m_program.language.GetMsg(Msg::InvalidPort));
        return false;
    }
    if (wholeNumber(edPass->text(), 0) == 0) {
        m_program.prompts.error(m_program.language.GetMsg(Msg::InvalidPassword));
        return false;
    }
    if (wholeNumber(edRescan->text(), -1) < 0) {
        m_program.prompts.error(m_program.language.GetMsg(Msg::InvalidPollSeconds));
        return false;
    }
    return true;
}

void SettingsDialog::Save()
{
    if (!CheckInput())
        return;
    OpenHabGenerator& openHab = m_program.openHab;
    openHab.serverIP = edAdr->text();
    openHab.serverPort = edPort->text();
    openHab.serverPass = edPass->text();
    openHab.serverRescan = edRescan->text();
    openHab.uuid = edUUID->text();
    openHab.secret = edSecret->text();
    openHab.hmac = tsHMAC->isChecked();
    openHab.settime = tsSetTime->isChecked();
    // The gateway has to restart openHAB to take new bus-server settings; the next send asks it to.
    openHab.reboot = true;

    const FileErrors errors = openHab.SaveCfg();
    for (const FileError& error : errors)
        m_program.prompts.error(error.text(m_program.language));
    // A file that was not written stays as it was: the dialog stays open, so the user can try again.
    if (!errors.isEmpty())
        return;
    if (openHab.settime)
        m_program.prompts.information(m_program.language.GetMsg(Msg::TimeSyncHint));
    accept();
}
