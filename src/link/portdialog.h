#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
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
    QCheckBox* AutoComOpen = nullptr;
};
