#pragma once

#include "core/addressinput.h"

#include <QDialog>
#include <optional>

class ChipControl;
class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;

// "Address": asks for one chip row address and accepts it only within the
// current chip. The caller reads the accepted text from addressEdit.
class AddressDialog : public QDialog, public AddressInput {
    Q_OBJECT
public:
    AddressDialog(ChipControl& chip, Prompter& prompter, QWidget* parent = nullptr);

    void reset();
    // Shows the dialog; true when the user confirmed a valid address.
    bool Execute() override;
    QString addressText() const override;
    // The label step before the showing, and the check after it.
    void prepare();
    bool conclude(bool confirmed);

    QLabel* promptLabel = nullptr;
    QLineEdit* addressEdit = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    bool refuse(const QString& message);

    ChipControl& chip;
    Prompter& prompter;
};
