#include "portdialog.h"

#include "core/apperror.h"
#include "core/configfile.h"
#include "core/paneltexts.h"
#include "core/prompter.h"
#include "customcomport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QString notConnected = QStringLiteral("not connected");
}

TPortDialog::TPortDialog(TCustomComPort& port_, PanelTexts& panel_, Prompter& prompter_,
                         QWidget* parent)
    : QDialog(parent), port(port_), panel(panel_), prompter(prompter_) {
    setObjectName(QStringLiteral("TPortDialog"));
    setWindowTitle(QStringLiteral("Change serial comm port"));
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 6; ++i) {
        com[i] = new QRadioButton(QStringLiteral("Serial Port COM%1").arg(i + 1), this);
        com[i]->setObjectName(QStringLiteral("com%1check").arg(i + 1));
        com[i]->setAccessibleDescription(com[i]->objectName());
        layout->addWidget(com[i]);
    }
    AutoComOpen = new QCheckBox(QStringLiteral("Auto open"), this);
    AutoComOpen->setObjectName(QStringLiteral("AutoComOpen"));
    AutoComOpen->setAccessibleDescription(AutoComOpen->objectName());
    layout->addWidget(AutoComOpen);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QRadioButton* TPortDialog::comCheck(int number) const {
    return number >= 1 && number <= 6 ? com[number - 1] : nullptr;
}

bool TPortDialog::autoOpen() const { return AutoComOpen->isChecked(); }

void TPortDialog::FormCreate(const QString& configPath) {
    int number = 0;
    if (const auto lines = ConfigFile::readLines(7, configPath)) {
        if (lines->size() > 1)
            number = ConfigFile::parseDecimal(lines->at(1)).value_or(0);
        if (lines->size() > 6)
            AutoComOpen->setChecked(ConfigFile::parseDecimal(lines->at(6)).value_or(0) != 0);
        else
            AutoComOpen->setChecked(false);
    }
    if (number == 0) {
        panel.setText(PanelTexts::CommPortNum, notConnected);
        return;
    }
    port.setPortNum(number);
    if (QRadioButton* button = comCheck(number)) {
        button->setChecked(true);
        panel.setText(PanelTexts::CommPortNum, QString::number(number));
    }
    if (!AutoComOpen->isChecked()) {
        panel.setText(PanelTexts::CommPortNum, notConnected);
        return;
    }
    try {
        port.Open();
    } catch (const AppError&) {
        panel.setText(PanelTexts::CommPortNum, notConnected);
    }
}

bool TPortDialog::Execute() {
    const bool wasOpen = port.Active();
    if (wasOpen)
        port.Close();
    const bool confirmed = exec() == QDialog::Accepted;
    conclude(confirmed, wasOpen);
    return confirmed;
}

void TPortDialog::conclude(bool confirmed, bool wasOpen) {
    if (confirmed) {
        for (int i = 1; i <= 6; ++i) {
            if (com[i - 1]->isChecked()) {
                port.setPortNum(i);
                panel.setText(PanelTexts::CommPortNum, QString::number(i));
            }
        }
        openWithMessage();
    } else if (wasOpen) {
        openWithMessage();
    }
}

void TPortDialog::openWithMessage() {
    try {
        port.Open();
    } catch (const AppError&) {
        prompter.showMessage(QStringLiteral("Serial Port not available"));
        panel.setText(PanelTexts::CommPortNum, notConnected);
    }
}
