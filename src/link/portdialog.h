#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLabel;
class QRadioButton;
class PanelTexts;
class Prompter;
class TCustomComPort;

// "Change serial comm port": one of COM1 to COM6, and whether the port is
// opened at start. Created once at start; keeps its controls between showings.
class TPortDialog : public QDialog {
    Q_OBJECT
public:
    TPortDialog(TCustomComPort& port, PanelTexts& panel, Prompter& prompter,
                QWidget* parent = nullptr);

    // Start-up: reads the port number and "Auto open" from the settings file
    // and opens the port when both say so.
    void FormCreate(const QString& configPath);
    // Lets the user choose; reopens the port as chosen.
    bool Execute();

    bool autoOpen() const;
    QRadioButton* comCheck(int number) const;
    // The device shown beside "Serial Port COMn".
    QLabel* comDevice(int number) const;
    // What a port number means on this system; tests give their own.
    void setPortDescriber(std::function<QString(int)> describe);
    // Shows beside each port the device it means now.
    void refreshDevices();
    QCheckBox* autoComOpen() const { return AutoComOpen; }

    // The dialog's decision, separated from its showing so that tests can
    // drive it: `confirmed` is what the modal showing returned.
    void conclude(bool confirmed, bool wasOpen);

private:
    void openWithMessage();

    TCustomComPort& port;
    PanelTexts& panel;
    Prompter& prompter;
    QRadioButton* com[6] = {};
    QLabel* device[6] = {};
    std::function<QString(int)> describePort;
    QCheckBox* AutoComOpen = nullptr;
};
