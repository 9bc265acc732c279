#include "mainwindow.h"

#include "busdialogs.h"
#include "filllanguage.h"
#include "functioneditor.h"
#include "functionlistview.h"
#include "model/captions.h"
#include "model/captiontags.h"
#include "model/csvexport.h"
#include "model/datetext.h"
#include "model/fileerror.h"
#include "model/language.h"
#include "newprojectdialog.h"
#include "openhab/csvimport.h"
#include "openhab/openhabgenerator.h"
#include "program.h"
#include "settingsdialog.h"
#include "style.h"
#include "toggleswitch.h"
#include "transferdialog.h"
#include "varunoversion.h"
#include "workspace/csvimportrun.h"
#include "workspace/itemssave.h"
#include "workspace/openhab5run.h"
#include "workspace/projectbackups.h"
#include "workspace/prompts.h"
#include "workspace/qttranslations.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

constexpr int panelWidth = 226;
constexpr QSize clientSize{914, 574};

const QString sideButtonStyle =
    QStringLiteral("QPushButton { background: transparent; color: white; border: none; text-align: left;"
                   "  padding-left: 20px; }"
                   "QPushButton:hover { background: %1; }"
                   "QPushButton:pressed { background: %2; }"
                   "QPushButton:disabled { color: rgba(255, 255, 255, 120); }");

const QString listButtonStyle = QStringLiteral(
    "QPushButton { background: #f5f5f5; color: %1; border: 1px solid #e2e2e2; border-radius: 3px; }"
    "QPushButton:hover { background: #fdeee6; border-color: %2; }"
    "QPushButton:pressed { background: #fbdccb; }"
    "QPushButton:disabled { color: #aaaaaa; }");

QLabel* whiteLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(colours);
    return label;
}

QFrame* whiteStrip(QWidget* parent)
{
    auto* strip = new QFrame(parent);
    strip->setFixedSize(panelWidth, 10);
    strip->setAutoFillBackground(true);
    QPalette colours = strip->palette();
    colours.setColor(QPalette::Window, Qt::white);
    strip->setPalette(colours);
    return strip;
}

void fillBackground(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, colour);
    widget->setPalette(colours);
}

} // namespace

MainWindow::MainWindow(Program& program, const QString& programDir, QWidget* parent)
    : QWidget(parent), m_program(program)
{
    m_program.mainWindow = this;
    setTag(this, CaptionTag::Untouched);
    setFont(Style::bodyFont(15));
    fillBackground(this, Qt::white);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildSidePanel());
    layout->addWidget(buildListArea(), 1);
    buildPopupMenu();
    addShortcuts();
    // Group view is on until settings.ini says otherwise when the window is shown.
    applyGroupView(true);
    setMinimumSize(clientSize);
    resize(clientSize);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // 1. Workspace start.
    m_workspace = new Workspace(programDir, m_program.openHab, m_program.language, this);
    m_program.workspace = m_workspace;
    connect(m_workspace, &Workspace::projectsChanged, this, &MainWindow::projectsChanged);
    projectsChanged();

    // 2. The toggle names the two languages when language.ini has exactly two.
    const QStringList languages = m_program.language.GetLanguages();
    if (languages.size() == 2) {
        tsLanguage->setOffCaption(languages.at(0));
        tsLanguage->setOnCaption(languages.at(1));
    }
    // 3. Any value but the first language's exact name chooses the second: switching the toggle on
    // runs the language switch as a click does.
    connect(tsLanguage, &QAbstractButton::toggled, this, &MainWindow::languageChanged);
    tsLanguage->setChecked(m_workspace->inif().language() != tsLanguage->offCaption());

    // 4., 5.
    UpdateProjectButtons();
    lblVersion->setText(GetVersionString());
    updateTitle();
}

// The list view reads the function list up to its end, and the list, a member, goes before the
// window's children would: so the view goes first.
MainWindow::~MainWindow()
{
    delete lvItems;
}

QWidget* MainWindow::buildSidePanel()
{
    auto* panel = new QWidget(this);
    panel->setFixedWidth(panelWidth);
    fillBackground(panel, Style::accent());
    panel->setStyleSheet(
        sideButtonStyle.arg(Style::accentDark().name(), Style::accentDark().darker(115).name()));

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 8, 0, 6);
    column->setSpacing(0);

    column->addWidget(whiteStrip(panel));
    auto* brand = new QHBoxLayout;
    brand->setContentsMargins(20, 0, 12, 0);
    brand->setSpacing(8);
    auto* brandName = whiteLabel(QStringLiteral("Varuno"), Style::brandFont(27, false), panel);
    auto* brandProduct = whiteLabel(QStringLiteral("BUILDER"), Style::brandFont(15, true), panel);
    brand->addWidget(brandName, 0, Qt::AlignBottom);
    brand->addWidget(brandProduct, 0, Qt::AlignBottom);
    brand->addStretch();
    auto* brandBox = new QWidget(panel);
    brandBox->setFixedHeight(46);
    brandBox->setLayout(brand);
    column->addWidget(brandBox);
    column->addWidget(whiteStrip(panel));

    lblVersion = new QLabel(panel);
    lblVersion->hide();

    column->addSpacing(16);
    auto* projectCaption = whiteLabel(QStringLiteral("Projekt"), Style::bodyFont(15), panel);
    setTag(projectCaption, CaptionTag::Project);
    projectCaption->setContentsMargins(20, 0, 0, 4);
    column->addWidget(projectCaption);

    cbProj = new QComboBox(panel);
    cbProj->setEditable(false);
    cbProj->setView(new QListView(cbProj));
    cbProj->setMinimumHeight(30);
    cbProj->view()->setStyleSheet(QStringLiteral("QListView::item { min-height: 20px; }"));
    connect(cbProj, &QComboBox::activated, this, [this](int index) {
        // Picking the project that failed to open tries it again, once the user has mended it.
        if (index == m_workspace->selectedIndex() && m_workspace->isProjectOpen())
            return;
        m_workspace->selectProject(index);
        OpenSelectedProject();
    });
    auto* projectRow = new QHBoxLayout;
    projectRow->setContentsMargins(20, 0, 16, 0);
    projectRow->addWidget(cbProj);
    column->addLayout(projectRow);
    column->addSpacing(16);

    btnNewProject = addSideButton(panel, CaptionTag::NewProject, QStringLiteral("Neues Projekt"),
                                  QStringLiteral("project-new"));
    btnEditProject = addSideButton(panel, CaptionTag::EditProject, QStringLiteral("Projekt bearbeiten"),
                                   QStringLiteral("project-edit"));
    btnSettings = addSideButton(panel, CaptionTag::ServerSettings, QStringLiteral("Server-Einstellungen"),
                                QStringLiteral("settings"));
    btnReceive = addSideButton(panel, CaptionTag::ReceiveConfiguration,
                               QStringLiteral("Konfiguration empfangen"), QStringLiteral("receive"));
    btnSend = addSideButton(panel, CaptionTag::SendConfiguration, QStringLiteral("Konfiguration senden"),
                            QStringLiteral("send"));
    btnExit = addSideButton(panel, CaptionTag::ExitProgram, QStringLiteral("Programm beenden"),
                            QStringLiteral("exit"));
    for (QPushButton* button : {btnNewProject, btnEditProject, btnSettings, btnReceive, btnSend, btnExit})
        column->addWidget(button);
    connect(btnNewProject, &QPushButton::clicked, this, &MainWindow::newProject);
    connect(btnEditProject, &QPushButton::clicked, this, &MainWindow::editProject);
    connect(btnSettings, &QPushButton::clicked, this, [this] { m_program.settingsDialog->Execute(); });
    connect(btnReceive, &QPushButton::clicked, this, &MainWindow::receive);
    connect(btnSend, &QPushButton::clicked, this,
            [this] { m_program.transferDialog->DoTransfer(TransferMode::Send); });
    connect(btnExit, &QPushButton::clicked, this, &QWidget::close);

    column->addSpacing(14);
    tsLanguage = new ToggleSwitch(panel);
    tsLanguage->setOffCaption(QStringLiteral("Deutsch"));
    tsLanguage->setOnCaption(QStringLiteral("English"));
    tsLanguage->setColours(Qt::white, Qt::black);
    tsLanguage->setContentsMargins(0, 0, 0, 0);
    auto* toggleRow = new QHBoxLayout;
    toggleRow->setContentsMargins(20, 0, 16, 0);
    toggleRow->addWidget(tsLanguage);
    toggleRow->addStretch();
    column->addLayout(toggleRow);

    column->addStretch();
    auto* productLine = whiteLabel(QStringLiteral("openHAB für BTicino MyHome"), Style::bodyFont(11), panel);
    setTag(productLine, CaptionTag::ProductName);
    productLine->setAlignment(Qt::AlignCenter);
    column->addWidget(productLine);
    return panel;
}

QPushButton* MainWindow::addSideButton(QWidget* panel, int tag, const QString& caption,
                                       const QString& picture)
{
    auto* button = new QPushButton(caption, panel);
    setTag(button, tag);
    button->setFixedSize(panelWidth, 57);
    button->setIcon(Style::icon(picture, Qt::white, {26, 26}));
    button->setIconSize({26, 26});
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(Style::bodyFont(15));
    return button;
}

QWidget* MainWindow::buildListArea()
{
    auto* area = new QWidget(this);
    fillBackground(area, Qt::white);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);

    lvItems = new FunctionListView(m_items, area);
    setTag(lvItems, Captions::FunctionListTag);
    // The alias column is hidden and never translated.
    const Caption noCaption{0, -1, {}};
    const Caption captions[] = {Captions::LabelColumn,
                                Captions::AddressColumn,
                                Captions::VoiceColumn,
                                Captions::GroupsColumn,
                                noCaption,
                                Captions::KeyColumn};
    static_assert(std::size(captions) == FunctionList::ColumnCount);
    QList<int> columnTags;
    for (const Caption& caption : captions)
        columnTags << caption.tag;
    setColumnTags(lvItems, columnTags);
    const int widths[] = {220, 70, 80, 250, 0, 50};
    for (int column = 0; column < FunctionList::ColumnCount; ++column) {
        m_items.setHeaderData(column, Qt::Horizontal, captions[column].german.toString());
        lvItems->header()->resizeSection(column, widths[column]);
    }
    // The label and the groups take what a larger window gives; the short columns keep their width.
    for (int column : {int(FunctionList::LabelColumn), int(FunctionList::GroupsColumn)})
        lvItems->header()->setSectionResizeMode(column, QHeaderView::Stretch);
    lvItems->setColumnHidden(FunctionList::AliasColumn, true);
    lvItems->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvItems, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmItems->popup(lvItems->viewport()->mapToGlobal(pos)); });
    connect(lvItems, &FunctionListView::rowDoubleClicked, this, &MainWindow::editItem);
    // The key does what the button does, and only when the button can be pressed.
    connect(lvItems, &FunctionListView::deleteRequested, this, [this] {
        if (!btnDelItems->isEnabled())
            return;
        if (m_items.hasChecked() || lvItems->selectedRow() < 0)
            deleteItems();
        else
            deleteSelected();
    });
    column->addWidget(lvItems, 1);

    const QString buttonStyle = listButtonStyle.arg(Style::text().name(), Style::accent().name());
    btnAddItem = new QPushButton(QStringLiteral("Funktion hinzufügen"), area);
    setTag(btnAddItem, CaptionTag::AddFunction);
    btnAddItem->setFixedSize(328, 50);
    btnAddItem->setIcon(Style::icon(QStringLiteral("add"), Style::accent(), {24, 24}));
    btnDelItems = new QPushButton(QStringLiteral("markierte Funktionen entfernen"), area);
    setTag(btnDelItems, CaptionTag::RemoveMarkedFunctions);
    btnDelItems->setFixedSize(330, 50);
    btnDelItems->setIcon(Style::icon(QStringLiteral("delete"), Style::accent(), {24, 24}));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnAddItem, btnDelItems}) {
        button->setIconSize({24, 24});
        button->setFlat(true);
        button->setStyleSheet(buttonStyle);
        button->setCursor(Qt::PointingHandCursor);
    }
    buttons->addWidget(btnAddItem);
    buttons->addStretch();
    buttons->addWidget(btnDelItems);
    column->addLayout(buttons);
    connect(btnAddItem, &QPushButton::clicked, this, [this] {
        if (PrepareItemsSave())
            m_program.functionEditor->DoAdd(m_items);
        recordChange();
    });
    connect(btnDelItems, &QPushButton::clicked, this, &MainWindow::deleteItems);
    return area;
}

void MainWindow::buildPopupMenu()
{
    pmItems = new QMenu(this);
    setTag(pmItems, CaptionTag::ExportCsv);
    const auto item = [this](int tag, const QString& caption, const QString& picture) {
        QAction* action = pmItems->addAction(caption);
        setTag(action, tag);
        if (!picture.isEmpty())
            action->setIcon(Style::icon(picture, Style::text(), {18, 18}));
        return action;
    };
    pmGroupview = item(CaptionTag::GroupByKind, QStringLiteral("Nach Art gruppieren"), {});
    pmGroupview->setCheckable(true);
    addSeparator(pmItems);
    pmSort = item(CaptionTag::SortAlphabetically, QStringLiteral("Alphabetisch sortieren"),
                  QStringLiteral("sort"));
    pmMoveup = item(CaptionTag::MoveUp, QStringLiteral("moveup"), QStringLiteral("move-up"));
    pmMoveDown = item(CaptionTag::MoveDown, QStringLiteral("movedown"), QStringLiteral("move-down"));
    addSeparator(pmItems);
    csvExport = item(CaptionTag::ExportCsv, QStringLiteral("Funktionen in CSV/Excel exportieren…"),
                     QStringLiteral("csv"));
    // Messages rather than Tags: their captions follow the language each time the menu opens.
    csvImport = item(CaptionTag::None, QStringLiteral("CSV importieren…"), {});
    openHab5Export = item(CaptionTag::None, QStringLiteral("Für openHAB 5 exportieren…"), {});
    addSeparator(pmItems);
    pmRestore = item(CaptionTag::None, QStringLiteral("Sicherung wiederherstellen…"), {});
    addSeparator(pmItems);
    undoAction = item(CaptionTag::None, QStringLiteral("Rückgängig"), {});
    redoAction = item(CaptionTag::None, QStringLiteral("Wiederholen"), {});
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    // The keys work with the menu closed too.
    addActions({undoAction, redoAction});
    connect(pmItems, &QMenu::aboutToShow, this, [this] {
        csvImport->setText(m_program.language.GetMsg(Msg::ImportCsvMenu));
        openHab5Export->setText(m_program.language.GetMsg(Msg::ExportOpenHab5Menu));
        pmRestore->setText(m_program.language.GetMsg(Msg::RestoreBackupMenu));
        undoAction->setText(m_program.language.GetMsg(Msg::UndoMenu));
        redoAction->setText(m_program.language.GetMsg(Msg::RedoMenu));
    });

    connect(pmGroupview, &QAction::triggered, this, &MainWindow::switchGroupView);
    connect(pmSort, &QAction::triggered, this, &MainWindow::sortItems);
    connect(pmMoveup, &QAction::triggered, this, [this] { moveSelected(-1); });
    connect(pmMoveDown, &QAction::triggered, this, [this] { moveSelected(+1); });
    connect(csvExport, &QAction::triggered, this, &MainWindow::exportCsv);
    connect(csvImport, &QAction::triggered, this, &MainWindow::importCsv);
    connect(openHab5Export, &QAction::triggered, this, &MainWindow::exportOpenHab5);
    connect(pmRestore, &QAction::triggered, this, &MainWindow::restoreBackup);
    connect(undoAction, &QAction::triggered, this, [this] { stepHistory(-1); });
    connect(redoAction, &QAction::triggered, this, [this] { stepHistory(+1); });
    busMenu = new BusMenu(m_program, *this, pmItems);

    SaveTextFileDialog = new QObject(this);
    SaveTextFileDialog->setObjectName(QStringLiteral("SaveTextFileDialog"));
    setTag(SaveTextFileDialog, CaptionTag::SaveCsvAs);
    SaveTextFileDialog->setProperty(Tags::dialogTitle, QStringLiteral("CSV speichern unter"));
}

QString MainWindow::GetVersionString()
{
    const QStringList parts = QStringLiteral(VARUNO_VERSION).split(QLatin1Char('.'));
    // Major, minor and release without leading zeros; a build number is not shown.
    QStringList numbers;
    for (int i = 0; i < 3; ++i) {
        bool ok = true;
        const uint number = i < parts.size() ? parts.at(i).toUInt(&ok) : 0;
        if (!ok)
            return QStringLiteral("0.0.0");
        numbers << QString::number(number);
    }
    return numbers.join(QLatin1Char('.'));
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

// The side panel's and the list's main commands, each behind its button: a disabled button keeps
// its key from acting too.
void MainWindow::addShortcuts()
{
    m_shortcuts = {{btnAddItem, QKeySequence(Qt::CTRL | Qt::Key_N)},
                   {btnSend, QKeySequence(Qt::CTRL | Qt::Key_S)},
                   {btnReceive, QKeySequence(Qt::CTRL | Qt::Key_E)},
                   {btnExit, QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const auto& [button, keys] : std::as_const(m_shortcuts))
        connect(new QShortcut(keys, this), &QShortcut::activated, button, &QAbstractButton::click);
}

// "Konfiguration senden (Ctrl+S)": the tooltip teaches the key, in the words of the current caption.
void MainWindow::showShortcutsInTooltips()
{
    for (const auto& [button, keys] : std::as_const(m_shortcuts)) {
        const QString caption = button->text().remove(u'&');
        button->setToolTip(caption + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + u')');
    }
}

void MainWindow::FormShow()
{
    OpenSelectedProject();
    translate();
    applyGroupView(m_workspace->inif().Groupview());
}

// Loads the chosen language and puts it into every text of the window.
void MainWindow::translate()
{
    m_program.language.LoadLanguage(languageName());
    ApplyQtTranslations(m_program.language);
    FillLanguage(this, m_program.language);
    showShortcutsInTooltips();
    m_items.setStopAllBlindsText(m_program.language.GetMsg(Msg::StopAllBlinds));
    m_items.setVoiceOnText(m_program.language.GetMsg(Msg::Yes));
}

QString MainWindow::languageName() const
{
    return tsLanguage->isChecked() ? tsLanguage->onCaption() : tsLanguage->offCaption();
}

void MainWindow::languageChanged()
{
    const QString name = languageName();
    if (!m_workspace->inif().setLanguage(name))
        m_program.prompts.error(m_workspace->inif().writeError().text(m_program.language));
    // The rows hold values; the list words them anew.
    translate();
}

// A project opened again as it was (after a change of language) keeps its history; another
// project, or new files from a receive or a restore, start a new one.
void MainWindow::OpenSelectedProject()
{
    showWorkspaceNotices(m_workspace->OpenSelectedProject(m_items).notices);
    const QString project = projectOpen() ? m_program.openHab.sProjPath : QString();
    const ProjectState opened = projectOpen() ? currentState() : ProjectState();
    if (project != m_history.project() || !(opened == m_history.current()))
        m_history.reset(project, opened);
    updateTitle();
    updateHistoryCommands();
}

ProjectState MainWindow::currentState() const
{
    return {m_items.entries(), m_program.openHab.slGroups, m_program.openHab.groupLabels};
}

void MainWindow::recordChange()
{
    if (projectOpen())
        m_history.record(currentState());
    updateHistoryCommands();
}

void MainWindow::stepHistory(int direction)
{
    if (!projectWritable() || !m_history.canStep(direction) || !PrepareItemsSave())
        return;
    const ProjectState before = currentState();
    applyState(m_history.neighbour(direction));
    const FileErrors failures = m_program.openHab.SaveItems(m_items.entries());
    if (failures.isEmpty()) {
        m_history.step(direction);
    } else {
        // The files still hold the state before: so does the list.
        applyState(before);
        for (const FileError& failure : failures)
            m_program.prompts.error(failure.text(m_program.language));
    }
    updateHistoryCommands();
}

void MainWindow::applyState(const ProjectState& state)
{
    m_program.openHab.slGroups = state.groups;
    m_program.openHab.groupLabels = state.groupLabels;
    m_items.setGroupLabels(state.groupLabels);
    m_items.setEntries(state.rows);
}

void MainWindow::updateHistoryCommands()
{
    undoAction->setEnabled(projectWritable() && m_history.canStep(-1));
    redoAction->setEnabled(projectWritable() && m_history.canStep(+1));
}

// The window manager's task list tells one project's window from another's.
void MainWindow::updateTitle()
{
    const QString program = QStringLiteral("Varuno Builder");
    setWindowTitle(projectOpen() ? m_program.openHab.sProj + QStringLiteral(" – ") + program : program);
}

void MainWindow::projectsChanged()
{
    const QSignalBlocker blocker(cbProj);
    cbProj->clear();
    cbProj->addItems(m_workspace->projects());
    cbProj->setCurrentIndex(m_workspace->selectedIndex());
    UpdateProjectButtons();
    updateTitle();
}

bool MainWindow::projectOpen() const
{
    return m_workspace->isProjectOpen();
}

bool MainWindow::projectWritable() const
{
    return projectOpen() && !ItemsSave::readOnlyReason(m_program.openHab);
}

void MainWindow::showWorkspaceNotices(const Notices& notices)
{
    m_program.prompts.show(notices, m_program.language);
    announceReadOnly();
}

// Once the window is shown, and once for each opening of such a project (the project opens again
// with a change of language, and then says it in the new one).
void MainWindow::announceReadOnly()
{
    const auto problem = projectOpen() ? ItemsSave::readOnlyReason(m_program.openHab) : std::nullopt;
    const QString reason = problem ? problem->text(m_program.language) : QString();
    if (!m_shown || reason == m_announcedReadOnly)
        return;
    m_announcedReadOnly = reason;
    if (!reason.isEmpty())
        m_program.prompts.error(reason);
}

bool MainWindow::PrepareItemsSave()
{
    const Outcome outcome = ItemsSave::prepare(m_program.openHab, m_program.language);
    m_program.prompts.show(outcome.notices, m_program.language);
    return outcome.ok;
}

// A project that failed to open (or that another writer holds) is listed and selected but not
// open: every command that would write its files stays off until it opens. One whose items file
// must not be rewritten keeps the commands that do not change the function list: receiving or
// restoring its files is the way out.
void MainWindow::UpdateProjectButtons()
{
    for (QWidget* command : {btnSettings, btnReceive, btnSend})
        command->setEnabled(projectOpen());
    for (QWidget* command : {btnAddItem, btnDelItems})
        command->setEnabled(projectWritable());
    for (QAction* command : {csvExport, openHab5Export, pmRestore})
        command->setEnabled(projectOpen());
    for (QAction* command : {pmSort, pmMoveup, pmMoveDown, csvImport})
        command->setEnabled(projectWritable());
    updateHistoryCommands();
}

void MainWindow::applyGroupView(bool on)
{
    lvItems->setGroupView(on);
    pmGroupview->setChecked(on);
    pmMoveup->setVisible(!on);
    pmMoveDown->setVisible(!on);
}

void MainWindow::newProject()
{
    NewProjectDialog& dialog = *m_program.newProjectDialog;
    if (dialog.New())
        showWorkspaceNotices(
            m_workspace->CreateProject(m_items, dialog.sName, dialog.sSerial, dialog.sitemapByRooms())
                .notices);
    UpdateProjectButtons();
}

void MainWindow::editProject()
{
    if (!cbProj->currentText().isEmpty())
        m_program.newProjectDialog->Edit();
}

void MainWindow::receive()
{
    m_program.transferDialog->DoTransfer(TransferMode::Receive);
    OpenSelectedProject();
}

void MainWindow::editItem(int row)
{
    if (PrepareItemsSave())
        m_program.functionEditor->DoEdit(row, m_items);
    recordChange();
}

void MainWindow::SaveItems()
{
    for (const FileError& failure : m_program.openHab.SaveItems(m_items.entries()))
        m_program.prompts.error(failure.text(m_program.language));
    recordChange();
}

void MainWindow::deleteItems()
{
    const Language& language = m_program.language;
    if (!m_items.hasChecked()) {
        m_program.prompts.error(language.GetMsg(Msg::MarkFunctionsFirst));
        return;
    }
    if (!m_program.prompts.confirm(language.GetMsg(Msg::ConfirmDeleteFunctions), Prompts::Default::No) ||
        !PrepareItemsSave())
        return;
    m_items.removeChecked();
    SaveItems();
}

void MainWindow::deleteSelected()
{
    const int row = lvItems->selectedRow();
    if (!m_program.prompts.confirm(m_program.language.GetMsg(Msg::ConfirmDeleteFunctions),
                                   Prompts::Default::No) ||
        !PrepareItemsSave())
        return;
    m_items.removeAt(row);
    SaveItems();
}

void MainWindow::switchGroupView()
{
    const bool on = !lvItems->groupView();
    applyGroupView(on);
    if (!m_workspace->inif().setGroupview(on))
        m_program.prompts.error(m_workspace->inif().writeError().text(m_program.language));
}

void MainWindow::sortItems()
{
    if (!PrepareItemsSave())
        return;
    m_items.sortByLabel();
    SaveItems();
}

void MainWindow::moveSelected(int offset)
{
    const int i = lvItems->selectedRow();
    if (i < 0)
        return;
    ExchangeItems(m_items, i, i + offset);
}

void MainWindow::ExchangeItems(FunctionList& lv, int i, int j)
{
    if (i < 0 || i > lv.count() - 1 || j < 0 || j > lv.count() - 1 || !PrepareItemsSave())
        return;
    const FunctionEntry first = lv.at(i);
    const FunctionEntry second = lv.at(j);
    lv.replace(i, second);
    lv.replace(j, first);
    SaveItems();
}

void MainWindow::exportCsv()
{
    // A list for people: it starts among the user's documents, named after the project.
    const QString proposal = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                 .filePath(m_program.openHab.sProj + QStringLiteral(".csv"));
    const QString fileName = m_program.prompts.saveFileName(
        SaveTextFileDialog->property(Tags::dialogTitle).toString(), proposal, QStringLiteral("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (m_workspace->isInProjectsFolder(fileName)) {
        m_program.prompts.error(
            m_program.language.GetMsg(Msg::ExportIntoProjects, QDir::toNativeSeparators(fileName)));
        return;
    }
    QStringList captions;
    for (int column : {FunctionList::LabelColumn, FunctionList::AddressColumn, FunctionList::VoiceColumn,
                       FunctionList::GroupsColumn, FunctionList::KeyColumn})
        captions << m_items.headerData(column, Qt::Horizontal).toString();
    captions << m_program.language.GetMsg(Msg::CsvReversedColumn);
    const QByteArray bytes =
        CsvExport::Build(m_items.entries(), captions, lvItems->groupHeaders(),
                         m_program.language.GetMsg(Msg::Yes), m_program.language.GetMsg(Msg::No));
    // Unlike a silent failure, the error box keeps the user from mailing a file that is not there.
    if (const auto reason = CsvExport::Write(fileName, bytes))
        m_program.prompts.error(FileError{fileName, *reason}.text(m_program.language));
}

// The rows of a CSV file join the list or replace it, as one change that undo takes back. Refused
// rows are named with their lines; the others are taken only when the user agrees.
void MainWindow::importCsv()
{
    const Language& language = m_program.language;
    Prompts& prompts = m_program.prompts;
    const QString fileName = prompts.openFileName(
        language.GetMsg(Msg::ImportCsvTitle),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QStringLiteral("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    const auto result = CsvImportRun::read(fileName, m_program.openHab);
    if (!result) {
        prompts.error(result.problem().text(language));
        return;
    }
    const QStringList report = CsvImport::Report(*result, language);
    if (result->unreadable || (result->rows.isEmpty() && !report.isEmpty())) {
        prompts.error(report.join(QLatin1Char('\n')));
        return;
    }
    const QString newLine = QStringLiteral("\n");
    if (!report.isEmpty() &&
        !prompts.confirm(language.GetMsg(Msg::ImportValidRowsQuestion, newLine + report.join(newLine)),
                         Prompts::Default::No))
        return;
    const bool replace =
        prompts.confirm(language.GetMsg(Msg::ImportReplaceQuestion, QString::number(result->rows.size())),
                        Prompts::Default::No);
    const QList<FunctionEntry> rows = CsvImportRun::combine(m_items.entries(), result->rows, replace);
    const Outcome saved = CsvImportRun::save(m_program.openHab, rows);
    prompts.show(saved.notices, language);
    if (!saved.ok)
        return;
    m_items.setEntries(rows);
    recordChange();
}

// The project as it is shown, also one that may only be shown: the export writes nothing into it.
void MainWindow::exportOpenHab5()
{
    const QString folder =
        m_program.prompts.folderName(m_program.language.GetMsg(Msg::ExportOpenHab5Folder),
                                     QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!folder.isEmpty())
        m_program.prompts.show(OpenHab5Run::exportTo(m_program.openHab, m_items.entries(), *m_workspace,
                                                     m_program.prompts, folder)
                                   .notices,
                               m_program.language);
}

// The user picks one of the project's backups; its files replace the project's (which are backed
// up first), and the project is opened again from them.
void MainWindow::restoreBackup()
{
    ProjectBackups backups(m_program.openHab.sProjPath, m_program.language);
    const QList<Backup> list = backups.List();
    if (list.isEmpty()) {
        m_program.prompts.information(m_program.language.GetMsg(Msg::NoBackups));
        return;
    }
    QStringList entries;
    for (const Backup& backup : list)
        entries << readableDateTime(backup.time, WithSeconds::Yes) + QStringLiteral("  –  ") +
                       ProjectBackups::Describe(backup, m_program.language);
    int picked = -1;
    if (!m_program.prompts.choose(m_program.language.GetMsg(Msg::RestoreBackupMenu),
                                  m_program.language.GetMsg(Msg::ChooseBackup), entries, picked))
        return;
    if (const auto failure = backups.Restore(list.at(picked).name))
        m_program.prompts.error(m_program.language.GetMsg(Msg::RestoreFailed, *failure));
    OpenSelectedProject();
}
