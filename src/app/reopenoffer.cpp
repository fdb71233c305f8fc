#include "reopenoffer.h"

#include "core/apperror.h"
#include "core/paneltexts.h"
#include "link/comport.h"
#include "link/portresolver.h"

#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>

namespace {
// How often the vanished device is looked for.
constexpr int LookMs = 500;
} // namespace

ReopenOffer::ReopenOffer(ComPort& port_, PanelTexts& panel_, QStatusBar& bar_,
                         std::function<void(QString)> say_, QObject* parent)
    : QObject(parent), port(port_), panel(panel_), bar(bar_), say(std::move(say_)) {
    reopen = new QPushButton(&bar);
    reopen->setObjectName(QStringLiteral("ReopenPort"));
    reopen->setFlat(true);
    bar.addPermanentWidget(reopen);
    reopen->hide();
    watch.setInterval(LookMs);
    connect(&watch, &QTimer::timeout, this, &ReopenOffer::look);
    connect(reopen, &QPushButton::clicked, this, &ReopenOffer::accept);
    connect(&port, &ComPort::vanished, this, &ReopenOffer::onVanished);
    // Opened some other way (the port dialog): the offer has served.
    connect(&port, &ComPort::activeChanged, this, [this](bool active) {
        if (active)
            withdraw();
    });
}

void ReopenOffer::onVanished() {
    device = PortResolver::resolve(port.PortNum()).device;
    if (device.isEmpty())
        return;
    reopen->hide();
    watch.start();
}

void ReopenOffer::look() {
    if (!QFileInfo::exists(device))
        return;
    watch.stop();
    reopen->setText(QStringLiteral("Reopen COM%1").arg(port.PortNum()));
    say(QStringLiteral("The programmer on %1 is back.").arg(device));
    reopen->show();
}

void ReopenOffer::withdraw() {
    watch.stop();
    reopen->hide();
    device.clear();
}

void ReopenOffer::accept() {
    const int number = port.PortNum();
    withdraw();
    try {
        port.Open();
        panel.setText(PanelTexts::PortNumber, QString::number(number));
        say(QStringLiteral("COM%1 open again.").arg(number));
    } catch (const AppError& error) {
        say(QStringLiteral("COM%1 could not be opened: %2").arg(number).arg(error.message()));
    }
}
