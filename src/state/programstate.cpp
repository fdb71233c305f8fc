#include "programstate.h"

#include "core/configfile.h"
#include "link/comport.h"

ProgramState::ProgramState(ComPort& port_, MediaPlayer* player_, Prompter& prompter_)
    : port(port_), player(player_), prompter(prompter_), handlers(prompter_),
      chip(panel, frame, port_), availability(commands, fileGrid, mapGrid) {
    QObject::connect(&commands, &Commands::triggered, &commands,
                     [this](const QString& handler) { handlers.run(handler); });
}

void ProgramState::setUp(const QString& configPath) {
    link.CurrentAddress = 0;
    link.ReplyAddress = 0;
    frame.clear();
    link.LinkState = LinkContext::StateIdle;

    fileGrid.setCell(1, 0, QStringLiteral("Start address"));
    fileGrid.setCell(2, 0, QStringLiteral("Stop address"));
    fileGrid.setCell(3, 0, QStringLiteral("File name"));
    const char* mapHeaders[] = {"Start adress",    "Start address HEX", "EOM address",
                                "EOM address HEX", "OVF address",       "OVF address HEX"};
    for (int col = 1; col <= 6; ++col)
        mapGrid.setCell(col, 0, QString::fromLatin1(mapHeaders[col - 1]));
    for (int row = 1; row <= 120; ++row) {
        for (StringGrid* grid : {&fileGrid, &mapGrid}) {
            grid->setCell(0, row, QString::number(row));
            for (int col = 1; col <= 3; ++col)
                grid->setCell(col, row, QString());
        }
    }

    folders = RememberedFolders();
    listFileName.clear();
    if (const auto lines = ConfigFile::readLines(6, configPath)) {
        folders.SoundFolder = lines->value(3);
        folders.ListFolder = lines->value(4);
        folders.MapFolder = lines->value(5);
    }

    availability.applyStartState();

    link.IgnorePlayEnd = false;
    link.StopRequested = true;
    link.PowerSetting = 0;
    link.TableRow = 1;
    // The sound file dialog starts on all sound files.
    soundFileType = 0;

    frame.fillFF();
}

QStringList ProgramState::settingsLines(bool autoOpen) const {
    return {ConfigFile::header(),
            QString::number(port.PortNum()),
            QString::number(chip.ChipType),
            folders.SoundFolder,
            folders.ListFolder,
            folders.MapFolder,
            autoOpen ? QStringLiteral("1") : QStringLiteral("0")};
}
