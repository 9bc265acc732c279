#pragma once

#include "bus/busaddress.h"
#include "model/functionentry.h"

#include <QDialog>
#include <QString>

class DeviceBox;
class FunctionList;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class ToggleSwitch;
class FunctionBusTools;

struct BusDevice;
struct Program;

// The function editor: creates a new function of the open project or changes one. Saving writes
// the row into the function list, gives every row its alias by position and rewrites the
// project's openHAB files.
//
// The window is created once and reused: the kind and the three switches are left as the previous
// use left them when a new function is started.
class FunctionEditor : public QDialog
{
    Q_OBJECT

public:
    explicit FunctionEditor(Program& program, QWidget* parent = nullptr);

    // Prepares the editor for a new function of lv and shows it modally.
    void DoAdd(FunctionList& lv);
    // Loads row of lv into the editor and shows it modally.
    void DoEdit(int row, FunctionList& lv);

    // The pressed kind button's kind (FunctionEntry::Kind).
    int kind() const;
    // The row being edited in the list, -1 while a function is added.
    int editedRow() const { return liEdit; }

    // The function as the controls hold it now: the address as typed, not yet checked, with the
    // address kind chosen; a scene's group is empty while none is chosen.
    struct Typed
    {
        FunctionEntry row;
        AddressKind addressKind = AddressKind::PointToPoint;
    };
    Typed typed() const;
    // Fills kind, address, bus and key with a device learned on the bus: a dim level makes the
    // function a dimmer, any other light point keeps the kind chosen.
    void showDevice(const BusDevice& device);

Q_SIGNALS:
    // The user (or showDevice) chose another kind.
    void kindChanged();
    // Address, address kind, bus, key or CEN variant changed.
    void addressChanged();

public:
    // The window's controls, by their design names, for the tests' use.
    QLabel* lblTitle = nullptr;
    QGroupBox* gbArt = nullptr;
    QToolButton* btnSchalter = nullptr;
    QToolButton* btnDimmer = nullptr;
    QToolButton* btnAutomation = nullptr;
    QToolButton* btnGruppe = nullptr;
    QToolButton* btnSzenario = nullptr;
    QToolButton* btnCEN = nullptr;
    QGroupBox* gbBez = nullptr;
    QLineEdit* edBez = nullptr;
    QGroupBox* gbAlexa = nullptr;
    ToggleSwitch* tsSprache = nullptr;
    // Names the switch beside it, whose own captions are only "Ja" and "Nein"; shown with it.
    QLabel* lblHome = nullptr;
    ToggleSwitch* tsHome = nullptr;
    QLabel* lblAlexaAuto = nullptr;
    QGroupBox* gbAdr = nullptr;
    QComboBox* cbAdrArt = nullptr;
    QLineEdit* edAdresse = nullptr;
    QLabel* lblCENKey = nullptr;
    QLineEdit* edCENKey = nullptr;
    QComboBox* cbBus = nullptr;
    QComboBox* cbCEN = nullptr;
    QGroupBox* gbSzene = nullptr;
    QComboBox* cbSzene = nullptr;
    ToggleSwitch* tsReverse = nullptr;
    QGroupBox* gbSzenen = nullptr;
    QListWidget* lbGruppe = nullptr;
    QPushButton* btnGroups = nullptr;
    DeviceBox* gbDimmer = nullptr;
    DeviceBox* gbScene = nullptr;
    DeviceBox* gbMH = nullptr;
    DeviceBox* gbAkt = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;
    // "Testen" and "Adresse lernen" on the installation's bus.
    FunctionBusTools* busTools = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildKindBox();
    QWidget* buildLabelBox();
    QWidget* buildVoiceBox();
    QWidget* buildAddressBox();
    QWidget* buildSceneBox();
    QWidget* buildMembershipBox();
    void setTabOrders();

    void FormShow();
    void btnArtClick();
    void ApplyKind();
    void FillAddressLists();
    void cbAdrArtChange();
    void FillSceneList();
    void cbSzeneChange();
    void selectSceneGroup(const QString& name);
    void UpdateVoiceHint();
    void FillGroupList();
    void MarkRowGroups();
    int groupEntry(const QString& name, int from) const;
    void btnGroupsClick();
    QString ValidateInput(int iType);
    void btnSaveClick();
    void SaveItems(const FunctionList& lv);

    void pressKind(int iType);
    QString checkedGroups() const;

    Program& m_program;
    QButtonGroup* m_kinds = nullptr;
    // lvItems and liEdit: the list being edited and the edited row (-1 when adding).
    FunctionList* lvItems = nullptr;
    int liEdit = -1;
    // The first entry of the scene list: the scene that stops every blind.
    QString czSTOP;
    // The title that DoAdd or DoEdit chose.
    QString m_title;
};
