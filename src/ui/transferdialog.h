#pragma once

#include "link/gatewaytransfer.h"
#include "model/projectini.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class HeaderBand;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

struct Program;

// The transfer dialog: sends the open project to the gateway or receives it back. It holds the
// gateway's address (remembered per project, typed, or found by the lookup), runs the transfer on
// the user-interface thread and shows its progress and outcome. While a transfer runs only the
// close button takes input: it cancels the transfer and closes the window once the transfer has
// stopped. While a lookup runs the window takes no input and cannot be closed.
class TransferDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TransferDialog(Program& program, QWidget* parent = nullptr);
    ~TransferDialog() override;

    // Prepares the dialog for the direction and shows it modally.
    void DoTransfer(TransferMode direction);

    // Switches between the running state and the finished state of a transfer; remembers the
    // address in project.ini either way. False (after an error box) when project.ini could not
    // take it.
    bool ShowTransferState(bool bRunning, bool bSuccess);

    // The program's waits and store port are the defaults; tests shorten and move them.
    void setTransferSettings(TransferSettings settings) { m_settings = std::move(settings); }

    // A transfer or a lookup runs.
    bool isRunning() const { return m_running; }

    TransferMode mode = TransferMode::Send;
    QString sSerial; // the gateway's serial: from project.ini, or typed for the lookup

    // The window's controls, by their design names, for the tests' use.
    QLabel* lblSend = nullptr;
    QLabel* lblReceive = nullptr;
    QLabel* lblSerial = nullptr;
    QLabel* lblServerTime = nullptr;
    QLineEdit* edIP = nullptr;
    QPushButton* btnSearch = nullptr;
    QLabel* lblHint = nullptr;
    QLabel* lblHintSend = nullptr;
    QLabel* lblHintReceive = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* pb = nullptr;
    QLabel* lblRefresh = nullptr;
    QLabel* lblReboot = nullptr;
    QPushButton* btnSend = nullptr;
    QPushButton* btnReceive = nullptr;
    QPushButton* btnClose = nullptr;

public slots:
    // Cancels a running transfer (the window closes when it has stopped); refused during a lookup.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class View;

    void buildBand();
    QWidget* buildHintArea();
    QWidget* buildButtonRow();

    void FormShow();
    void transfer();
    void btnSearchClick();
    void setCommandsEnabled(bool enabled);
    void dropHeldInput();
    // Lets the window paint what changed; input waits until the transfer is over.
    void repaintNow();

    Program& m_program;
    HeaderBand* m_band = nullptr;
    std::unique_ptr<View> m_view;
    std::optional<ProjectIni> ini; // the open project's project.ini while the window is open
    TransferSettings m_settings;
    bool m_running = false;
    bool m_cancelRequested = false;
    bool m_addressRefused = false;
};
