#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QUrl;
class ToggleSwitch;

struct Program;

// The server settings dialog of the open project: the bus server openHAB talks to, the automatic
// bus time, and the project's cloud identity and HomeKit PIN. Every value shown belongs to
// OpenHabGenerator; the dialog keeps nothing of its own, so each opening shows what is stored.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // Opens a web page in the default browser; true when the system accepted the address.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit SettingsDialog(Program& program, QWidget* parent = nullptr);

    // Fills the dialog from the open project and shows it modally.
    void Execute();

    // True when port, password and status interval are acceptable; otherwise shows the first
    // failing field's message and returns false.
    bool CheckInput();

    // Replaces the default browser (tests open no browser).
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // The window's controls, by their design names, for the tests' use.
    QLineEdit* edAdr = nullptr;
    QLineEdit* edPort = nullptr;
    QLineEdit* edPass = nullptr;
    ToggleSwitch* tsSetTime = nullptr;
    QLineEdit* edRescan = nullptr;
    ToggleSwitch* tsHMAC = nullptr;
    QPushButton* btnReg = nullptr;
    QPushButton* btnCheck = nullptr;
    QLineEdit* edUUID = nullptr;
    QLineEdit* edSecret = nullptr;
    QLineEdit* edPin = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    QGroupBox* buildServerBox();
    QGroupBox* buildAccountBox();
    QGroupBox* buildHomeKitBox();
    QWidget* buildButtonRow();

    void FormShow();
    void Save();

    Program& m_program;
    UrlOpener m_openUrl;
};
