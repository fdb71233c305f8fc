#include "core/paneltexts.h"
#include "core/prompter.h"
#include "formularz.h"
#include "link/customcomport.h"
#include "wiring.h"

void wireLink(TFormularz& window) {
    TCustomComPort& port = window.ComPort1;
    // Line errors: the user is told; an operation in progress carries on.
    QObject::connect(&port, &TCustomComPort::OnError, &window, [&window](int) {
        window.prompter.showMessage(QStringLiteral("Communication error"));
    });
    // The device went away while open (an adapter unplugged, the stand-in
    // ended). The port has closed itself; tell the user once, and show it.
    QObject::connect(
        &port, &TCustomComPort::vanished, &window, [&window, &port](const QString& reason) {
            window.panel.setText(PanelTexts::CommPortNum, QStringLiteral("not connected"));
            window.prompter.showMessage(
                QStringLiteral("Serial Port COM%1 disconnected (%2).\n\n"
                               "Choose Setup, Change comm port to connect again.")
                    .arg(port.PortNum())
                    .arg(reason));
        });
}
