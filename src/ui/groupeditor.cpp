#include "groupeditor.h"

#include "dialoglook.h"
#include "filllanguage.h"
#include "headerband.h"
#include "model/captiontags.h"
#include "model/groupnames.h"
#include "program.h"

#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "workspace/itemssave.h"
#include "workspace/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

GroupEditor::GroupEditor(Program& program, QWidget* parent) : QDialog(parent), m_program(program)
{
    DialogLook::setUp(this, {422, 383});

    auto* header =
        new HeaderBand(QStringLiteral("groups"), QStringLiteral("Gruppen"), CaptionTag::Groups, this);
    lblTitle = header->titleLabel();
    btnAdd = DialogLook::button(QStringLiteral("Gruppe hinzufügen"), CaptionTag::AddGroup,
                                QStringLiteral("add"), this);
    btnDeleteMarked = DialogLook::button(QStringLiteral("Markierte Gruppen löschen"),
                                         CaptionTag::DeleteMarkedGroups, QStringLiteral("delete"), this);
    lbGruppe = new QListWidget(this);
    lbGruppe->setSelectionMode(QAbstractItemView::SingleSelection);
    btnSave = DialogLook::saveButton(this);
    btnClose = DialogLook::cancelButton(this);

    auto* commands = new QHBoxLayout;
    commands->addWidget(btnAdd);
    commands->addWidget(btnDeleteMarked);
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

    setTabOrder(btnAdd, btnDeleteMarked);
    setTabOrder(btnDeleteMarked, lbGruppe);
    setTabOrder(lbGruppe, btnSave);
    setTabOrder(btnSave, btnClose);

    connect(btnAdd, &QPushButton::clicked, this, &GroupEditor::btnAddClick);
    connect(btnDeleteMarked, &QPushButton::clicked, this, &GroupEditor::btnDeleteMarkedClick);
    connect(lbGruppe, &QListWidget::itemDoubleClicked, this, &GroupEditor::lbGruppeDblClick);
    connect(btnSave, &QPushButton::clicked, this, &GroupEditor::btnSaveClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

bool GroupEditor::DoEdit(FunctionList& lv)
{
    m_rows = lv.entries();
    const GroupLabels& labels = m_program.openHab.groupLabels;
    lbGruppe->clear();
    for (const QString& name : SortedGroupNames(m_program.openHab.slGroups, labels))
        lbGruppe->addItem(newEntry({name, labels.value(name)}));
    if (exec() != QDialog::Accepted)
        return false;
    lv.setGroupLabels(labels);
    // Row by row in place: the rows keep their positions, so a row that the function editor holds
    // stays the same row.
    for (int row = 0; row < m_rows.size() && row < lv.count(); ++row) {
        if (!(lv.at(row) == m_rows.at(row)))
            lv.replace(row, m_rows.at(row));
    }
    return true;
}

void GroupEditor::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void GroupEditor::FormShow()
{
    FillLanguage(this, m_program.language);
    setWindowTitle(lblTitle->text());
    DialogLook::centre(this);
    lbGruppe->setFocus();
}

QListWidgetItem* GroupEditor::newEntry(const GroupNaming& group)
{
    auto* entry = new QListWidgetItem(group.label.isEmpty() ? group.name : group.label);
    entry->setData(Qt::UserRole, group.name);
    entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
    entry->setCheckState(Qt::Unchecked);
    return entry;
}

QString GroupEditor::nameOf(const QListWidgetItem* entry)
{
    return entry->data(Qt::UserRole).toString();
}

QStringList GroupEditor::groupNames(const QListWidgetItem* except) const
{
    QStringList names;
    for (int row = 0; row < lbGruppe->count(); ++row) {
        if (lbGruppe->item(row) != except)
            names << nameOf(lbGruppe->item(row));
    }
    return names;
}

QStringList GroupEditor::shownNames() const
{
    QStringList shown;
    for (int row = 0; row < lbGruppe->count(); ++row)
        shown << lbGruppe->item(row)->text();
    return shown;
}

GroupLabels GroupEditor::groupLabels() const
{
    GroupLabels labels;
    for (int row = 0; row < lbGruppe->count(); ++row) {
        const QListWidgetItem* entry = lbGruppe->item(row);
        if (entry->text() != nameOf(entry))
            labels.insert(nameOf(entry), entry->text());
    }
    return labels;
}

// Any text names a group; the item name the files use follows from it.
GroupNaming GroupEditor::askGroup(Msg caption, const QString& shown, const QListWidgetItem* except) const
{
    QString text = shown;
    if (!m_program.prompts.textPrompt(m_program.language.GetMsg(caption),
                                      m_program.language.GetMsg(Msg::GroupLabel), text))
        return {};
    return NameGroup(text, groupNames(except), groupLabels());
}

void GroupEditor::btnAddClick()
{
    const GroupNaming group = askGroup(Msg::AddGroup, {}, nullptr);
    if (group.name.isEmpty())
        return;
    QListWidgetItem* entry = newEntry(group);
    lbGruppe->insertItem(int(SortedGroupPosition(shownNames(), entry->text())), entry);
    lbGruppe->setCurrentItem(entry);
}

void GroupEditor::lbGruppeDblClick()
{
    QListWidgetItem* entry = lbGruppe->currentItem();
    if (!entry)
        return;
    const GroupNaming group = askGroup(Msg::EditGroup, entry->text(), entry);
    if (group.name.isEmpty())
        return;
    RenameGroupInRows(m_rows, nameOf(entry), group.name, groupNames());
    // The entry keeps its place until the editor is opened again.
    entry->setText(group.label.isEmpty() ? group.name : group.label);
    entry->setData(Qt::UserRole, group.name);
}

void GroupEditor::btnDeleteMarkedClick()
{
    for (int row = 0; row < lbGruppe->count();) {
        QListWidgetItem* entry = lbGruppe->item(row);
        const QString name = nameOf(entry);
        if (entry->checkState() != Qt::Checked) {
            ++row;
        } else if (!CanDeleteGroup(m_rows, name)) {
            m_program.prompts.error(m_program.language.GetMsg(Msg::GroupUsedByScene, entry->text()));
            ++row;
        } else if (!confirmDeletion(name, entry->text())) {
            ++row;
        } else {
            RenameGroupInRows(m_rows, name, {}, groupNames());
            delete lbGruppe->takeItem(row);
        }
    }
}

bool GroupEditor::confirmDeletion(const QString& name, const QString& shown)
{
    QStringList users;
    for (const FunctionEntry& row : std::as_const(m_rows)) {
        if (IsInGroup(row.groups, name))
            users << row.label;
    }
    if (users.isEmpty())
        return true;
    return m_program.prompts.confirm(
        m_program.language.GetMsg(Msg::GroupInUse, shown, users.join(GroupSeparator)), Prompts::Default::No);
}

void GroupEditor::btnSaveClick()
{
    const Outcome prepared = ItemsSave::prepare(m_program.openHab, m_program.language);
    m_program.prompts.show(prepared.notices, m_program.language);
    if (!prepared.ok)
        return;
    m_program.openHab.slGroups = groupNames();
    m_program.openHab.groupLabels = groupLabels();
    for (const FileError& failure : m_program.openHab.SaveItems(m_rows))
        m_program.prompts.error(failure.text(m_program.language));
    accept();
}
