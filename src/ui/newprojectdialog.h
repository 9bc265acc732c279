#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class ToggleSwitch;

struct Program;

// The project dialog: a new project's name, serial and sitemap layout, or the open project's. In
// new mode it only collects the input (the main window creates the project); in edit mode it saves,
// renames or deletes the open project itself.
class NewProjectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NewProjectDialog(Program& program, QWidget* parent = nullptr);

    // New mode: true when the user chose "Anlegen"; sName, sSerial and sitemapByRooms() carry the
    // result. A cancelled dialog leaves sName empty. The layout toggle keeps its last state.
    bool New();
    // Edit mode for the open project: saves, renames or deletes it. True when it was saved.
    bool Edit();
    // The toggle: the sitemap grouped by rooms and groups rather than by kind of switch.
    bool sitemapByRooms() const;

    QString sName;
    QString sSerial;

    // The window's controls, by their design names, for the tests' use.
    QLineEdit* edName = nullptr;
    QLineEdit* edSerial = nullptr;
    ToggleSwitch* tsSitemap = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnDel = nullptr;

private:
    QWidget* buildButtonRow();
    // Shows the buttons of one mode, sets the title's Tag, translates and shows the dialog modally.
    bool run(bool editMode);
    // Message 10 or 59 when the name or the serial is empty.
    bool inputComplete();

    void create();
    void save();
    void deleteProject();

    Program& m_program;
};
