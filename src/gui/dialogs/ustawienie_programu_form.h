// The program settings window "Ustawienie parametrów programu": port and speed, register
// type, lowest PLU number, display switches, start with the system and the four fonts.
// It works on a plain copy of the settings; whoever owns the settings supplies them each
// time the window is shown (SetValuesSource) and takes back what changed on valuesChanged.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/user_interface.h"
#include "comm/port_monitor.h"
#include "comm/serial_port_list.h"
#include "gui/main/font_setting.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace kasa::gui {

// The port list's entry, and the port name, of the register built into the program.
inline constexpr const char* kVirtualRegisterPort = "Kasa wirtualna";

using kasa::ProgramSettingsValues;

class TUstawienieProgramuForm : public QWidget {
    Q_OBJECT
  public:
    using FontChooser = std::function<bool(QFont& font)>;
    using ColourChooser = std::function<bool(QColor& colour)>;
    using PortLister = std::function<std::vector<PortEntry>()>;

    enum class FontKind { kInfo, kTable, kEdit, kWind };

    // Messages and questions go through `ui`.
    explicit TUstawienieProgramuForm(UserInterface& ui, QWidget* parent = nullptr);

    void SetValues(const ProgramSettingsValues& values);
    // Where the window takes its values from each time it is shown.
    void SetValuesSource(std::function<ProgramSettingsValues()> source) {
        valuesSource_ = std::move(source);
    }
    const ProgramSettingsValues& Values() const { return values_; }
    // The type the connected register reported, "OFFLINE" when none.
    void SetConnectedModelName(const std::string& name) { connectedModel_ = name; }

    // Replacements for the system's pieces, for tests and other platforms.
    void SetPortLister(PortLister lister) { portLister_ = std::move(lister); }
    void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }
    void SetColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }
    void SetAutostartPaths(const std::string& entryPath, const std::string& programPath);

    // Lists the ports found now, the built-in register first.
    void RefreshPorts();
    // Re-scans when a serial device is plugged in or pulled while the window is shown.
    void WatchPorts();
    // The font dialog, or the colour dialog, for one of the four fonts.
    void ChooseFont(FontKind kind);
    void ChooseColour(FontKind kind);

    QComboBox* PortList() const { return portList_; }
    QLineEdit* PortPathEdit() const { return portPath_; }
    QComboBox* SpeedList() const { return speedList_; }
    QComboBox* TypeList() const { return typeList_; }
    QLineEdit* MinPluEdit() const { return minPluEdit_; }
    QPushButton* MinPluButton() const { return minPluButton_; }
    QCheckBox* SwitchBox(int number) const;  // CheckBox1..CheckBox4
    QPushButton* AutostartButton() const { return autoOpen_; }
    QCheckBox* AutoUpgradeBox() const { return autoUpgrade_; }
    QCheckBox* ReadBackBox() const { return readBack_; }
    QPushButton* RefreshPortsButton() const { return refreshPorts_; }
    QMenuBar* MenuBar() const { return menuBar_; }

  signals:
    // Any value changed; Values() has the new ones.
    void valuesChanged();
    void portChanged(const QString& portName);
    void baudRateChanged(int baudRate);
    // The user confirmed another register type: the tables are to be set up anew.
    void registerTypeChanged(const QString& typeName);
    void fontsChanged();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMenu();
    void ApplyOwnFonts();
    void ShowValues();
    void FillPortList();
    void SelectCurrentPort();
    void PortChosen(int index);
    void PortPathEdited();
    void SpeedChosen(int index);
    void TypeChosen(int index);
    void SaveMinPlu(bool fromEnter);
    void SwitchClicked(int number, bool ticked);
    void AutostartClicked();
    void RefreshAutostartCaption();
    void SetPortName(const std::string& name);
    FontSetting& FontOf(FontKind kind);
    std::string Caption() const;

    UserInterface& ui_;
    ProgramSettingsValues values_;
    std::string connectedModel_ = "OFFLINE";
    std::vector<PortEntry> ports_;
    int typeIndex_ = -1;
    bool searchingPorts_ = false;
    std::string autostartEntry_;
    std::string programPath_;
    std::function<ProgramSettingsValues()> valuesSource_;
    PortLister portLister_;
    std::unique_ptr<PortMonitor> portMonitor_;
    FontChooser fontChooser_;
    ColourChooser colourChooser_;

    QMenuBar* menuBar_ = nullptr;
    QGroupBox* portGroup_ = nullptr;
    QGroupBox* typeGroup_ = nullptr;
    QComboBox* portList_ = nullptr;
    QLineEdit* portPath_ = nullptr;
    QPushButton* refreshPorts_ = nullptr;
    QComboBox* speedList_ = nullptr;
    QComboBox* typeList_ = nullptr;
    QLineEdit* minPluEdit_ = nullptr;
    QPushButton* minPluButton_ = nullptr;
    QCheckBox* switches_[4] = {};
    QCheckBox* autoUpgrade_ = nullptr;
    QCheckBox* readBack_ = nullptr;
    QPushButton* autoOpen_ = nullptr;
};

}  // namespace kasa::gui
