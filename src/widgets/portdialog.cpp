#include "portdialog.h"

#include "core/apperror.h"
#include "core/configfile.h"
#include "core/controlnames.h"
#include "core/paneltexts.h"
#include "core/prompter.h"
#include "link/comport.h"
#include "link/portresolver.h"
#include "link/serialcomport.h"
#include "link/serialdevices.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString notConnected = QStringLiteral("not connected");
}

PortDialog::PortDialog(ComPort& port_, PanelTexts& panel_, Prompter& prompter_, QWidget* parent)
    : QDialog(parent), port(port_), panel(panel_), prompter(prompter_) {
    setObjectName(QString::fromLatin1(ControlName::PortDialog));
    setWindowTitle(QStringLiteral("Change serial comm port"));
    auto* layout = new QVBoxLayout(this);
    auto* ports = new QGridLayout;
    layout->addLayout(ports);
    for (int i = 0; i < 6; ++i) {
        com[i] = new QRadioButton(QStringLiteral("Serial Port COM%1").arg(i + 1), this);
        com[i]->setObjectName(QString::fromLatin1(ControlName::PortButton).arg(i + 1));
        com[i]->setAccessibleDescription(com[i]->objectName());
        ports->addWidget(com[i], i, 0);
        // COM numbers are not device names everywhere: say which device each
        // one means on this system.
        device[i] = new QLabel(this);
        device[i]->setObjectName(QStringLiteral("com%1device").arg(i + 1));
        device[i]->setEnabled(false);
        ports->addWidget(device[i], i, 1);
    }
    auto* presentBox = new QGroupBox(QStringLiteral("Serial devices present"), this);
    auto* presentLayout = new QVBoxLayout(presentBox);
    present = new QListWidget(presentBox);
    present->setObjectName(QStringLiteral("PresentDevices"));
    present->setMinimumWidth(360);
    present->setMaximumHeight(110);
    presentLayout->addWidget(present);
    useDevice = new QPushButton(QStringLiteral("Use for the chosen COM port"), presentBox);
    useDevice->setObjectName(QStringLiteral("UseDevice"));
    presentLayout->addWidget(useDevice);
    layout->addWidget(presentBox);
    connect(useDevice, &QPushButton::clicked, this, [this] { useChosenDevice(); });
    watch = new QTimer(this);
    watch->setInterval(500);
    connect(watch, &QTimer::timeout, this, &PortDialog::refreshPresent);
    refreshPresent();
    autoOpenBox_ = new QCheckBox(QStringLiteral("Auto open"), this);
    autoOpenBox_->setObjectName(QString::fromLatin1(ControlName::AutoOpenBox));
    autoOpenBox_->setAccessibleDescription(autoOpenBox_->objectName());
    layout->addWidget(autoOpenBox_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QString::fromLatin1(ControlName::OkButton));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QString::fromLatin1(ControlName::CancelButton));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QRadioButton* PortDialog::portButton(int number) const {
    return number >= 1 && number <= 6 ? com[number - 1] : nullptr;
}

QLabel* PortDialog::portDevice(int number) const {
    return number >= 1 && number <= 6 ? device[number - 1] : nullptr;
}

void PortDialog::setPortDescriber(std::function<QString(int)> describe) {
    describePort = std::move(describe);
    refreshDevices();
}

void PortDialog::refreshDevices() {
    refreshDevices(PortsFile::read(PortResolver::defaultPortsFile()),
                   SerialDevices::pathsOf(SerialDevices::system()));
}

void PortDialog::refreshDevices(const PortsFile& ports, const QStringList& system) {
    for (int i = 0; i < 6; ++i) {
        device[i]->setText(describePort ? describePort(i + 1)
                                        : PortResolver::describe(i + 1, ports, system));
    }
}

void PortDialog::refreshPresent() {
    // One look at the ports file and the system for the whole refresh.
    const PortsFile ports = PortsFile::read(PortResolver::defaultPortsFile());
    const QList<SerialDevice> system = SerialDevices::system();
    const QList<SerialDevice> devices = SerialDevices::present(ports, system);
    QStringList labels;
    for (const SerialDevice& d : devices)
        labels << d.label();
    QStringList shown;
    for (int row = 0; row < present->count(); ++row)
        shown << present->item(row)->text();
    refreshDevices(ports, SerialDevices::pathsOf(system));
    if (labels == shown)
        return; // the user's choice in the list stays
    const QString chosen = present->currentItem() ? present->currentItem()->text() : QString();
    present->clear();
    for (const SerialDevice& d : devices) {
        auto* item = new QListWidgetItem(d.label(), present);
        // The device path is what the ports file gets.
        item->setData(Qt::UserRole, d.path);
        if (d.label() == chosen)
            present->setCurrentItem(item);
    }
}

bool PortDialog::useChosenDevice() {
    const QListWidgetItem* item = present->currentItem();
    int number = 0;
    for (int i = 1; i <= 6; ++i) {
        if (com[i - 1]->isChecked())
            number = i;
    }
    if (item == nullptr || number == 0)
        return false;
    const bool written = SerialDevices::assign(number, item->data(Qt::UserRole).toString(),
                                               PortResolver::defaultPortsFile());
    refreshDevices();
    return written;
}

void PortDialog::showEvent(QShowEvent* event) {
    refreshPresent();
    watch->start();
    QDialog::showEvent(event);
}

void PortDialog::hideEvent(QHideEvent* event) {
    watch->stop();
    QDialog::hideEvent(event);
}

bool PortDialog::autoOpen() const {
    return autoOpenBox_->isChecked();
}

void PortDialog::loadSettings(const QString& configPath) {
    int number = 0;
    if (const auto lines = ConfigFile::readLines(7, configPath)) {
        if (lines->size() > 1)
            number = ConfigFile::parseDecimal(lines->at(1)).value_or(0);
        if (lines->size() > 6)
            autoOpenBox_->setChecked(ConfigFile::parseDecimal(lines->at(6)).value_or(0) != 0);
        else
            autoOpenBox_->setChecked(false);
    }
    if (number == 0) {
        panel.setText(PanelTexts::PortNumber, notConnected);
        return;
    }
    port.setPortNum(number);
    if (QRadioButton* button = portButton(number)) {
        button->setChecked(true);
        panel.setText(PanelTexts::PortNumber, QString::number(number));
    }
    // A stored number above 6 has no button; once its port is open the
    // panel shows that number all the same.
    const bool beyondDialog = portButton(number) == nullptr;
    if (!autoOpenBox_->isChecked()) {
        panel.setText(PanelTexts::PortNumber, notConnected);
        return;
    }
    try {
        port.Open();
        if (beyondDialog)
            panel.setText(PanelTexts::PortNumber, QString::number(number));
    } catch (const AppError&) {
        panel.setText(PanelTexts::PortNumber, notConnected);
    }
}

bool PortDialog::Execute() {
    const bool wasOpen = port.Active();
    if (wasOpen)
        port.Close();
    refreshDevices();
    const bool confirmed = exec() == QDialog::Accepted;
    conclude(confirmed, wasOpen);
    return confirmed;
}

void PortDialog::conclude(bool confirmed, bool wasOpen) {
    if (confirmed) {
        bool chosen = false;
        for (int i = 1; i <= 6; ++i) {
            if (com[i - 1]->isChecked()) {
                port.setPortNum(i);
                panel.setText(PanelTexts::PortNumber, QString::number(i));
                chosen = true;
            }
        }
        // No button checked (no port was ever stored) chooses no port: the
        // open is refused rather than opening whatever number the component
        // held. A stored number above 6 has no button and is opened as it is.
        if (!chosen && port.PortNum() >= 1 && port.PortNum() <= 6) {
            prompter.showMessage(QStringLiteral("Serial Port not available"));
            panel.setText(PanelTexts::PortNumber, notConnected);
            return;
        }
        openWithMessage();
    } else if (wasOpen) {
        openWithMessage();
    }
}

void PortDialog::openWithMessage() {
    const QString notAvailable = QStringLiteral("Serial Port not available");
    try {
        port.Open();
        // The panel shows the port that is open.
        panel.setText(PanelTexts::PortNumber, QString::number(port.PortNum()));
    } catch (const ComPortError& error) {
        // Where the user can do something about it, say what in the same box.
        prompter.showMessage(error.detail.isEmpty()
                                 ? notAvailable
                                 : notAvailable + QStringLiteral("\n\n") + error.detail);
        panel.setText(PanelTexts::PortNumber, notConnected);
    } catch (const AppError&) {
        prompter.showMessage(notAvailable);
        panel.setText(PanelTexts::PortNumber, notConnected);
    }
}
