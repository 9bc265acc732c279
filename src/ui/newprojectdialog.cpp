#include "newprojectdialog.h"

#include "dialoglook.h"
#include "filllanguage.h"
#include "mainwindow.h"
#include "model/captiontags.h"
#include "model/language.h"
#include "model/projectini.h"
#include "openhab/openhabgenerator.h"
#include "program.h"
#include "style.h"
#include "toggleswitch.h"
#include "workspace/prompts.h"
#include "workspace/workspace.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Window Tags: their captions are the dialog's title in each mode.
// The window's width in the new mode; the edit mode widens it as far as its buttons need.
constexpr int BaseWidth = 278;

QLabel* caption(const QString& text, int tag, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(Style::bodyFont(15));
    setTag(label, tag);
    return label;
}

} // namespace

NewProjectDialog::NewProjectDialog(Program& program, QWidget* parent) : QDialog(parent), m_program(program)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    DialogLook::setUp(this, {BaseWidth, 248});
    setFont(Style::bodyFont(11));
    // Buttons share the narrow window's width.
    setStyleSheet(styleSheet() + u"QPushButton { padding: 5px 6px; }"_s);

    edName = new QLineEdit(this);
    edSerial = new QLineEdit(this);
    auto* serialLabel = caption(u"Varuno-Seriennummer"_s, CaptionTag::SerialNumber, this);
    serialLabel->setWordWrap(true);
    auto* appLabel = new QLabel(u"openHAB-App"_s, this);
    setTag(appLabel, CaptionTag::AppLabel);
    appLabel->setFont(Style::bodyFont(15));
    tsSitemap = new ToggleSwitch(this);
    tsSitemap->setOffCaption(u"gruppieren nach Schalter-Art"_s);
    tsSitemap->setOnCaption(u"gruppieren nach Räumen/Gruppen"_s);
    tsSitemap->setColours(Style::text(), Style::accent());
    setTag(tsSitemap, CaptionTag::SitemapToggle);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(3);
    layout->addWidget(caption(u"Name des Projekts"_s, CaptionTag::ProjectName, this));
    layout->addWidget(edName);
    layout->addSpacing(8);
    layout->addWidget(serialLabel);
    layout->addWidget(edSerial);
    layout->addSpacing(8);
    layout->addWidget(appLabel);
    layout->addWidget(tsSitemap);
    layout->addStretch();
    layout->addWidget(buildButtonRow());

    connect(btnOK, &QPushButton::clicked, this, &NewProjectDialog::create);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnSave, &QPushButton::clicked, this, &NewProjectDialog::save);
    connect(btnDel, &QPushButton::clicked, this, &NewProjectDialog::deleteProject);
}

// Abbrechen keeps its place on the right in both modes, with Anlegen or Speichern beside it; the
// edit mode's Projekt löschen stands apart on the left.
QWidget* NewProjectDialog::buildButtonRow()
{
    auto* row = new QWidget(this);
    btnOK = DialogLook::saveButton(row);
    btnOK->setText(u"Anlegen"_s);
    btnOK->setIcon(Style::icon(u"add"_s, Qt::white, {18, 18}));
    setTag(btnOK, CaptionTag::Create);
    btnCancel = DialogLook::cancelButton(row);
    btnSave = DialogLook::saveButton(row);
    btnDel = DialogLook::button(u"Projekt löschen"_s, CaptionTag::DeleteProject, u"delete"_s, row);
    for (QPushButton* button : {btnOK, btnCancel, btnSave, btnDel})
        button->setMinimumWidth(0);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(btnDel, 1);
    layout->addWidget(btnOK, 1);
    layout->addWidget(btnSave, 1);
    layout->addWidget(btnCancel, 1);
    setTabOrder(btnDel, btnOK);
    setTabOrder(btnOK, btnSave);
    setTabOrder(btnSave, btnCancel);
    return row;
}

bool NewProjectDialog::sitemapByRooms() const
{
    return tsSitemap->isChecked();
}

bool NewProjectDialog::New()
{
    edName->clear();
    edSerial->clear();
    sName.clear();
    sSerial.clear();
    return run(false);
}

bool NewProjectDialog::Edit()
{
    sName = m_program.workspace->selectedProject();
    edName->setText(sName);
    const ProjectIni projectIni(m_program.openHab.sProjPath);
    sSerial = projectIni.Serial();
    edSerial->setText(sSerial);
    tsSitemap->setChecked(projectIni.GroupByRooms());
    return run(true);
}

bool NewProjectDialog::run(bool editMode)
{
    btnOK->setVisible(!editMode);
    btnSave->setVisible(editMode);
    btnDel->setVisible(editMode);
    (editMode ? btnSave : btnOK)->setDefault(true);
    setTag(this, editMode ? CaptionTag::EditProject : CaptionTag::NewProject);
    FillLanguage(this, m_program.language);
    // The edit mode's three buttons need more room than the new mode's two.
    layout()->activate();
    setFixedWidth(std::max(BaseWidth, layout()->sizeHint().width()));
    edName->setFocus();
    DialogLook::centre(this);
    return exec() == QDialog::Accepted;
}

bool NewProjectDialog::inputComplete()
{
    Prompts& prompts = m_program.prompts;
    if (edName->text().isEmpty()) {
        prompts.error(m_program.language.GetMsg(Msg::EnterProjectName));
        edName->setFocus();
        return false;
    }
    if (edSerial->text().isEmpty()) {
        prompts.error(m_program.language.GetMsg(Msg::EnterSerial));
        edSerial->setFocus();
        return false;
    }
    return true;
}

// Only the input is checked here; whether the name makes a project folder is the creation's
// judgement, after the dialog closed.
void NewProjectDialog::create()
{
    if (!inputComplete())
        return;
    sName = edName->text();
    sSerial = edSerial->text();
    accept();
}

// After a failed rename the dialog stays open with the input.
void NewProjectDialog::save()
{
    if (!inputComplete())
        return;
    const Outcome saved =
        m_program.workspace->SaveProjectSettings(sName, edName->text(), edSerial->text(), sitemapByRooms());
    m_program.mainWindow->showWorkspaceNotices(saved.notices);
    if (saved.ok)
        accept();
}

// The dialog closes whether the deletion succeeded or not: a project that could not be removed
// completely is reported and stays open in the main window.
void NewProjectDialog::deleteProject()
{
    const QString question = m_program.language.GetMsg(Msg::ConfirmDeleteProject, sName);
    if (!m_program.prompts.confirm(question, Prompts::Default::No))
        return;
    m_program.mainWindow->showWorkspaceNotices(
        m_program.workspace->DeleteProject(m_program.mainWindow->items()).notices);
    reject();
}
