#include "functioneditor.h"

#include "devicebox.h"
#include "dialoglook.h"
#include "filllanguage.h"
#include "functionbustools.h"
#include "groupeditor.h"
#include "headerband.h"
#include "program.h"
#include "style.h"
#include "toggleswitch.h"

#include "bus/busaddress.h"
#include "link/busdevice.h"
#include "model/captions.h"
#include "model/captiontags.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhab/functioncheck.h"
#include "openhab/openhabgenerator.h"
#include "workspace/prompts.h"
#include "workspace/workspace.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>
#include <utility>

namespace {

// The kind buttons, left to right.
struct KindButton
{
    int kind;
    Msg hint;
};
constexpr KindButton kindButtons[] = {
    {FunctionEntry::Switch, Msg::LightHint},
    {FunctionEntry::Dimmer, Msg::DimmerHint},
    {FunctionEntry::Automation, Msg::BlindHint},
    {FunctionEntry::GroupScene, Msg::GroupSceneHint},
    {FunctionEntry::ScenarioModule, Msg::ScenarioHint},
    {FunctionEntry::CenScene, Msg::CenHint},
};

// The address kinds in the order of AddressKind, each followed by its short form.
constexpr Msg addressKinds[] = {Msg::PointToPoint, Msg::Area, Msg::Group, Msg::General};
constexpr QStringView addressKindSuffixes[] = {u" (A.PL)", u" (AMB)", u" (GR)", u" (GEN)"};
constexpr int pointToPoint = 0;
constexpr int area = 1;
constexpr int busGroup = 2;
constexpr int general = 3;

constexpr Msg cenVariants[] = {Msg::CenStandard, Msg::CenPlusShort, Msg::CenPlusLong};
constexpr int localBuses = 9;

// The example voice command by kind.
constexpr Msg voiceCommands[] = {Msg::AlexaSwitchExample, Msg::AlexaDimExample,   Msg::AlexaBlindExample,
                                 Msg::AlexaSceneExample,  Msg::AlexaSceneExample, Msg::AlexaSwitchExample};
constexpr Msg siriCommand = Msg::SiriSwitchExample;

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// One pair of quotes around the command, whether the catalogue's text kept its own or lost them to
// the INI reading.
QString withOneQuotePair(QString text)
{
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    return quoted(text);
}

// A group's entry shows its label and keeps its item name, which the rows store.
void addGroupEntry(QListWidget* list, const QString& name, const GroupLabels& labels)
{
    auto* entry = new QListWidgetItem(GroupLabel(labels, name), list);
    entry->setData(Qt::UserRole, name);
    entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
    entry->setCheckState(Qt::Unchecked);
}

QString groupName(const QListWidgetItem* entry)
{
    return entry->data(Qt::UserRole).toString();
}

QGroupBox* groupBox(const QString& title, int tag, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    setTag(box, tag);
    return box;
}

ToggleSwitch* toggle(int tag, const QString& off, const QString& on, QWidget* parent)
{
    auto* result = new ToggleSwitch(parent);
    result->setOffCaption(off);
    result->setOnCaption(on);
    result->setColours(Style::text(), Style::accent());
    setTag(result, tag);
    return result;
}

} // namespace

FunctionEditor::FunctionEditor(Program& program, QWidget* parent) : QDialog(parent), m_program(program)
{
    DialogLook::setUp(this, {940, 535});

    auto* header = new HeaderBand(QStringLiteral("function"), QStringLiteral("Neue Funktion"),
                                  CaptionTag::NewFunction, this);
    lblTitle = header->titleLabel();

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(8);
    left->addWidget(buildLabelBox());
    left->addWidget(buildVoiceBox());
    left->addWidget(buildAddressBox());
    left->addWidget(buildSceneBox());
    left->addStretch();

    // The four picture boxes share one place; at most one of them is shown.
    gbAkt = new DeviceBox(QStringLiteral("device-actuator"), this);
    gbDimmer = new DeviceBox(QStringLiteral("device-dimmer"), this);
    gbMH = new DeviceBox(QStringLiteral("device-controller"), this);
    gbScene = new DeviceBox(QStringLiteral("device-scenario"), this);
    auto* pictures = new QVBoxLayout;
    pictures->setContentsMargins(0, 0, 0, 0);
    for (DeviceBox* box : {gbAkt, gbDimmer, gbMH, gbScene})
        pictures->addWidget(box);

    // Fixed column widths keep every box in its place whichever of them the kind shows.
    auto* columns = new QHBoxLayout;
    columns->setSpacing(12);
    for (auto [content, width] : {std::pair<QLayout*, int>{left, 374}, {pictures, 218}}) {
        auto* column = new QWidget(this);
        column->setFixedWidth(width);
        column->setLayout(content);
        columns->addWidget(column);
    }
    columns->addWidget(buildMembershipBox());
    columns->addStretch();

    btnSave = DialogLook::saveButton(this);
    btnClose = DialogLook::cancelButton(this);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(btnSave);
    closing->addWidget(btnClose);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(14, 8, 14, 12);
    body->setSpacing(8);
    body->addWidget(buildKindBox());
    body->addLayout(columns, 1);
    body->addSpacing(2);
    body->addLayout(closing);
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(header);
    window->addLayout(body, 1);

    FillAddressLists();

    connect(edBez, &QLineEdit::textChanged, this, &FunctionEditor::UpdateVoiceHint);
    // One handler for clicks, key presses and the program's own changes of the switches.
    connect(tsSprache, &ToggleSwitch::toggled, this, &FunctionEditor::UpdateVoiceHint);
    connect(tsHome, &ToggleSwitch::toggled, this, &FunctionEditor::UpdateVoiceHint);
    connect(cbAdrArt, &QComboBox::currentIndexChanged, this, &FunctionEditor::cbAdrArtChange);
    connect(cbSzene, &QComboBox::currentIndexChanged, this, &FunctionEditor::cbSzeneChange);
    connect(btnGroups, &QPushButton::clicked, this, &FunctionEditor::btnGroupsClick);
    connect(btnSave, &QPushButton::clicked, this, &FunctionEditor::btnSaveClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_kinds, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            emit kindChanged();
    });
    connect(edAdresse, &QLineEdit::textChanged, this, &FunctionEditor::addressChanged);
    connect(edCENKey, &QLineEdit::textChanged, this, &FunctionEditor::addressChanged);
    for (QComboBox* list : {cbAdrArt, cbBus, cbCEN})
        connect(list, &QComboBox::currentIndexChanged, this, &FunctionEditor::addressChanged);
    busTools = new FunctionBusTools(program, *this, this);
    closing->insertWidget(0, busTools, 1);
    connect(this, &QDialog::finished, busTools, &FunctionBusTools::reset);
    setTabOrders();
}

QWidget* FunctionEditor::buildKindBox()
{
    gbArt = groupBox(QStringLiteral("Was soll geschaltet werden?"), CaptionTag::KindBox, this);
    m_kinds = new QButtonGroup(this);
    m_kinds->setExclusive(true);
    auto* row = new QHBoxLayout(gbArt);
    row->setContentsMargins(10, 6, 10, 8);
    row->setSpacing(8);
    for (const KindButton& design : kindButtons) {
        auto* button = new QToolButton(gbArt);
        button->setText(Captions::KindButtons[design.kind].german.toString());
        button->setIcon(Style::icon(Style::kindPicture(design.kind), Style::text(), {24, 24}));
        button->setIconSize({24, 24});
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setCursor(Qt::PointingHandCursor);
        setTag(button, Captions::KindButtons[design.kind].tag);
        m_kinds->addButton(button, design.kind);
        row->addWidget(button);
    }
    btnSchalter = static_cast<QToolButton*>(m_kinds->button(FunctionEntry::Switch));
    btnDimmer = static_cast<QToolButton*>(m_kinds->button(FunctionEntry::Dimmer));
    btnAutomation = static_cast<QToolButton*>(m_kinds->button(FunctionEntry::Automation));
    btnGruppe = static_cast<QToolButton*>(m_kinds->button(FunctionEntry::GroupScene));
    btnSzenario = static_cast<QToolButton*>(m_kinds->button(FunctionEntry::ScenarioModule));
    btnCEN = static_cast<QToolButton*>(m_kinds->button(FunctionEntry::CenScene));
    btnSchalter->setChecked(true);
    connect(m_kinds, &QButtonGroup::idClicked, this, &FunctionEditor::btnArtClick);
    return gbArt;
}

QWidget* FunctionEditor::buildLabelBox()
{
    gbBez = groupBox(QStringLiteral("Bezeichnung (für App und Sprachsteuerung)"), CaptionTag::LabelBox, this);
    edBez = new QLineEdit(QStringLiteral("Bezeichnung"), gbBez);
    auto* column = new QVBoxLayout(gbBez);
    column->setContentsMargins(10, 4, 10, 8);
    column->addWidget(edBez);
    return gbBez;
}

QWidget* FunctionEditor::buildVoiceBox()
{
    gbAlexa = groupBox(QStringLiteral("Sprachsteuerung"), CaptionTag::VoiceBox, this);
    tsSprache = toggle(CaptionTag::VoiceToggle, QStringLiteral("Nein"), QStringLiteral("Ja"), gbAlexa);
    tsSprache->setChecked(true);
    lblHome = new QLabel(Vocabulary::HomeVoice.toString() + u':', gbAlexa);
    tsHome = toggle(CaptionTag::HomeToggle, QStringLiteral("Nein"), QStringLiteral("Ja"), gbAlexa);
    lblAlexaAuto = new QLabel(gbAlexa);
    lblAlexaAuto->setWordWrap(true);
    QFont italic = lblAlexaAuto->font();
    italic.setItalic(true);
    lblAlexaAuto->setFont(italic);
    // The example keeps three lines of room whether it is shown or how long the label is, so that
    // the boxes below it never move while the user types or switches voice control.
    lblAlexaAuto->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAlexaAuto->setFixedHeight(3 * QFontMetrics(italic).lineSpacing());
    QSizePolicy keepRoom = lblAlexaAuto->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    lblAlexaAuto->setSizePolicy(keepRoom);

    auto* switches = new QHBoxLayout;
    switches->setSpacing(10);
    switches->addWidget(tsSprache);
    switches->addSpacing(16);
    switches->addWidget(lblHome);
    switches->addWidget(tsHome);
    switches->addStretch();
    auto* column = new QVBoxLayout(gbAlexa);
    column->setContentsMargins(10, 4, 10, 8);
    column->setSpacing(4);
    column->addLayout(switches);
    column->addWidget(lblAlexaAuto);
    return gbAlexa;
}

QWidget* FunctionEditor::buildAddressBox()
{
    gbAdr = groupBox(QStringLiteral("BTicino-Adressierung"), CaptionTag::AddressBox, this);
    cbAdrArt = new QComboBox(gbAdr);
    edAdresse = new QLineEdit(QStringLiteral("0.0"), gbAdr);
    edAdresse->setFixedWidth(90);
    lblCENKey = new QLabel(QStringLiteral("Taste"), gbAdr);
    setTag(lblCENKey, CaptionTag::Key);
    edCENKey = new QLineEdit(QStringLiteral("1"), gbAdr);
    edCENKey->setFixedWidth(60);
    lblCENKey->setBuddy(edCENKey);
    cbBus = new QComboBox(gbAdr);
    cbCEN = new QComboBox(gbAdr);

    auto* address = new QHBoxLayout;
    address->addWidget(cbAdrArt, 1);
    address->addWidget(edAdresse);
    auto* key = new QHBoxLayout;
    key->addWidget(cbCEN, 1);
    key->addStretch();
    key->addWidget(lblCENKey);
    key->addWidget(edCENKey);
    auto* column = new QVBoxLayout(gbAdr);
    column->setContentsMargins(10, 4, 10, 8);
    column->setSpacing(6);
    column->addLayout(address);
    column->addWidget(cbBus);
    column->addLayout(key);
    return gbAdr;
}

QWidget* FunctionEditor::buildSceneBox()
{
    gbSzene = groupBox(QStringLiteral("Individuelle Szene"), CaptionTag::GroupSceneKind, this);
    cbSzene = new QComboBox(gbSzene);
    tsReverse = toggle(CaptionTag::ReverseToggle,
                       QStringLiteral("Jalousie-Schaltung normal (\"ein\" ist hochfahren)"),
                       QStringLiteral("Jalousie-Schaltung umkehren (\"ein\" ist herunterfahren)"), gbSzene);
    tsReverse->setToolTip(QStringLiteral(
        "Bei Aktivierung werden die Jalousien bei Befehl \"ein\" heruntergefahren bzw. umgekehrt"));
    auto* column = new QVBoxLayout(gbSzene);
    column->setContentsMargins(10, 4, 10, 8);
    column->setSpacing(8);
    column->addWidget(cbSzene);
    column->addWidget(tsReverse);
    gbSzene->hide();
    return gbSzene;
}

QWidget* FunctionEditor::buildMembershipBox()
{
    gbSzenen = groupBox(QStringLiteral("Zugehörigkeit für individuelle Szene"),
                        CaptionTag::SceneMembershipBox, this);
    gbSzenen->setFixedWidth(296);
    lbGruppe = new QListWidget(gbSzenen);
    btnGroups = DialogLook::button(QStringLiteral("Schaltgruppen bearbeiten"), CaptionTag::EditGroups,
                                   QStringLiteral("groups"), gbSzenen);
    auto* column = new QVBoxLayout(gbSzenen);
    column->setContentsMargins(10, 4, 10, 10);
    column->setSpacing(8);
    column->addWidget(lbGruppe, 1);
    column->addWidget(btnGroups);
    return gbSzenen;
}

// Reading order: the kinds above, the boxes from top to bottom and left to right, then the bottom
// row from the bus tools on the left to Speichern and Abbrechen on the right.
void FunctionEditor::setTabOrders()
{
    const QList<QWidget*> order = {btnSchalter,
                                   btnDimmer,
                                   btnAutomation,
                                   btnGruppe,
                                   btnSzenario,
                                   btnCEN,
                                   edBez,
                                   tsSprache,
                                   tsHome,
                                   cbAdrArt,
                                   edAdresse,
                                   cbBus,
                                   cbCEN,
                                   edCENKey,
                                   cbSzene,
                                   tsReverse,
                                   lbGruppe,
                                   btnGroups,
                                   busTools->btnTest,
                                   busTools->btnLearn,
                                   btnSave,
                                   btnClose};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

int FunctionEditor::kind() const
{
    return m_kinds->checkedId();
}

FunctionEditor::Typed FunctionEditor::typed() const
{
    Typed typed;
    FunctionEntry& row = typed.row;
    row.kind = kind();
    row.label = edBez->text();
    row.address = edAdresse->text();
    row.key = edCENKey->text();
    row.bus = cbBus->currentIndex();
    row.cen = cbCEN->currentIndex();
    if (row.kind == FunctionEntry::GroupScene && cbSzene->currentIndex() >= 0) {
        row.groups = cbSzene->currentIndex() == 0 ? Vocabulary::StopAllBlinds.toString()
                                                  : cbSzene->currentData().toString();
        row.reverse = tsReverse->isChecked();
    }
    typed.addressKind = AddressKind(cbAdrArt->currentIndex());
    return typed;
}

void FunctionEditor::showDevice(const BusDevice& device)
{
    if (device.kind == FunctionEntry::Dimmer)
        btnDimmer->click();
    const BusAddress::Form edit = BusAddress::editForm(device.address, device.kind);
    const int kindAt = int(edit.kind);
    cbAdrArt->setCurrentIndex(kindAt < cbAdrArt->count() ? kindAt : 0);
    edAdresse->setText(edit.text);
    cbBus->setCurrentIndex(device.bus);
    if (device.kind == FunctionEntry::CenScene || device.kind == FunctionEntry::ScenarioModule)
        edCENKey->setText(device.key);
    if (device.kind == FunctionEntry::CenScene)
        cbCEN->setCurrentIndex(device.cen);
}

void FunctionEditor::pressKind(int iType)
{
    if (QAbstractButton* button = m_kinds->button(iType))
        button->setChecked(true);
}

void FunctionEditor::DoAdd(FunctionList& lv)
{
    lvItems = &lv;
    liEdit = -1;
    // A new function starts as the editor's first use does, never from what the last edit left in
    // the window: a light or switch, reachable by voice.
    pressKind(FunctionEntry::Switch);
    tsReverse->setChecked(false);
    tsSprache->setChecked(true);
    tsHome->setChecked(false);
    edBez->clear();
    edAdresse->setText(QStringLiteral("0.0"));
    edCENKey->clear();
    FillGroupList();
    FillSceneList();
    FillAddressLists();
    cbAdrArt->setCurrentIndex(cbAdrArt->count() > 0 ? 0 : -1);
    cbAdrArtChange();
    cbBus->setCurrentIndex(0);
    cbCEN->setCurrentIndex(0);
    m_title = m_program.language.GetMsg(Msg::NewFunction);
    exec();
}

void FunctionEditor::DoEdit(int row, FunctionList& lv)
{
    lvItems = &lv;
    liEdit = row;
    const FunctionEntry& v = lv.at(row);
    pressKind(v.kind);
    FillGroupList();
    FillSceneList();
    if (v.kind == FunctionEntry::GroupScene) {
        if (v.groups == Vocabulary::StopAllBlinds)
            cbSzene->setCurrentIndex(0);
        else
            selectSceneGroup(v.groups);
    }
    MarkRowGroups();
    tsReverse->setChecked(v.reverse);
    cbSzeneChange();
    edBez->setText(v.label);

    FillAddressLists();
    const FunctionCheck::Input edited = FunctionCheck::EditedAddress(v.address, v.kind);
    edAdresse->setText(edited.address);
    const int kindAt = int(edited.addressKind);
    cbAdrArt->setCurrentIndex(kindAt < cbAdrArt->count() ? kindAt : 0);
    cbAdrArtChange();

    cbBus->setCurrentIndex(v.bus >= 0 && v.bus < cbBus->count() ? v.bus : 0);
    cbCEN->setCurrentIndex(v.cen >= 0 && v.cen < cbCEN->count() ? v.cen : 0);
    edCENKey->setText(v.key);
    tsSprache->setChecked(v.voiceOn());
    tsHome->setChecked(v.homeVoice());
    m_title = m_program.language.GetMsg(Msg::EditFunction);
    exec();
}

void FunctionEditor::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void FunctionEditor::FormShow()
{
    const bool scenarios = m_program.workspace && m_program.workspace->scenarioEnabled();
    btnSzenario->setVisible(scenarios);
    btnCEN->setVisible(scenarios);

    FillLanguage(this, m_program.language);
    lblTitle->setText(m_title);
    setWindowTitle(m_title);

    for (const KindButton& design : kindButtons)
        m_kinds->button(design.kind)->setToolTip(m_program.language.GetMsg(design.hint));
    tsSprache->setToolTip(m_program.language.GetMsg(Msg::VoiceHint));
    tsHome->setToolTip(m_program.language.GetMsg(Msg::BlindVoiceHint));

    ApplyKind();
    DialogLook::centre(this);
    edBez->setFocus();
}

void FunctionEditor::btnArtClick()
{
    ApplyKind();
}

void FunctionEditor::ApplyKind()
{
    const int iType = kind();
    const bool keyDriven = iType == FunctionEntry::CenScene || iType == FunctionEntry::ScenarioModule;
    lblCENKey->setVisible(keyDriven);
    edCENKey->setVisible(keyDriven);
    cbCEN->setVisible(iType == FunctionEntry::CenScene);
    gbSzenen->setVisible(iType != FunctionEntry::GroupScene);
    gbSzene->setVisible(iType == FunctionEntry::GroupScene);
    gbAdr->setVisible(iType != FunctionEntry::GroupScene);

    FillAddressLists();
    UpdateVoiceHint();

    gbScene->setVisible(iType == FunctionEntry::ScenarioModule);
    gbScene->setCaption(m_program.language.GetMsg(Msg::ScenarioExample));
    gbMH->setVisible(iType == FunctionEntry::CenScene);
    gbMH->setCaption(m_program.language.GetMsg(Msg::CenExample));
    gbDimmer->setVisible(iType == FunctionEntry::Dimmer);
    gbDimmer->setCaption(m_program.language.GetMsg(Msg::DimmerExample));
    gbAkt->setVisible(iType == FunctionEntry::Switch || iType == FunctionEntry::Automation);
    gbAkt->setCaption(m_program.language.GetMsg(Msg::LightExample));
}

void FunctionEditor::FillAddressLists()
{
    const int adrArt = cbAdrArt->currentIndex();
    const int bus = cbBus->currentIndex();
    const int cen = cbCEN->currentIndex();
    const int iType = kind();

    {
        // The list is rebuilt in steps; only the final selection counts.
        const QSignalBlocker quiet(cbAdrArt);
        cbAdrArt->clear();
        const int entries = iType == FunctionEntry::GroupScene ? 0
                            : iType == FunctionEntry::CenScene || iType == FunctionEntry::ScenarioModule
                                ? 1
                                : int(std::size(addressKinds));
        for (int entry = 0; entry < entries; ++entry)
            cbAdrArt->addItem(m_program.language.GetMsg(addressKinds[entry]) +
                              addressKindSuffixes[entry].toString());
        if (iType == FunctionEntry::GroupScene)
            return;
        cbAdrArt->setCurrentIndex(adrArt >= 0 && adrArt < entries ? adrArt : 0);
    }
    cbAdrArtChange();

    cbBus->clear();
    cbBus->addItem(m_program.language.GetMsg(Msg::PrivateRiser));
    for (int n = 1; n <= localBuses; ++n)
        cbBus->addItem(m_program.language.GetMsg(Msg::LocalBus) + QLatin1Char(' ') + QString::number(n));
    cbBus->setCurrentIndex(bus >= 0 ? bus : 0);

    cbCEN->clear();
    for (const Msg variant : cenVariants)
        cbCEN->addItem(m_program.language.GetMsg(variant));
    cbCEN->setCurrentIndex(cen >= 0 ? cen : 0);
}

void FunctionEditor::cbAdrArtChange()
{
    const int adrArt = cbAdrArt->currentIndex();
    edAdresse->setVisible(adrArt != general);
    if (adrArt == pointToPoint && edAdresse->text() == QStringLiteral("0"))
        edAdresse->setText(QStringLiteral("0.0"));
    else if ((adrArt == area || adrArt == busGroup) && edAdresse->text() == QStringLiteral("0.0"))
        edAdresse->setText(QStringLiteral("0"));
}

void FunctionEditor::FillGroupList()
{
    lbGruppe->clear();
    for (const QString& name : std::as_const(m_program.openHab.slGroups))
        addGroupEntry(lbGruppe, name, m_program.openHab.groupLabels);
}

void FunctionEditor::FillSceneList()
{
    czSTOP = m_program.language.GetMsg(Msg::StopAllBlinds);
    const QSignalBlocker quiet(cbSzene);
    cbSzene->clear();
    cbSzene->addItem(czSTOP);
    for (int entry = 0; entry < lbGruppe->count(); ++entry)
        cbSzene->addItem(lbGruppe->item(entry)->text(), groupName(lbGruppe->item(entry)));
    cbSzene->setCurrentIndex(0);
    cbSzeneChange();
}

void FunctionEditor::cbSzeneChange()
{
    tsReverse->setVisible(cbSzene->currentIndex() > 0);
}

// Membership and the rules compare group names exactly, so a scene keeps the very group it names
// even beside one apart only in letter case; letter case is ignored only when no group is spelled
// exactly so. No selection when there is no such group at all.
void FunctionEditor::selectSceneGroup(const QString& name)
{
    int found = -1;
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int entry = 1; entry < cbSzene->count() && found < 0; ++entry) {
            if (cbSzene->itemData(entry).toString().compare(name, cs) == 0)
                found = entry;
        }
    }
    cbSzene->setCurrentIndex(found);
}

void FunctionEditor::UpdateVoiceHint()
{
    const int iType = kind();
    lblAlexaAuto->setVisible(tsSprache->isChecked());
    const Msg command =
        iType == FunctionEntry::Automation && tsHome->isChecked() ? siriCommand : voiceCommands[iType];
    lblAlexaAuto->setText(withOneQuotePair(m_program.language.GetMsg(command, edBez->text())));
    // A label too long for the reserved lines is read whole in the tooltip.
    lblAlexaAuto->setToolTip(lblAlexaAuto->text());
    const bool siriChoice = iType == FunctionEntry::Automation && tsSprache->isChecked();
    tsHome->setVisible(siriChoice);
    lblHome->setVisible(siriChoice);
}

void FunctionEditor::MarkRowGroups()
{
    if (!lvItems || liEdit < 0 || liEdit >= lvItems->count())
        return;
    // A group listed twice is checked as often as the row names it: checking every entry of that
    // name would add it to the row a second time on saving. The row names its groups in list order,
    // so each name is looked for behind the one before it first.
    const QStringList names = EditorGroupNames(lvItems->at(liEdit).groups);
    int from = 0;
    for (const QString& name : names) {
        int entry = groupEntry(name, from);
        if (entry < 0)
            entry = groupEntry(name, 0);
        if (entry >= 0) {
            lbGruppe->item(entry)->setCheckState(Qt::Checked);
            from = entry + 1;
        }
    }
}

// The first entry from position from on that is spelled exactly name, or -1.
int FunctionEditor::groupEntry(const QString& name, int from) const
{
    for (int entry = from; entry < lbGruppe->count(); ++entry) {
        if (groupName(lbGruppe->item(entry)) == name)
            return entry;
    }
    return -1;
}

void FunctionEditor::btnGroupsClick()
{
    if (!m_program.groupEditor || !lvItems)
        return;
    const int sceneEntry = cbSzene->currentIndex();
    const QString sceneGroup = cbSzene->currentData().toString();
    m_program.groupEditor->DoEdit(*lvItems);

    // Names apart only in letter case are different groups: a new "keller" beside "Keller" is
    // offered, and an entry renamed in letter case only does not live on under its old spelling.
    const QStringList& groups = m_program.openHab.slGroups;
    const GroupLabels& labels = m_program.openHab.groupLabels;
    for (const QString& name : groups) {
        if (groupEntry(name, 0) < 0)
            addGroupEntry(lbGruppe, name, labels);
    }
    for (int entry = lbGruppe->count() - 1; entry >= 0; --entry) {
        const QString name = groupName(lbGruppe->item(entry));
        if (groups.contains(name))
            lbGruppe->item(entry)->setText(GroupLabel(labels, name));
        else
            delete lbGruppe->takeItem(entry);
    }
    MarkRowGroups();
    FillSceneList();
    // The scene keeps switching the group it switched, as long as that group is still there; a
    // group that went leaves the choice to the user rather than falling back to stopping all blinds.
    if (sceneEntry > 0)
        selectSceneGroup(sceneGroup);
}

QString FunctionEditor::ValidateInput(int iType)
{
    FunctionCheck::Input input{iType,
                               edBez->text(),
                               edAdresse->text(),
                               edCENKey->text(),
                               AddressKind(cbAdrArt->currentIndex()),
                               cbSzene->currentIndex() >= 0};
    const std::optional<Problem> problem = FunctionCheck::Validate(input);
    const QString error = problem ? problem->text(m_program.language) : QString();
    if (iType != FunctionEntry::GroupScene) {
        edCENKey->setText(input.key);
        if (error.isEmpty())
            edAdresse->setText(input.address);
    }
    return error;
}

QString FunctionEditor::checkedGroups() const
{
    QStringList names;
    for (int entry = 0; entry < lbGruppe->count(); ++entry) {
        if (lbGruppe->item(entry)->checkState() == Qt::Checked)
            names << groupName(lbGruppe->item(entry));
    }
    return names.join(GroupSeparator);
}

void FunctionEditor::btnSaveClick()
{
    const int iType = kind();
    const QString error = ValidateInput(iType);
    if (!error.isEmpty()) {
        m_program.prompts.error(error);
        return;
    }

    QString sGroups;
    if (iType == FunctionEntry::GroupScene)
        sGroups = cbSzene->currentIndex() == 0 ? Vocabulary::StopAllBlinds.toString()
                                               : cbSzene->currentData().toString();
    else
        sGroups = checkedGroups();

    using Voice = FunctionEntry::Voice;
    Voice voice = Voice::None;
    if (tsSprache->isChecked() && iType == FunctionEntry::Automation)
        voice = tsHome->isChecked() ? Voice::Home : Voice::Alexa;
    else if (tsSprache->isChecked())
        voice = Voice::On;

    // The alias follows from the row's place, given to all rows below.
    FunctionEntry row = FunctionEntry{.label = edBez->text(),
                                      .address = edAdresse->text(),
                                      .groups = sGroups,
                                      .key = edCENKey->text(),
                                      .kind = iType,
                                      .bus = cbBus->currentIndex(),
                                      .cen = cbCEN->currentIndex(),
                                      .voice = voice,
                                      .reverse = tsReverse->isChecked()}
                            .normalized();
    if (liEdit >= 0 && liEdit < lvItems->count()) {
        // An edited row keeps its mark for deletion.
        row.checked = lvItems->at(liEdit).checked;
        lvItems->replace(liEdit, row);
    } else {
        lvItems->append(row);
    }

    Vocabulary::RenumberAliases(*lvItems);
    SaveItems(*lvItems);
    accept();
}

void FunctionEditor::SaveItems(const FunctionList& lv)
{
    for (const FileError& failure : m_program.openHab.SaveItems(lv.entries()))
        m_program.prompts.error(failure.text(m_program.language));
}
