#pragma once

#include <QDialog>

class ChipControl;
class QPushButton;
class QRadioButton;

// "Change ISD Device": fifty radio buttons in four columns, OK only; the close
// box ends it without a choice. It holds the program-wide chip type.
class ChipTypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChipTypeDialog(ChipControl& chip, QWidget* parent = nullptr);

    // Start-up: loads the type from line 3 of the settings file and applies it.
    void loadSettings(const QString& configPath);
    // Marks the current type; runs each time the dialog is shown.
    void markCurrentType();
    // Shows the dialog; true when a type was chosen and applied.
    bool Execute();
    // What Execute does once the modal showing has ended.
    bool conclude(bool confirmed);

    QRadioButton* isdButton(int index) const;
    QPushButton* okButton() const { return ok; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    ChipControl& chip;
    QRadioButton* buttons[50] = {};
    QPushButton* ok = nullptr;
};
