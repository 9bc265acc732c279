#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;
class BusLearn;
class BusTest;
class ConnectWait;
class FunctionEditor;
struct FunctionEntry;
struct BusDevice;
struct BusServer;
struct Program;
enum class BusError;

// The function editor's bus tools: "Testen" switches the function as it is typed, "Adresse
// lernen" fills kind, address, bus and key from a key press on the bus. Both run on Qt's
// asynchronous sockets, so the editor stays usable; while one runs, its button cancels it. The
// result shows in the line beside them, and while the address is edited, the bus's traps it holds.
class FunctionBusTools : public QWidget
{
    Q_OBJECT

public:
    FunctionBusTools(Program& program, FunctionEditor& editor, QWidget* parent = nullptr);
    ~FunctionBusTools() override;

    // Stops whatever runs and forgets the last result; the editor calls it when it closes.
    void reset();

    QPushButton* btnTest = nullptr;
    QSpinBox* edLevel = nullptr; // the dimmer's test level in percent
    QPushButton* btnLearn = nullptr;
    QLabel* lblBusStatus = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void testClick();
    void learnClick();
    void testFinished(BusError error, const QString& detail);
    void learned(const BusDevice& device);
    void updateControls();
    // The function as typed; false when its address is not valid, the reason shown unless quiet.
    bool typedFunction(FunctionEntry& v, bool quiet = false);
    // The warnings of the bus for the function as typed (BusHints), in place of an older result.
    void showHints();
    void setStatus(const QString& text);

    Program& m_program;
    FunctionEditor& m_editor;
    BusTest* m_test = nullptr;
    BusLearn* m_learn = nullptr;
    ConnectWait* m_wait = nullptr;
    // The next light test switches on, the one after it off; a blind goes up, stops, goes down.
    int m_nextStep = 0;
    // Set while a learned address is filled in, whose result stays shown.
    bool m_bFilling = false;
};

// The bus server of the open project's server settings.
BusServer ProjectBusServer(const Program& program);
