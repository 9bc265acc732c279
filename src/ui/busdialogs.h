#pragma once

#include "link/busdevice.h"

#include <QDialog>
#include <QList>
#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class BusDiscovery;
class BusTest;
class ConnectWait;
class MainWindow;
struct Program;
enum class BusError;

// Tests one function of the list as it is stored, as openHAB switches it, and shows the result.
// The dialog is modal but opened without a nested wait: the test runs on Qt's asynchronous
// sockets, "Abbrechen" stops it, closing the dialog too.
class BusTestDialog : public QDialog
{
    Q_OBJECT

public:
    BusTestDialog(Program& program, QWidget* parent = nullptr);

    // Opens the dialog and starts the test of row of the main window's list.
    void Run(int row);

    QLabel* lblBusStatus = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void testFinished(BusError error, const QString& detail);

    Program& m_program;
    BusTest* m_test = nullptr;
    ConnectWait* m_wait = nullptr;
    QLabel* m_title = nullptr;
    int m_iType = -1; // the kind of the function under test, which names its frames
};

// Finds the light points and actuators on the bus and shows them beside the project: found and
// in the project, found but missing (to be ticked and added), in the project but silent.
class BusDiscoverDialog : public QDialog
{
    Q_OBJECT

public:
    BusDiscoverDialog(Program& program, QWidget* parent = nullptr);

    // Opens the dialog and starts the search.
    void Run();

    QLabel* lblBusStatus = nullptr;
    // Three sections: found in the project, found and missing (checkable), silent.
    QTreeWidget* lvDevices = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void searched(BusError error, const QString& detail);
    void fillList();
    // Adds the ticked devices to the function list, renumbers the aliases and saves the project.
    void addMarked();

    Program& m_program;
    QLabel* m_title = nullptr;
    BusDiscovery* m_discovery = nullptr;
    ConnectWait* m_wait = nullptr;
    QList<BusDevice> m_devices;
};

// "Funktion testen" and "Busgeräte suchen" in the function list's popup menu.
class BusMenu : public QObject
{
    Q_OBJECT

public:
    BusMenu(Program& program, MainWindow& window, QMenu* menu);

    QAction* pmTestFunction = nullptr;
    QAction* pmFindDevices = nullptr;
    BusTestDialog* testDialog = nullptr;
    BusDiscoverDialog* discoverDialog = nullptr;

private:
    void update();

    Program& m_program;
    MainWindow& m_window;
};
