#pragma once

#include "emuprocess.h"
#include "link/serialcomport.h"
#include "wiredprogram.h"

#include <QStringList>

// vokar-emu on its own pseudo-terminal as COM1 (a line in the scratch
// folder's ports file), and the wired program on the real port component.
class EmuProgram : public WiredProgramOn<SerialComPort> {
public:
    EmuProcess emu;

    // How the stand-in is started.
    struct StandIn {
        QByteArray image; // its memory image ("chip.img"); none when empty
        int chip = 1;     // the chip in its socket
        QString timeScale = QStringLiteral("0.01");
        int progressMs = 0; // between progress reports; 0: its own default
        QStringList extra;  // more options (line faults, --no-chip ...)
    };

    // The stand-in's command line: the ports file in the scratch folder maps
    // COM1 to it; an image is written there first.
    QStringList standInArguments(const StandIn& standIn) {
        QStringList arguments = {QStringLiteral("--chip"), QString::number(standIn.chip),
                                 QStringLiteral("--time-scale"), standIn.timeScale};
        if (standIn.progressMs > 0)
            arguments << QStringLiteral("--progress-ms") << QString::number(standIn.progressMs);
        arguments << QStringLiteral("--com") << QStringLiteral("1")
                  << QStringLiteral("--ports-file")
                  << folder.file(QStringLiteral("isdvokar.ports"));
        if (!standIn.image.isEmpty()) {
            folder.write(QStringLiteral("chip.img"), standIn.image);
            arguments << QStringLiteral("--image") << folder.file(QStringLiteral("chip.img"));
        }
        return arguments + standIn.extra;
    }
    // Starts the stand-in, then the program on `settings`; true when the
    // program's port is open.
    bool start(const StandIn& standIn, const QByteArray& settings = SettingsFile().text(),
               MediaPlayer* otherPlayer = nullptr, Prompter* otherPrompter = nullptr) {
        if (!emu.start(standInArguments(standIn)))
            return false;
        startProgram(settings, otherPlayer, otherPrompter);
        return port.Active();
    }
    // The same, then waits until the program has answered the stand-in's
    // greeting, as a user's first command would come after it.
    bool startAndGreet(const StandIn& standIn, const QByteArray& settings = SettingsFile().text(),
                       MediaPlayer* otherPlayer = nullptr, Prompter* otherPrompter = nullptr) {
        return start(standIn, settings, otherPlayer, otherPrompter) &&
               emu.waitForGreetingAnswered();
    }

    // How many lines of the stand-in's log contain `text`.
    int logged(const QString& text) { return int(emu.log().filter(text).size()); }
};
