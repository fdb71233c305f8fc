#include "programmerconnection.h"

#include "comport.h"
#include "core/prompter.h"

namespace ProgrammerConnection {

QString notConnectedText() {
    return QStringLiteral("No programmer is connected.\n\n"
                          "Choose Setup, Change comm port to connect.");
}

bool required(const ComPort& port, Prompter& prompter) {
    if (port.Active())
        return true;
    prompter.showMessage(notConnectedText());
    return false;
}

} // namespace ProgrammerConnection
