#include "busdialogs.h"

#include "connectwait.h"
#include "dialoglook.h"
#include "functionbustools.h"
#include "functioneditor.h"
#include "functionlistview.h"
#include "mainwindow.h"
#include "program.h"

#include "bus/busaddress.h"
#include "link/busdiscovery.h"
#include "link/bustest.h"
#include "model/captiontags.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "workspace/prompts.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString caption(const Language& language, int tag, const QString& designed)
{
    const QString text = language.caption(QString::number(tag));
    return text.isEmpty() ? designed : text;
}

QString closeCaption(const Language& language)
{
    return caption(language, CaptionTag::Close, u"Schließen"_s);
}

QString cancelCaption(const Language& language)
{
    return caption(language, CaptionTag::Cancel, u"Abbrechen"_s);
}

// A dialog's frame: its title line, the status line, the content and the buttons at its foot.
QVBoxLayout* frame(QDialog* dialog, QLabel*& title, QLabel*& status)
{
    title = new QLabel(dialog);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    status = new QLabel(dialog);
    status->setObjectName(u"lblBusStatus"_s);
    status->setWordWrap(true);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addWidget(title);
    layout->addWidget(status);
    return layout;
}

} // namespace

BusTestDialog::BusTestDialog(Program& program, QWidget* parent)
    : QDialog(parent), m_program(program), m_test(new BusTest(this))
{
    DialogLook::setUp(this, {480, 170});
    QVBoxLayout* layout = frame(this, m_title, lblBusStatus);
    layout->addStretch();
    btnClose = new QPushButton(this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    connect(btnClose, &QPushButton::clicked, this, [this] {
        if (m_test->isRunning())
            m_test->cancel();
        else
            accept();
    });
    connect(this, &QDialog::finished, m_test, &BusTest::cancel);
    connect(m_test, &BusTest::finished, this, &BusTestDialog::testFinished);
    m_wait = new ConnectWait(program.language, lblBusStatus, this);
    connect(m_test, &BusTest::acknowledged, this, [this](const QByteArray& frame) {
        m_wait->stop();
        lblBusStatus->setText(
            TestResultText(m_program.language, BusError::None, QString::fromLatin1(frame), m_iType));
    });
}

void BusTestDialog::Run(int row)
{
    const QList<FunctionEntry>& rows = m_program.mainWindow->items().entries();
    const FunctionEntry& entry = rows.at(row);
    m_iType = entry.kind;
    setWindowTitle(m_program.language.GetMsg(Msg::TestFunction));
    m_title->setText(entry.label + u" (" + entry.alias + u')');
    lblBusStatus->clear();
    btnClose->setText(cancelCaption(m_program.language));
    open();
    const auto steps = TestSteps(entry, rows, {});
    if (!steps || steps->isEmpty()) {
        testFinished(BusError::None, {});
        return;
    }
    const BusServer server = ProjectBusServer(m_program);
    m_wait->start(server);
    m_test->start(server, *steps);
}

void BusTestDialog::testFinished(BusError error, const QString& detail)
{
    m_wait->stop();
    lblBusStatus->setText(TestResultText(m_program.language, error, detail, m_iType));
    btnClose->setText(closeCaption(m_program.language));
}

BusDiscoverDialog::BusDiscoverDialog(Program& program, QWidget* parent)
    : QDialog(parent), m_program(program), m_discovery(new BusDiscovery(this))
{
    DialogLook::setUp(this, {640, 480});
    QVBoxLayout* layout = frame(this, m_title, lblBusStatus);
    m_title->setObjectName(u"lblTitle"_s);
    lvDevices = new QTreeWidget(this);
    lvDevices->setColumnCount(3);
    lvDevices->setHeaderHidden(true);
    lvDevices->setRootIsDecorated(false);
    layout->addWidget(lvDevices, 1);
    btnAdd = new QPushButton(this);
    btnClose = new QPushButton(this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    connect(btnAdd, &QPushButton::clicked, this, &BusDiscoverDialog::addMarked);
    connect(btnClose, &QPushButton::clicked, this, [this] {
        if (m_discovery->isRunning())
            m_discovery->cancel();
        else
            accept();
    });
    connect(this, &QDialog::finished, m_discovery, &BusDiscovery::cancel);
    m_wait = new ConnectWait(program.language, lblBusStatus, this);
    connect(m_discovery, &BusDiscovery::finished, this, &BusDiscoverDialog::searched);
    connect(lvDevices, &QTreeWidget::itemChanged, this, [this] {
        bool bMarked = false;
        QTreeWidgetItem* missing = lvDevices->topLevelItem(1);
        for (int i = 0; missing && i < missing->childCount(); ++i)
            bMarked = bMarked || missing->child(i)->checkState(0) == Qt::Checked;
        btnAdd->setEnabled(bMarked);
    });
}

void BusDiscoverDialog::Run()
{
    const Language& language = m_program.language;
    // In the language chosen now, which may have changed since the last search.
    setWindowTitle(language.GetMsg(Msg::FindDevices));
    m_title->setText(language.GetMsg(Msg::FindDevices));
    btnAdd->setText(language.GetMsg(Msg::AddMarked));
    btnAdd->setEnabled(false);
    btnClose->setText(cancelCaption(language));
    lvDevices->clear();
    m_devices.clear();
    const BusServer server = ProjectBusServer(m_program);
    open();
    const QList<FunctionEntry>& rows = m_program.mainWindow->items().entries();
    m_wait->start(server);
    m_discovery->start(server, DiscoveryRequests(ProjectBuses(rows)));
}

void BusDiscoverDialog::searched(BusError error, const QString& detail)
{
    m_wait->stop();
    btnClose->setText(closeCaption(m_program.language));
    if (error != BusError::None) {
        lblBusStatus->setText(BusErrorText(m_program.language, error, detail));
        return;
    }
    lblBusStatus->clear();
    m_devices = m_discovery->devices();
    fillList();
}

void BusDiscoverDialog::fillList()
{
    const Language& language = m_program.language;
    const QList<FunctionEntry>& rows = m_program.mainWindow->items().entries();
    const DiscoveryResult result = CompareWithProject(rows, m_devices);
    const QSignalBlocker blocker(lvDevices);
    lvDevices->clear();
    auto* inProject = new QTreeWidgetItem(lvDevices, {language.GetMsg(Msg::FoundInProject)});
    auto* missing = new QTreeWidgetItem(lvDevices, {language.GetMsg(Msg::FoundMissing)});
    auto* silent = new QTreeWidgetItem(lvDevices, {language.GetMsg(Msg::SilentInProject)});
    for (qsizetype index = 0; index < result.found.size(); ++index) {
        const FoundDevice& found = result.found.at(index);
        const BusDevice& d = found.device;
        const FunctionEntry shown =
            FunctionEntry{.address = d.address, .kind = d.kind, .bus = d.bus}.normalized();
        if (found.row >= 0) {
            const FunctionEntry& row = rows.at(found.row);
            new QTreeWidgetItem(inProject,
                                {KindCaption(language, row.kind), Vocabulary::AddressText(shown), row.alias});
            continue;
        }
        // A light point that is off may as well be a dimmer: said, not guessed.
        const QString kind =
            d.kindUnsure ? language.GetMsg(Msg::BusKindUnknown) : KindCaption(language, d.kind);
        auto* item = new QTreeWidgetItem(missing, {kind + u' ' + Vocabulary::AddressText(shown),
                                                   Vocabulary::AddressText(shown), QString()});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, Qt::UserRole, int(index));
    }
    for (const int row : result.silentRows) {
        const FunctionEntry& entry = rows.at(row);
        new QTreeWidgetItem(silent,
                            {KindCaption(language, entry.kind), Vocabulary::AddressText(entry), entry.alias});
    }
    lvDevices->expandAll();
    lvDevices->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    btnAdd->setEnabled(false);
}

void BusDiscoverDialog::addMarked()
{
    if (!m_program.mainWindow->PrepareItemsSave())
        return;
    const QList<FunctionEntry>& rows = m_program.mainWindow->items().entries();
    const DiscoveryResult result = CompareWithProject(rows, m_devices);
    FunctionList& items = m_program.mainWindow->items();
    QTreeWidgetItem* missing = lvDevices->topLevelItem(1);
    int added = 0;
    for (int i = 0; i < missing->childCount(); ++i) {
        const QTreeWidgetItem* item = missing->child(i);
        if (item->checkState(0) != Qt::Checked)
            continue;
        const BusDevice& d = result.found.at(item->data(0, Qt::UserRole).toInt()).device;
        // The label names kind and address; the user renames it in the editor.
        items.append(FunctionEntry{.label = KindCaption(m_program.language, d.kind) + u' ' + d.address,
                                   .address = d.address,
                                   .kind = d.kind,
                                   .bus = d.bus}
                         .normalized());
        ++added;
    }
    if (added == 0)
        return;
    Vocabulary::RenumberAliases(items);
    for (const FileError& failure : m_program.openHab.SaveItems(items.entries()))
        m_program.prompts.error(failure.text(m_program.language));
    fillList();
}

BusMenu::BusMenu(Program& program, MainWindow& window, QMenu* menu)
    : QObject(menu), m_program(program), m_window(window)
{
    menu->addSeparator();
    pmTestFunction = menu->addAction(QString());
    pmTestFunction->setObjectName(u"pmTestFunction"_s);
    pmFindDevices = menu->addAction(QString());
    pmFindDevices->setObjectName(u"pmFindDevices"_s);
    testDialog = new BusTestDialog(program, &window);
    discoverDialog = new BusDiscoverDialog(program, &window);
    connect(pmTestFunction, &QAction::triggered, this, [this] {
        const int row = m_window.lvItems->selectedRow();
        if (row >= 0 && row < m_window.items().count())
            testDialog->Run(row);
    });
    connect(pmFindDevices, &QAction::triggered, this, [this] {
        discoverDialog->Run();
        m_window.recordChange();
    });
    connect(menu, &QMenu::aboutToShow, this, &BusMenu::update);
    update();
}

void BusMenu::update()
{
    // Translated each time the menu opens, so a change of language shows at once.
    pmTestFunction->setText(m_program.language.GetMsg(Msg::TestFunction));
    pmFindDevices->setText(m_program.language.GetMsg(Msg::FindDevices));
    const bool bProject = m_program.workspace && !m_program.workspace->selectedProject().isEmpty();
    pmTestFunction->setEnabled(bProject && m_window.lvItems->selectedRow() >= 0);
    pmFindDevices->setEnabled(bProject);
}
