#include "core/paneltexts.h"
#include "core/prompter.h"
#include "link/comport.h"
#include "mainwindow.h"
#include "wiring.h"

void wireLink(MainWindow& window) {
    ProgramState& s = window.state();
    ComPort& port = s.port;
    // Line errors: the user is told; an operation in progress carries on.
    QObject::connect(&port, &ComPort::OnError, &window,
                     [&s](int) { s.prompter.showMessage(QStringLiteral("Communication error")); });
    // The device went away while open (an adapter unplugged, the stand-in
    // ended). The port has closed itself; tell the user once, and show it.
    QObject::connect(&port, &ComPort::vanished, &window, [&s, &port](const QString& reason) {
        s.panel.setText(PanelTexts::PortNumber, QStringLiteral("not connected"));
        s.prompter.showMessage(QStringLiteral("Serial Port COM%1 disconnected (%2).\n\n"
                                              "Choose Setup, Change comm port to connect again.")
                                   .arg(port.PortNum())
                                   .arg(reason));
    });
}
