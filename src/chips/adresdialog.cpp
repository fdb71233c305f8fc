#include "adresdialog.h"

#include "chipcatalogue.h"
#include "chipcontrol.h"
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

TOKAdresDlg::TOKAdresDlg(ChipControl& chip_, Prompter& prompter_, QWidget* parent)
    : QDialog(parent), chip(chip_), prompter(prompter_) {
    setObjectName(QStringLiteral("TOKAdresDlg"));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Address"));
    setFixedSize(182, 96);
    MAdres = new QLabel(this);
    MAdres->setObjectName(QStringLiteral("MAdres"));
    AdresIn = new QLineEdit(this);
    AdresIn->setObjectName(QStringLiteral("AdresIn"));
    QFont font = AdresIn->font();
    font.setPixelSize(13);
    AdresIn->setFont(font);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QWidget* w : {static_cast<QWidget*>(MAdres), static_cast<QWidget*>(AdresIn),
                       static_cast<QWidget*>(OKBtn), static_cast<QWidget*>(CancelBtn)})
        w->setAccessibleDescription(w->objectName());
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects a QDialog by itself.
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(MAdres);
    layout->addWidget(AdresIn);
    auto* row = new QHBoxLayout;
    row->addWidget(OKBtn);
    row->addWidget(CancelBtn);
    layout->addLayout(row);
    FormCreate();
}

void TOKAdresDlg::FormCreate() {
    MAdres->setText(QStringLiteral("Adres (0-399) :"));
    AdresIn->setText(QStringLiteral("00000"));
}

std::optional<int> TOKAdresDlg::toAddress(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

void TOKAdresDlg::prepare() {
    const QString label = ChipCatalogue::addressLabel(chip.ShownChipType);
    if (!label.isEmpty())
        MAdres->setText(label);
}

bool TOKAdresDlg::Execute() {
    prepare();
    return conclude(exec() == QDialog::Accepted);
}

QString TOKAdresDlg::addressText() const {
    return AdresIn->text();
}

bool TOKAdresDlg::conclude(bool confirmed) {
    if (!confirmed)
        return false;
    const std::optional<int> value = toAddress(AdresIn->text());
    if (!value || *value < 0 || *value > int(chip.LastAddress))
        return refuse(wrongAddress);
    return true;
}

bool TOKAdresDlg::refuse(const QString& message) {
    prompter.showMessage(message);
    AdresIn->setText(QStringLiteral("00000"));
    return false;
}
