#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class PanelTexts;
class Prompter;
class ComPort;
class PortsFile;

// "Change serial comm port": one of COM1 to COM6, and whether the port is
// opened at start. Created once at start; keeps its controls between showings.
class PortDialog : public QDialog {
    Q_OBJECT
public:
    PortDialog(ComPort& port, PanelTexts& panel, Prompter& prompter, QWidget* parent = nullptr);

    // Start-up: reads the port number and "Auto open" from the settings file
    // and opens the port when both say so.
    void loadSettings(const QString& configPath);
    // Lets the user choose; reopens the port as chosen.
    bool Execute();

    bool autoOpen() const;
    QRadioButton* portButton(int number) const;
    // The device shown beside "Serial Port COMn".
    QLabel* portDevice(int number) const;
    // What a port number means on this system; tests give their own.
    void setPortDescriber(std::function<QString(int)> describe);
    // Shows beside each port the device it means now.
    void refreshDevices();
    void refreshDevices(const PortsFile& ports, const QStringList& system);
    QCheckBox* autoOpenBox() const { return autoOpenBox_; }

    // The serial devices present now, with their descriptions; looked at
    // again every half second while the dialog is shown, so that a device
    // plugged in or out appears or goes without reopening the dialog.
    QListWidget* presentDevices() const { return present; }
    void refreshPresent();
    // Makes the device chosen in the list the chosen COM number's device: its
    // line in the ports file. False when nothing is chosen or it fails.
    bool useChosenDevice();
    QPushButton* useDeviceButton() const { return useDevice; }

    // The dialog's decision, separated from its showing so that tests can
    // drive it: `confirmed` is what the modal showing returned.
    void conclude(bool confirmed, bool wasOpen);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void openWithMessage();

    ComPort& port;
    PanelTexts& panel;
    Prompter& prompter;
    QRadioButton* com[6] = {};
    QLabel* device[6] = {};
    // Empty: the ports file and the system say.
    std::function<QString(int)> describePort;
    QCheckBox* autoOpenBox_ = nullptr;
    QListWidget* present = nullptr;
    QPushButton* useDevice = nullptr;
    QTimer* watch = nullptr;
};
