#pragma once

#include <QDialog>
#include <QString>

struct TProgram;

// The project dialog: a new project's name, serial and sitemap layout, or the open project's.
class TfrmNewProject : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmNewProject(TProgram& program, QWidget* parent = nullptr);

    // New mode: true when the user chose "Anlegen"; sName, sSerial and sitemapByRooms() carry the result.
    bool New();
    // Edit mode for the open project: saves, renames or deletes it. True when it was saved.
    bool Edit();
    bool sitemapByRooms() const { return false; }

    QString sName;
    QString sSerial;

private:
    TProgram& m_program;
};
