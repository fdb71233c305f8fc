#include "addressdialog.h"

#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "core/controlnames.h"
#include "core/prompter.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString wrongAddress = QStringLiteral("Wrong address !");
}

AddressDialog::AddressDialog(ChipControl& chip_, Prompter& prompter_, QWidget* parent)
    : QDialog(parent), chip(chip_), prompter(prompter_) {
    setObjectName(QString::fromLatin1(ControlName::AddressDialog));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Address"));
    setFixedSize(182, 96);
    promptLabel = new QLabel(this);
    promptLabel->setObjectName(QString::fromLatin1(ControlName::AddressPrompt));
    addressEdit = new QLineEdit(this);
    addressEdit->setObjectName(QString::fromLatin1(ControlName::AddressEdit));
    QFont font = addressEdit->font();
    font.setPixelSize(13);
    addressEdit->setFont(font);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QString::fromLatin1(ControlName::OkButton));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QString::fromLatin1(ControlName::CancelButton));
    for (QWidget* w : {static_cast<QWidget*>(promptLabel), static_cast<QWidget*>(addressEdit),
                       static_cast<QWidget*>(okButton), static_cast<QWidget*>(cancelButton)})
        w->setAccessibleDescription(w->objectName());
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects a QDialog by itself.
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(promptLabel);
    layout->addWidget(addressEdit);
    auto* row = new QHBoxLayout;
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    layout->addLayout(row);
    reset();
}

void AddressDialog::reset() {
    promptLabel->setText(QStringLiteral("Adres (0-399) :"));
    addressEdit->setText(QStringLiteral("00000"));
}

void AddressDialog::prepare() {
    const QString label = ChipCatalogue::addressLabel(chip.ShownChipType);
    if (!label.isEmpty())
        promptLabel->setText(label);
}

bool AddressDialog::Execute() {
    prepare();
    // The text stays from the last showing, selected: typing replaces it.
    addressEdit->selectAll();
    addressEdit->setFocus();
    return conclude(exec() == QDialog::Accepted);
}

QString AddressDialog::addressText() const {
    return addressEdit->text();
}

bool AddressDialog::conclude(bool confirmed) {
    if (!confirmed)
        return false;
    const std::optional<int> value = toAddress(addressEdit->text());
    if (!value || *value < 0 || *value > int(chip.LastAddress))
        return refuse(wrongAddress);
    return true;
}

bool AddressDialog::refuse(const QString& message) {
    prompter.showMessage(message);
    addressEdit->setText(QStringLiteral("00000"));
    return false;
}
