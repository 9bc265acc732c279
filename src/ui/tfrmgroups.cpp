#include "tfrmgroups.h"

#include "dialoglook.h"
#include "filllanguage.h"
#include "headerband.h"
#include "model/groupnames.h"
#include "program.h"

#include "model/functionlist.h"
#include "model/tlanguage.h"
#include "openhab/topenhab.h"
#include "workspace/itemssave.h"
#include "workspace/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfrmGroups::TfrmGroups(TProgram& program, QWidget* parent) : QDialog(parent), m_program(program)
{
    DialogLook::setUp(this, {422, 383});

    auto* header = new HeaderBand(QStringLiteral("groups"), QStringLiteral("Gruppen"), 38, this);
    Label5 = header->titleLabel();
    btnAdd = DialogLook::button(QStringLiteral("Gruppe hinzufügen"), 39, QStringLiteral("add"), this);
    SpeedButton1 =
        DialogLook::button(QStringLiteral("Markierte Gruppen löschen"), 40, QStringLiteral("delete"), this);
    lbGruppe = new QListWidget(this);
    lbGruppe->setSelectionMode(QAbstractItemView::SingleSelection);
    btnSave = DialogLook::saveButton(this);
    btnClose = DialogLook::cancelButton(this);

    auto* commands = new QHBoxLayout;
    commands->addWidget(btnAdd);
    commands->addWidget(SpeedButton1);
    commands->addStretch();
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(btnSave);
    closing->addWidget(btnClose);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(14, 12, 14, 14);
    body->setSpacing(10);
    body->addLayout(commands);
    body->addWidget(lbGruppe, 1);
    body->addLayout(closing);
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(header);
    window->addLayout(body, 1);

    setTabOrder(btnAdd, SpeedButton1);
    setTabOrder(SpeedButton1, lbGruppe);
    setTabOrder(lbGruppe, btnSave);
    setTabOrder(btnSave, btnClose);

    connect(btnAdd, &QPushButton::clicked, this, &TfrmGroups::btnAddClick);
    connect(SpeedButton1, &QPushButton::clicked, this, &TfrmGroups::SpeedButton1Click);
    connect(lbGruppe, &QListWidget::itemDoubleClicked, this, &TfrmGroups::lbGruppeDblClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmGroups::btnSaveClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmGroups::DoEdit(FunctionList& lv)
{
    m_rows = lv.entries();
    lbGruppe->clear();
    for (const QString& name : SortedGroupNames(m_program.openHab.slGroups)) {
        auto* entry = new QListWidgetItem(name, lbGruppe);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
    }
    if (exec() != QDialog::Accepted)
        return false;
    // Row by row in place: the rows keep their positions, so a row that the function editor holds
    // stays the same row.
    for (int row = 0; row < m_rows.size() && row < lv.count(); ++row) {
        if (!(lv.at(row) == m_rows.at(row)))
            lv.replace(row, m_rows.at(row));
    }
    return true;
}

void TfrmGroups::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfrmGroups::FormShow()
{
    FillLanguage(this, m_program.language);
    setWindowTitle(Label5->text());
    DialogLook::centre(this);
    lbGruppe->setFocus();
}

QStringList TfrmGroups::groupNames() const
{
    QStringList names;
    for (int row = 0; row < lbGruppe->count(); ++row)
        names << lbGruppe->item(row)->text();
    return names;
}

bool TfrmGroups::askGroupName(Msg caption, QString& name)
{
    if (!m_program.prompts.textPrompt(m_program.language.GetMsg(caption),
                                      m_program.language.GetMsg(Msg::GroupLabel), name) ||
        name.isEmpty())
        return false;
    if (IsValidGroupName(name))
        return true;
    m_program.prompts.error(m_program.language.GetMsg(Msg::NoSpecialCharacters));
    return false;
}

void TfrmGroups::btnAddClick()
{
    QString name;
    if (!askGroupName(Msg::AddGroup, name))
        return;
    auto* entry = new QListWidgetItem(name);
    entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
    entry->setCheckState(Qt::Unchecked);
    lbGruppe->insertItem(int(SortedGroupPosition(groupNames(), name)), entry);
    lbGruppe->setCurrentItem(entry);
}

void TfrmGroups::lbGruppeDblClick()
{
    QListWidgetItem* entry = lbGruppe->currentItem();
    if (!entry)
        return;
    QString name = entry->text();
    if (!askGroupName(Msg::EditGroup, name))
        return;
    RenameGroupInRows(m_rows, entry->text(), name, groupNames());
    // The entry keeps its place until the editor is opened again.
    entry->setText(name);
}

void TfrmGroups::SpeedButton1Click()
{
    for (int row = 0; row < lbGruppe->count();) {
        QListWidgetItem* entry = lbGruppe->item(row);
        const QString name = entry->text();
        if (entry->checkState() != Qt::Checked) {
            ++row;
        } else if (!CanDeleteGroup(m_rows, name)) {
            m_program.prompts.error(m_program.language.GetMsg(Msg::GroupUsedByScene, name));
            ++row;
        } else if (!confirmDeletion(name)) {
            ++row;
        } else {
            RenameGroupInRows(m_rows, name, {}, groupNames());
            delete lbGruppe->takeItem(row);
        }
    }
}

bool TfrmGroups::confirmDeletion(const QString& name)
{
    QStringList users;
    for (const FunctionEntry& row : std::as_const(m_rows)) {
        if (IsInGroup(row.groups, name))
            users << row.caption;
    }
    if (users.isEmpty())
        return true;
    return m_program.prompts.confirm(
        m_program.language.GetMsg(Msg::GroupInUse, name, users.join(GroupSeparator)), Prompts::Default::No);
}

void TfrmGroups::btnSaveClick()
{
    if (!ItemsSave::prepare(m_program.openHab, m_program.language, m_program.prompts))
        return;
    m_program.openHab.slGroups = groupNames();
    for (const TFileError& failure : m_program.openHab.SaveItems(m_rows))
        m_program.prompts.error(failure.text(m_program.language));
    accept();
}
