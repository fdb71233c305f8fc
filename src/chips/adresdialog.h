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
// current chip. The caller reads the accepted text from AdresIn.
class TOKAdresDlg : public QDialog, public AddressInput {
    Q_OBJECT
public:
    TOKAdresDlg(ChipControl& chip, Prompter& prompter, QWidget* parent = nullptr);

    void FormCreate();
    // Shows the dialog; true when the user confirmed a valid address.
    bool Execute() override;
    QString addressText() const override;
    // The label step before the showing, and the check after it.
    void prepare();
    bool conclude(bool confirmed);

    // The one conversion of typed addresses: decimal with an optional sign,
    // blanks around it allowed. The callers convert AdresIn the same way.
    static std::optional<int> toAddress(const QString& text);

    QLabel* MAdres = nullptr;
    QLineEdit* AdresIn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    bool refuse(const QString& message);

    ChipControl& chip;
    Prompter& prompter;
};
